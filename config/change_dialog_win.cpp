// The Change dialog's controls: loading the members into them, the Static/Dynamic choice, the
// edit notifications that keep the members equal to the screen, and Web Configuration.
#include "config/change_dialog_win.h"

#include <shellapi.h>

#include "res/resource.h"

namespace netsonde {

namespace {

// Each text member with its edit and the edit's length limit, in the order they are loaded.
struct TextBinding {
    int editId;
    std::string ChangeDialog::*member;
    int limit;
};

const TextBinding kTextBindings[] = {
    {IDC_CHANGE_SYSTEM_NAME, &ChangeDialog::NameText, 31},
    {IDC_CHANGE_GATEWAY, &ChangeDialog::GatewayText, 15},
    {IDC_CHANGE_IMAGE_FILE, &ChangeDialog::ImageFileText, 255},
    {IDC_CHANGE_IP_ADDRESS, &ChangeDialog::IpText, 15},
    {IDC_CHANGE_PASSWORD, &ChangeDialog::PasswordText, 31},
    {IDC_CHANGE_SUBNET_MASK, &ChangeDialog::MaskText, 15},
    {IDC_CHANGE_TFTP_SERVER, &ChangeDialog::TftpServerText, 15},
};

const int kAddressEdits[] = {IDC_CHANGE_IP_ADDRESS, IDC_CHANGE_GATEWAY, IDC_CHANGE_SUBNET_MASK};

}  // namespace

ChangeDialog::ChangeDialog(HWND parent) : ModalDialog(IDD_CHANGE, parent) {}

void ChangeDialog::LoadMembersIntoControls() {
    for (const TextBinding& binding : kTextBindings) {
        // Setting the text notifies the edit's change handler, which rewrites the member; pass
        // a copy so the text being set is never the one being replaced.
        const std::string text = this->*binding.member;
        SetDlgItemTextA(hwnd(), binding.editId, text.c_str());
        SendDlgItemMessageA(hwnd(), binding.editId, EM_LIMITTEXT, binding.limit, 0);
    }
    CheckDlgButton(hwnd(), IDC_CHANGE_DYNAMIC, DynamicChoice == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_CHANGE_STATIC, StaticChoice == 0 ? BST_CHECKED : BST_UNCHECKED);
    const std::string mac = MacText;
    SetDlgItemTextA(hwnd(), IDC_CHANGE_MAC_ADDRESS, mac.c_str());
}

void ChangeDialog::EnableAddressEdits(bool enable) {
    for (int id : kAddressEdits) {
        EnableWindow(Item(id), enable ? TRUE : FALSE);
    }
}

bool ChangeDialog::OnInitDialog() {
    LoadMembersIntoControls();
    if (DynamicChoice == 0) {
        EnableAddressEdits(false);
    }
    if (DescriptionHasV(WorkingRecord)) {
        EnableWindow(Item(IDC_CHANGE_TFTP_SERVER), FALSE);
        EnableWindow(Item(IDC_CHANGE_IMAGE_FILE), FALSE);
    }
    return true;  // default focus: the first enabled tab stop
}

void ChangeDialog::SelectType(AddressType type) {
    const bool isStatic = type == AddressType::Static;
    StaticChoice = isStatic ? 0 : 1;
    DynamicChoice = isStatic ? 1 : 0;
    EnableAddressEdits(isStatic);
    // The two buttons are separate groups: the reload is what clears the other one. The
    // members hold what was typed, so the reload keeps it.
    LoadMembersIntoControls();
}

bool ChangeDialog::OnCommand(int id, int code, HWND /*control*/) {
    if (code == BN_CLICKED && id == IDC_CHANGE_DYNAMIC) {
        SelectType(AddressType::Dynamic);
        return true;
    }
    if (code == BN_CLICKED && id == IDC_CHANGE_STATIC) {
        SelectType(AddressType::Static);
        return true;
    }
    if (code == BN_CLICKED && id == IDC_CHANGE_WEB_CONFIG) {
        // The address as typed, sent or not; a failure to start the browser is not reported.
        ShellExecuteA(hwnd(), nullptr, "iexplore", IpText.c_str(), nullptr, SW_SHOWNORMAL);
        return true;
    }
    if (code == EN_CHANGE) {
        for (const TextBinding& binding : kTextBindings) {
            if (binding.editId == id) {
                this->*binding.member = ControlText(Item(id));
                return true;
            }
        }
    }
    return false;
}

ChangeFields ChangeDialog::CurrentFields() const {
    ChangeFields fields;
    fields.nameText = NameText;
    fields.ipText = IpText;
    fields.maskText = MaskText;
    fields.gatewayText = GatewayText;
    fields.tftpServerText = TftpServerText;
    fields.imageFileText = ImageFileText;
    fields.passwordText = PasswordText;
    fields.type = StaticChoice == 0 ? AddressType::Static : AddressType::Dynamic;
    return fields;
}

}  // namespace netsonde
