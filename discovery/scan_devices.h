// One discovery scan: empty the list and the index, run the adapter chooser when one is
// pending, broadcast the discovery request and list every new device that answers.
#pragma once

#include <string>

#include "discovery/device_rows.h"
#include "protocol/broadcast_exchange.h"

namespace netsonde {

// What a scan needs of the window it fills.
class ScanWindow {
  public:
    virtual ~ScanWindow() = default;
    virtual DeviceRowList& Rows() = 0;
    // Enables or disables the commands that act on a listed device ("Change", "Web Config").
    virtual void EnableDeviceCommands(bool enable) = 0;
    // Repaints the list at once, so an emptied list shows while the scan runs.
    virtual void RepaintList() = 0;
    // Runs the adapter chooser modally; false when it had no adapter to offer (it has told the
    // operator itself).
    virtual bool RunAdapterChooser() = 0;
    // Ends the window because no adapter is available; it closes once the scan has returned.
    virtual void EndForNoAdapter() = 0;
    // Runs the broadcast exchange in discovery mode, bound to localAddress (empty: any address).
    virtual ExchangeResult RunDiscoveryExchange(const DeviceRecord& request,
                                                const std::string& localAddress,
                                                const ReplyHandler& onReply) = 0;
    // Focuses the list, gives row 0 the selection mark, the selected and focused states and
    // full-row selection, and repaints the list.
    virtual void SelectFirstRow() = 0;
};

// Runs one scan through the window. The caller shows the wait cursor around it.
void ScanDevices(ScanWindow& window);

// SelectedAdapter's address text, read within its field.
std::string SelectedAdapterAddress();

}  // namespace netsonde
