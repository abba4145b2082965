// Placeholder chooser until the real one lands: keeps any address and confirms at once.
#include "adapter/adapter_select_dialog_win.h"

#include "res/resource.h"

namespace netsonde {

AdapterSelectDialog::AdapterSelectDialog() : ModalDialog(IDD_ADAPTER_SELECT, nullptr) {}
bool AdapterSelectDialog::OnInitDialog() {
    EndModal(IDOK);
    return true;
}
bool AdapterSelectDialog::OnCommand(int, int, HWND) { return false; }
void AdapterSelectDialog::OnOK() { EndModal(IDOK); }
void AdapterSelectDialog::OnCancel() { EndModal(IDCANCEL); }

}  // namespace netsonde
