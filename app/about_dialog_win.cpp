// The About box; see about_dialog_win.h.
#include "app/about_dialog_win.h"

#include "res/resource.h"

namespace netsonde {

AboutDialog::AboutDialog(HWND parent) : ModalDialog(IDD_ABOUT, parent) {}

void RunAboutDialog() {
    AboutDialog about;
    about.DoModal();
}

}  // namespace netsonde
