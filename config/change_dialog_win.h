// The Change dialog (template 134): edits one device's network settings on a copy of its
// stored record, and closes with OK only after the device accepted a set request.
#pragma once

#include <string>

#include "app/dialog_win.h"
#include "config/set_request.h"
#include "protocol/device_record.h"

namespace netsonde {

class ChangeDialog : public ModalDialog {
  public:
    explicit ChangeDialog(HWND parent = nullptr);

    // The members shown in the controls. Edit notifications keep the texts equal to the
    // screen; the caller fills them before running the dialog.
    std::string NameText;
    std::string GatewayText;
    std::string ImageFileText;
    std::string IpText;
    std::string PasswordText;
    std::string MaskText;
    std::string TftpServerText;
    int DynamicChoice = -1;  // 0 when Dynamic is the selected type
    int StaticChoice = -1;   // 0 when Static is the selected type
    std::string MacText;
    // The copy of the stored record the dialog works on; after OK, the request as sent.
    DeviceRecord WorkingRecord;

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    // Checks the addresses, sends the set request and reports the outcome; ends the dialog
    // with OK only when the device accepted.
    void OnOK() override;

  private:
    // Sets every control from the members: texts and their limits, then the radio checks.
    void LoadMembersIntoControls();
    void EnableAddressEdits(bool enable);
    void SelectType(AddressType type);
    ChangeFields CurrentFields() const;
};

}  // namespace netsonde
