// The devices one scan heard, on any number of adapters: one entry per MAC, kept from the first
// discovery reply, listing every local address it was heard on, and whether the MAC also
// answered with a different record. At most kMaxScanDevices entries.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/device_record.h"

namespace netsonde::commission {

// The most devices one scan keeps: far above any real segment, and low enough that a flood of
// replies with made-up MACs cannot exhaust the memory.
constexpr std::size_t kMaxScanDevices = 65536;

struct FoundDevice {
    DeviceRecord record;                // the first reply heard, as received
    std::vector<std::string> adapters;  // local addresses it was heard on, lowest first
    // Another discovery reply of this MAC differed in a field a scan shows other than the
    // uptime (name, addresses, image file name, type, description): two devices share the MAC,
    // or someone answers for it.
    bool recordsDiffer = false;
};

// True when the two records show the same device: every field a scan shows but the uptime
// (which ticks between replies) is equal.
bool SameShownFields(const DeviceRecord& a, const DeviceRecord& b);

class FoundDevices {
  public:
    // Keeps a discovery reply: a new MAC adds an entry while fewer than kMaxScanDevices are
    // kept; a known one adds the adapter if it is not listed yet and marks recordsDiffer when
    // the record is not the kept one's. Anything that is not a discovery reply changes nothing.
    void Add(const std::string& adapterAddress, const DeviceRecord& datagram);
    // A new MAC was turned away because kMaxScanDevices were kept.
    bool cut() const { return cut_; }

    const std::vector<FoundDevice>& devices() const { return devices_; }
    // The entry of a MAC text (FormatMacText form), or nullptr.
    const FoundDevice* Find(const std::string& macText) const;

  private:
    std::vector<FoundDevice> devices_;
    std::unordered_map<std::string, std::size_t> index_;
    bool cut_ = false;
};

}  // namespace netsonde::commission
