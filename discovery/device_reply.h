// Turning one received datagram of a scan into a stored device: a DeviceTable entry, a MacIndex
// key and a list row, or nothing at all.
#pragma once

#include <cstddef>

#include "discovery/device_rows.h"
#include "protocol/device_record.h"

namespace netsonde {

// Column-0 text of a row while it is being filled; it sorts after every MAC text, so a list
// that orders new rows by that column still appends the row.
constexpr const char* kProvisionalRowText = "label";

// Keeps a discovery reply whose MAC is not listed yet, while fewer than 1000 rows exist: copies
// it into DeviceTable[n], keys its MAC text to n in MacIndex and appends row n with its texts
// and item data n, where n is the current row count. Anything else changes nothing. Returns
// whether the device was added.
bool AddDeviceReply(DeviceRowList& rows, const DeviceRecord& datagram);

// A change the device accepted: stores its new record in DeviceTable[index] and shows it in
// row's MAC, name, IP address and uptime columns. The description column and the MAC index
// stay as they are, since the MAC does not change.
void StoreChangedDevice(DeviceRowList& rows, int row, std::size_t index,
                        const DeviceRecord& record);

}  // namespace netsonde
