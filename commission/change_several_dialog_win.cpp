// The Change Several Devices dialog's controls: the device list with its check boxes, the
// settings and their check boxes, and Close.
#include "commission/change_several_dialog_win.h"

#include <string>
#include <vector>

#include "app/dialog_win.h"
#include "app/window_dpi_win.h"
#include "discovery/device_rows.h"
#include "discovery/device_table.h"
#include "discovery/list_view_rows_win.h"
#include "res/resource.h"

namespace netsonde {
namespace {

enum SeveralColumn : int { kMacCol, kNameCol, kIpCol, kNewIpCol, kResultCol, kSeveralColumns };

constexpr ListColumn kSeveralColumnLayout[kSeveralColumns] = {
    {"MAC Address", 110},   {"System Name", 120}, {"IP Address", 95},
    {"New IP Address", 95}, {"Result", 170},
};

// Each setting's check box with the controls it enables, and the longest text each edit takes.
struct SettingControls {
    int checkId;
    int editIds[3];
    int limit;
};
constexpr SettingControls kSettings[] = {
    {IDC_SEVERAL_TYPE_SET, {IDC_SEVERAL_STATIC, IDC_SEVERAL_DYNAMIC, 0}, 0},
    {IDC_SEVERAL_FIRST_IP_SET,
     {IDC_SEVERAL_FIRST_IP, IDC_SEVERAL_STEP, IDC_SEVERAL_STEP_LABEL},
     15},
    {IDC_SEVERAL_MASK_SET, {IDC_SEVERAL_MASK, 0, 0}, 15},
    {IDC_SEVERAL_GATEWAY_SET, {IDC_SEVERAL_GATEWAY, 0, 0}, 15},
    {IDC_SEVERAL_TFTP_SET, {IDC_SEVERAL_TFTP, 0, 0}, 15},
    {IDC_SEVERAL_IMAGE_SET,
     {IDC_SEVERAL_IMAGE, 0, 0},
     static_cast<int>(field::kImageFileNameSize) - 1},
    {IDC_SEVERAL_PASSWORD_SET,
     {IDC_SEVERAL_PASSWORD, 0, 0},
     static_cast<int>(field::kPasswordSize) - 1},
};

class ChangeSeveralDialog : public ModalDialog {
  public:
    ChangeSeveralDialog(HWND scanList)
        : ModalDialog(IDD_CHANGE_SEVERAL, nullptr), scanRows_(scanList) {}

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    void FillList();
    void CheckAll(bool checked);
    void EnableSettings();

    ListViewRows scanRows_;
    ListViewRows rows_;
};

bool ChangeSeveralDialog::OnInitDialog() {
    rows_.Attach(Item(IDC_SEVERAL_DEVICE_LIST));
    SendMessageA(rows_.handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    rows_.InsertColumns(kSeveralColumnLayout, kSeveralColumns, WindowDpi(hwnd()));
    for (const SettingControls& setting : kSettings) {
        if (setting.limit > 0) {
            SendDlgItemMessageA(hwnd(), setting.editIds[0], EM_LIMITTEXT, setting.limit, 0);
        }
    }
    SendDlgItemMessageA(hwnd(), IDC_SEVERAL_STEP, EM_LIMITTEXT, 3, 0);
    SetDlgItemTextA(hwnd(), IDC_SEVERAL_STEP, "1");
    CheckRadioButton(hwnd(), IDC_SEVERAL_STATIC, IDC_SEVERAL_DYNAMIC, IDC_SEVERAL_STATIC);
    FillList();
    EnableSettings();
    // The focus starts in the list, on the row the menu was opened for.
    SetFocus(rows_.handle());
    return false;
}

void ChangeSeveralDialog::FillList() {
    const int marked = scanRows_.SelectionMarkRow();
    const int count = scanRows_.RowCount();
    for (int row = 0; row < count; ++row) {
        const std::string mac = scanRows_.RowText(row, kMacColumn);
        int index = -1;
        if (!MacIndex.Lookup(mac, &index) || index < 0 ||
            static_cast<std::size_t>(index) >= kMaxDevices) {
            continue;  // a row the index does not know has no record to change
        }
        const int at = rows_.InsertRow(rows_.RowCount(), mac);
        if (at < 0) {
            continue;
        }
        rows_.SetRowText(at, kNameCol, scanRows_.RowText(row, kNameColumn));
        rows_.SetRowText(at, kIpCol, scanRows_.RowText(row, kIpColumn));
        rows_.SetRowData(at, index);
        if (row == marked) {
            ListView_SetCheckState(rows_.handle(), at, TRUE);
            rows_.SelectRow(at);
        }
    }
}

void ChangeSeveralDialog::CheckAll(bool checked) {
    for (int row = 0; row < rows_.RowCount(); ++row) {
        ListView_SetCheckState(rows_.handle(), row, checked ? TRUE : FALSE);
    }
}

void ChangeSeveralDialog::EnableSettings() {
    for (const SettingControls& setting : kSettings) {
        const bool on = IsDlgButtonChecked(hwnd(), setting.checkId) == BST_CHECKED;
        for (int id : setting.editIds) {
            if (id != 0) {
                EnableWindow(Item(id), on ? TRUE : FALSE);
            }
        }
    }
}

bool ChangeSeveralDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDC_SEVERAL_CHECK_ALL:
        case IDC_SEVERAL_CHECK_NONE:
            CheckAll(id == IDC_SEVERAL_CHECK_ALL);
            return true;
        default:
            for (const SettingControls& setting : kSettings) {
                if (setting.checkId == id) {
                    EnableSettings();
                    return true;
                }
            }
            return false;
    }
}

}  // namespace

void ChangeSeveralDevices(HWND scanList) {
    ChangeSeveralDialog dialog(scanList);
    dialog.DoModal();
}

}  // namespace netsonde
