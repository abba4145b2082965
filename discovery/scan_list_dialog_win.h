// The main window, dialog 133 "Scan List": the list of found devices and the commands on them.
#pragma once

#include "app/dialog_win.h"

namespace netsonde {

// Result with which the window ends when the adapter chooser had no adapter to offer.
constexpr INT_PTR kScanListNoAdapterResult = 3;

class ScanListDialog : public ModalDialog {
public:
    ScanListDialog();
};

}  // namespace netsonde
