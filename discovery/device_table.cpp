// Process-wide storage of the found devices.
#include "discovery/device_table.h"

namespace netsonde {

DeviceTableArray DeviceTable;
MacIndexMap MacIndex;

bool MacIndexMap::Lookup(const std::string& macText, int* index) const {
    const auto found = entries_.find(macText);
    if (found == entries_.end()) {
        return false;
    }
    if (index != nullptr) {
        *index = found->second;
    }
    return true;
}

}  // namespace netsonde
