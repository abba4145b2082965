// The adapter chooser (dialog 136): reads the interface and address tables, offers every usable
// address, and keeps the operator's choice in SelectedAdapter. With one interface it decides
// alone and is never shown; with none, or when the tables cannot be read, it tells the operator
// that the program is closing and answers kNoAdapterResult.
#include "adapter/adapter_select_dialog_win.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
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

// An AdapterAddressTable entry as text, never reading past its 20 bytes.
std::string_view TableEntryText(const char (&entry)[kAddressTextSize]) {
    const void* zero = std::memchr(entry, '\0', sizeof entry);
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - entry)
                        : sizeof entry;
    return std::string_view(entry, length);
}

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
    AdapterTables tables;
    if (!ReadAdapterTables(&tables)) {
        ShowAppMessage(kDetectionErrorText);
        EndModal(kNoAdapterResult);
        return true;
    }
    if (tables.interfaces.empty()) {
        ShowAppMessage(kNoAdaptersText);
        EndModal(kNoAdapterResult);
        return true;
    }
    if (tables.interfaces.size() == 1) {
        // Nothing to choose: bind to the one interface's first usable address, or to any local
        // address when it has none (a workstation with only its loopback interface).
        CopyFieldText(SelectedAdapter.addressText,
                      SingleInterfaceAddress(tables.interfaces.front(), tables.addresses));
        EndModal(IDOK);
        return true;
    }
    FillList(tables);
    return true;  // the focus goes to the first tab stop, the OK button
}

void AdapterSelectDialog::FillList(const AdapterTables& tables) {
    HWND combo = Item(IDC_ADAPTER_COMBO);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);

    std::vector<AdapterItem> items = BuildAdapterItems(tables.interfaces, tables.addresses);
    for (std::size_t n = 0; n < items.size(); ++n) {
        // An explicit position, never CB_ADDSTRING: the combo box sorts what is added, and
        // position n must stay table entry n.
        const LRESULT position = SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(n),
                                              reinterpret_cast<LPARAM>(items[n].text.c_str()));
        if (position != static_cast<LRESULT>(n)) {
            // The combo box refused the item (out of memory): list only what it holds, so every
            // position still names its own table entry.
            items.resize(n);
            break;
        }
        CopyFieldText(AdapterAddressTable[n], items[n].address);
    }
    listedCount_ = items.size();

    const int width =
        DroppedWidth(MeasureItemTexts(hwnd(), combo, items), GetSystemMetrics(SM_CXVSCROLL));
    SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);

    CopyFieldText(SelectedAdapter.addressText, FirstListedAddress(items));
}

bool AdapterSelectDialog::OnCommand(int id, int code, HWND) {
    if (id == IDC_ADAPTER_CANCEL && code == BN_CLICKED) {
        OnCancel();
        return true;
    }
    return false;
}

void AdapterSelectDialog::OnOK() {
    const auto selection =
        static_cast<int>(SendMessageA(Item(IDC_ADAPTER_COMBO), CB_GETCURSEL, 0, 0));
    if (const auto entry = ListedEntry(selection, listedCount_)) {
        CopyFieldText(SelectedAdapter.addressText, TableEntryText(AdapterAddressTable[*entry]));
    }
    SelectedAdapter.choiceConfirmed = 1;
    EndModal(IDOK);
}

void AdapterSelectDialog::OnCancel() {
    if (SelectedAdapter.choiceConfirmed == 0) {
        // No address was ever confirmed: the operator declined to choose, so the program ends
        // here, in the orderly way, without returning to the still hidden main window.
        std::exit(1);
    }
    EndModal(IDCANCEL);
}

}  // namespace netsonde
