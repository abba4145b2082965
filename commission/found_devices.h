// The devices one scan heard, on any number of adapters: one entry per MAC, kept from the first
// discovery reply, listing every local address it was heard on. No limit on the count.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/device_record.h"

namespace netsonde::commission {

struct FoundDevice {
    DeviceRecord record;                // the first reply heard, as received
    std::vector<std::string> adapters;  // local addresses it was heard on, lowest first
};

class FoundDevices {
  public:
    // Keeps a discovery reply: a new MAC adds an entry; a known one only adds the adapter if
    // it is not listed yet. Anything that is not a discovery reply changes nothing.
    void Add(const std::string& adapterAddress, const DeviceRecord& datagram);

    const std::vector<FoundDevice>& devices() const { return devices_; }
    // The entry of a MAC text (FormatMacText form), or nullptr.
    const FoundDevice* Find(const std::string& macText) const;

  private:
    std::vector<FoundDevice> devices_;
    std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace netsonde::commission
