// The Change command of the Scan List window: opens the Change dialog on the selected device's
// stored record and, once the device accepted a change, stores the request as sent and shows
// it in the device's row.
#include "config/change_command_win.h"

#include <string>

#include "config/change_dialog_win.h"
#include "config/change_fields.h"
#include "discovery/device_reply.h"
#include "discovery/device_table.h"
#include "discovery/list_view_rows_win.h"
#include "protocol/text_forms.h"

namespace netsonde {

void ChangeSelectedDevice(HWND listView) {
    ListViewRows rows(listView);
    const int row = rows.SelectionMarkRow();
    ChangeDialog dialog(nullptr);
    // Without a marked row the texts stay empty and the look-up below finds nothing.
    dialog.MacText = rows.RowText(row, kMacColumn);
    dialog.NameText = rows.RowText(row, kNameColumn);
    dialog.IpText = rows.RowText(row, kIpColumn);

    int index = -1;
    if (!MacIndex.Lookup(dialog.MacText, &index) || index < 0 ||
        static_cast<std::size_t>(index) >= kMaxDevices) {
        return;  // no selection, or a row the index does not know: nothing to change
    }
    const DeviceRecord& stored = DeviceTable[static_cast<std::size_t>(index)];
    // The row shows the stored record's own texts, so the name and IP address taken from it
    // above are the stored ones too.
    const ChangeFields fields = StoredChangeFields(stored);
    dialog.MaskText = fields.maskText;
    dialog.GatewayText = fields.gatewayText;
    dialog.TftpServerText = fields.tftpServerText;
    dialog.ImageFileText = fields.imageFileText;
    const bool isStatic = fields.type == AddressType::Static;
    dialog.StaticChoice = isStatic ? 0 : 1;
    dialog.DynamicChoice = isStatic ? 1 : 0;
    dialog.WorkingRecord = stored;

    // Only an accepted change is written back; a cancel or a dialog that could not be created
    // leaves the table and the row as they were.
    if (dialog.DoModal() != IDOK) {
        return;
    }
    StoreChangedDevice(rows, row, static_cast<std::size_t>(index), dialog.WorkingRecord);
}

}  // namespace netsonde
