// Placeholder main window until the real one lands.
#include "discovery/scan_list_dialog_win.h"

#include "res/resource.h"

namespace netsonde {

ScanListDialog::ScanListDialog() : ModalDialog(IDD_SCAN_LIST, nullptr) {}

}  // namespace netsonde
