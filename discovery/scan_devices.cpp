// The steps of a discovery scan, in their fixed order.
#include "discovery/scan_devices.h"

#include <cstddef>

#include "adapter/selected_adapter.h"
#include "discovery/device_reply.h"
#include "discovery/device_table.h"

namespace netsonde {

std::string SelectedAdapterAddress() {
    return FieldText(SelectedAdapter.addressText);
}

void ScanDevices(ScanWindow& window) {
    DeviceRowList& rows = window.Rows();
    rows.DeleteAllRows();
    window.EnableDeviceCommands(false);
    window.RepaintList();
    MacIndex.RemoveAll();

    // The chooser runs before anything is sent. A chooser without adapters ends the window,
    // but the scan still runs to its end; the window closes when it returns.
    if (AdapterChooserPending != 0) {
        if (!window.RunAdapterChooser()) {
            window.EndForNoAdapter();
        }
        AdapterChooserPending = 0;
    }

    const DeviceRecord request = BuildDiscoveryRequest();
    const ExchangeResult result = window.RunDiscoveryExchange(
        request, SelectedAdapterAddress(),
        [&rows](const DeviceRecord& datagram) { AddDeviceReply(rows, datagram); });
    if (result == ExchangeResult::NotStarted) {
        return;
    }
    if (rows.RowCount() > 0) {
        window.SelectFirstRow();
        window.EnableDeviceCommands(true);
    }
}

}  // namespace netsonde
