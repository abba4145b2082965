// The About box (dialog 100): the banner, the icon and the version. It has no behaviour of its
// own; OK, Esc and the close box close it.
#pragma once

#include "app/dialog_win.h"

namespace netsonde {

class AboutDialog : public ModalDialog {
  public:
    // Without a parent the box is owned by the application's main window.
    explicit AboutDialog(HWND parent = nullptr);
};

// Runs the About box modally over the main window; its result means nothing.
void RunAboutDialog();

}  // namespace netsonde
