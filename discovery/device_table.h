// The devices found by the current scan: DeviceTable holds each one's record as it replied,
// MacIndex maps its MAC text to its table entry. Both live for the whole process; a scan
// empties the index and rewrites the table from entry 0.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>

#include "protocol/device_record.h"

namespace netsonde {

constexpr std::size_t kMaxDevices = 1000;

using DeviceTableArray = std::array<DeviceRecord, kMaxDevices>;
extern DeviceTableArray DeviceTable;

// MAC text (17 characters) to DeviceTable index. Keys compare as whole, case-sensitive strings.
class MacIndexMap {
public:
    void RemoveAll() { entries_.clear(); }
    void Set(const std::string& macText, int index) { entries_[macText] = index; }
    // Gives the index of the key, or false when the key is absent.
    bool Lookup(const std::string& macText, int* index) const;
    bool Contains(const std::string& macText) const { return entries_.count(macText) != 0; }
    std::size_t size() const { return entries_.size(); }

private:
    std::unordered_map<std::string, int> entries_;
};

extern MacIndexMap MacIndex;

}  // namespace netsonde
