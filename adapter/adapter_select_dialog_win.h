// The adapter chooser (dialog 136): lists every usable local IPv4 address with its interface's
// description and stores the choice in SelectedAdapter.
#pragma once

#include "adapter/adapter_chooser.h"
#include "app/dialog_win.h"

namespace netsonde {

// Result of the chooser when it had no adapter to offer; it has told the operator itself.
constexpr INT_PTR kNoAdapterResult = 100;

class AdapterSelectDialog : public ModalDialog {
  public:
    AdapterSelectDialog();

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

  private:
    // Fills the combo box and AdapterAddressTable, sizes the drop-down list and puts the first
    // listed address in effect.
    void FillList();

    AdapterChooser chooser_{SelectedAdapter, AdapterAddressTable};
};

}  // namespace netsonde
