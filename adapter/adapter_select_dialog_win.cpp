// The adapter chooser (dialog 136): reads the interface and address tables, offers every usable
// address, and keeps the operator's choice in SelectedAdapter. With one interface it decides
// alone and is never shown; with none, or when the tables cannot be read, it tells the operator
// that the program is closing and answers kNoAdapterResult.
#include "adapter/adapter_select_dialog_win.h"

#include <cstdlib>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/adapter_tables_win.h"
#include "adapter/selected_adapter.h"
#include "app/message_box_win.h"
#include "res/resource.h"

namespace netsonde {

namespace {

constexpr char kDetectionErrorText[] = "Network Adapter Detection Error... Closing Netsonde";
constexpr char kNoAdaptersText[] = "No Active Network Adapters Detected... Closing Netsonde";

// Pixel widths of the item texts in the combo box's device context with the dialog's font.
std::vector<int> MeasureItemTexts(HWND dialog, HWND combo, const std::vector<AdapterItem>& items) {
    std::vector<int> widths;
    HDC dc = GetDC(combo);
    if (dc == nullptr) {
        return widths;
    }
    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    const HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    for (const AdapterItem& item : items) {
        SIZE extent = {};
        if (GetTextExtentPoint32A(dc, item.text.c_str(), static_cast<int>(item.text.size()),
                                  &extent)) {
            widths.push_back(extent.cx);
        }
    }
    if (previousFont != nullptr) {
        SelectObject(dc, previousFont);
    }
    ReleaseDC(combo, dc);
    return widths;
}

}  // namespace

AdapterSelectDialog::AdapterSelectDialog() : ModalDialog(IDD_ADAPTER_SELECT, nullptr) {}

bool AdapterSelectDialog::OnInitDialog() {
    switch (chooser_.Open(&ReadAdapterTables)) {
        case ChooserOpening::DetectionError:
            ShowAppMessage(kDetectionErrorText);
            EndModal(kNoAdapterResult);
            return true;
        case ChooserOpening::NoAdapters:
            ShowAppMessage(kNoAdaptersText);
            EndModal(kNoAdapterResult);
            return true;
        case ChooserOpening::ChosenAlone:
            EndModal(IDOK);
            return true;
        case ChooserOpening::ShowList:
            break;
    }
    FillList();
    return true;  // the focus goes to the first tab stop, the OK button
}

void AdapterSelectDialog::FillList() {
    HWND combo = Item(IDC_ADAPTER_COMBO);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);

    const std::vector<AdapterItem>& items = chooser_.items();
    std::size_t listed = 0;
    for (; listed < items.size(); ++listed) {
        // An explicit position, never CB_ADDSTRING: the combo box sorts what is added, and
        // position n must stay table entry n.
        const LRESULT position = SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(listed),
                                              reinterpret_cast<LPARAM>(items[listed].text.c_str()));
        if (position != static_cast<LRESULT>(listed)) {
            // The combo box refused the item (out of memory): list only what it holds, so every
            // position still names its own table entry.
            break;
        }
    }
    chooser_.Listed(listed);

    const int width = DroppedWidth(MeasureItemTexts(hwnd(), combo, chooser_.items()),
                                   GetSystemMetrics(SM_CXVSCROLL));
    SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

bool AdapterSelectDialog::OnCommand(int id, int code, HWND) {
    if (id == IDC_ADAPTER_CANCEL && code == BN_CLICKED) {
        OnCancel();
        return true;
    }
    return false;
}

void AdapterSelectDialog::OnOK() {
    chooser_.Confirm(static_cast<int>(SendMessageA(Item(IDC_ADAPTER_COMBO), CB_GETCURSEL, 0, 0)));
    EndModal(IDOK);
}

void AdapterSelectDialog::OnCancel() {
    if (!chooser_.Cancel()) {
        // No address was ever confirmed: the operator declined to choose, so the program ends
        // here, in the orderly way, without returning to the still hidden main window.
        std::exit(1);
    }
    EndModal(IDCANCEL);
}

}  // namespace netsonde
