// The Change command of the Scan List window: opens the Change dialog on the selected device's
// stored record and, once the device accepted a change, stores the request as sent and shows
// it in the device's row.
#include "config/change_command_win.h"

#include <commctrl.h>

#include <string>

#include "config/change_dialog_win.h"
#include "discovery/device_rows.h"
#include "discovery/device_table.h"
#include "discovery/text_forms.h"

namespace netsonde {

namespace {

std::string RowText(HWND listView, int row, int column) {
    if (row < 0) {
        return std::string();
    }
    char buffer[512] = {};
    ListView_GetItemText(listView, row, column, buffer, static_cast<int>(sizeof buffer));
    return std::string(buffer);
}

void SetRowText(HWND listView, int row, int column, const std::string& text) {
    std::string copy = text;
    ListView_SetItemText(listView, row, column, &copy[0]);
}

// Columns 0-3 (MAC, name, IP address, uptime) from the stored record; the description column
// and the MAC index stay as they are, since the MAC does not change.
void RewriteRow(HWND listView, int row, const DeviceRecord& record) {
    const DeviceRowTexts texts = DeviceRowTextsOf(record);
    for (int column : {kMacColumn, kNameColumn, kIpColumn, kUptimeColumn}) {
        SetRowText(listView, row, column, texts[column]);
    }
}

}  // namespace

void ChangeSelectedDevice(HWND listView) {
    const int row = static_cast<int>(SendMessageA(listView, LVM_GETSELECTIONMARK, 0, 0));
    ChangeDialog dialog(nullptr);
    dialog.MacText = RowText(listView, row, kMacColumn);
    dialog.NameText = RowText(listView, row, kNameColumn);
    dialog.IpText = RowText(listView, row, kIpColumn);

    int index = -1;
    if (!MacIndex.Lookup(dialog.MacText, &index) || index < 0 ||
        static_cast<std::size_t>(index) >= kMaxDevices) {
        return;  // no selection, or a row the index does not know: nothing to change
    }
    const DeviceRecord& stored = DeviceTable[static_cast<std::size_t>(index)];
    dialog.MaskText = FormatIpText(stored.subnetMask());
    dialog.GatewayText = FormatIpText(stored.gateway());
    dialog.TftpServerText = FormatIpText(stored.tftpServer());
    dialog.ImageFileText = stored.imageFileName();
    const bool isStatic = stored.ipAddressType() == AddressType::Static;
    dialog.StaticChoice = isStatic ? 0 : 1;
    dialog.DynamicChoice = isStatic ? 1 : 0;
    dialog.WorkingRecord = stored;

    // Only an accepted change is written back; a cancel or a dialog that could not be created
    // leaves the table and the row as they were.
    if (dialog.DoModal() != IDOK) {
        return;
    }
    DeviceTable[static_cast<std::size_t>(index)] = dialog.WorkingRecord;
    RewriteRow(listView, row, dialog.WorkingRecord);
}

}  // namespace netsonde
