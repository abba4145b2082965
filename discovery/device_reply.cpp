// Accepting scan replies into the device table, the MAC index and the list.
#include "discovery/device_reply.h"

#include <string>

#include "discovery/device_table.h"
#include "protocol/text_forms.h"

namespace netsonde {

bool AddDeviceReply(DeviceRowList& rows, const DeviceRecord& datagram) {
    if (!IsDiscoveryReply(datagram)) {
        return false;
    }
    // The row limit comes before the duplicate test.
    const int n = rows.RowCount();
    if (n < 0 || n >= static_cast<int>(kMaxDevices)) {
        return false;
    }
    // Within a scan MacIndex holds exactly the column-0 texts of the rows (both are emptied
    // together and filled together below, and neither a sort nor a change alters a row's MAC),
    // so looking the MAC up answers "is it listed?" exactly as reading every row would, in
    // constant time instead of up to 999 list reads per reply.
    const std::string mac = FormatMacText(datagram.mac());
    if (MacIndex.Contains(mac)) {
        return false;
    }
    // The row comes first: if the list cannot take it, neither the table nor the index may
    // name entry n, or the next device would be stored under a key that points at it.
    const int row = rows.InsertRow(n, kProvisionalRowText);
    if (row < 0) {
        return false;
    }
    DeviceTable[static_cast<std::size_t>(n)] = datagram;
    MacIndex.Set(mac, n);
    const DeviceRowTexts texts = DeviceRowTextsOf(datagram);
    for (int column = 0; column < kDeviceColumnCount; ++column) {
        rows.SetRowText(row, column, texts[static_cast<std::size_t>(column)]);
    }
    rows.SetRowData(row, n);
    return true;
}

void StoreChangedDevice(DeviceRowList& rows, int row, std::size_t index,
                        const DeviceRecord& record) {
    if (index >= kMaxDevices) {
        return;
    }
    DeviceTable[index] = record;
    const DeviceRowTexts texts = DeviceRowTextsOf(record);
    for (int column : {kMacColumn, kNameColumn, kIpColumn, kUptimeColumn}) {
        rows.SetRowText(row, column, texts[static_cast<std::size_t>(column)]);
    }
}

}  // namespace netsonde
