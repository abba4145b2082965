// The Scan List window: its initialisation, its commands, the header-click sort and the
// re-layout on resize. The scan itself runs through ScanDevices.
#include "discovery/scan_list_dialog_win.h"

#include <shellapi.h>

#include <iterator>
#include <string>
#include <vector>

#include "adapter/adapter_select_dialog_win.h"
#include "adapter/selected_adapter.h"
#include "app/about_dialog_win.h"
#include "app/message_box_win.h"
#include "app/window_dpi_win.h"
#include "app/winsock_start_win.h"
#include "commission/change_several_dialog_win.h"
#include "config/change_command_win.h"
#include "discovery/row_actions_win.h"
#include "discovery/row_sort.h"
#include "discovery/save_list_win.h"
#include "discovery/scan_list_layout.h"
#include "res/resource.h"

namespace netsonde {

namespace {

constexpr ListColumn kColumns[kDeviceColumnCount] = {
    {"MAC Address", 100}, {"System Name", 120},        {"IP Address", 100},
    {"Uptime", 100},      {"System Description", 252},
};

struct ResizeRule {
    int id;
    ResizeAnchor anchor;
};
// The banner picture is not listed: it does not move.
constexpr ResizeRule kResizeRules[] = {
    {IDC_SCAN_RESCAN, ResizeAnchor::RightButton},
    {IDC_SCAN_CHANGE, ResizeAnchor::RightButton},
    {IDC_SCAN_WEB_CONFIG, ResizeAnchor::RightButton},
    {IDC_SCAN_SELECT_ADAPTER, ResizeAnchor::RightButton},
    {IDCANCEL, ResizeAnchor::CancelButton},
    {IDC_SCAN_ABOUT, ResizeAnchor::AboutButton},
    {IDC_SCAN_DEVICE_LIST, ResizeAnchor::DeviceList},
};

// Posted by WM_DPICHANGED, so the window takes its new rectangle and layout after the dialog
// manager has rescaled the font and the template's positions, whichever order it does that in.
constexpr UINT kApplyDpiChange = WM_APP + 0x44;

int CALLBACK CompareSnapshotRows(LPARAM left, LPARAM right, LPARAM snapshot) {
    return reinterpret_cast<const RowTextSnapshot*>(snapshot)->Compare(left, right);
}

}  // namespace

ScanListDialog::ScanListDialog() : ModalDialog(IDD_SCAN_LIST, nullptr) {}

bool ScanListDialog::OnInitDialog() {
    SetAppMainWindow(hwnd());
    rows_.Attach(Item(IDC_SCAN_DEVICE_LIST));
    if (!StartWindowsSockets()) {
        ShowAppMessage(IDS_SOCKETS_INIT_FAILED);
        return true;
    }
    columnDpi_ = WindowDpi(hwnd());
    InsertColumns();
    Rescan();
    // The system puts the focus on the first tab stop, the list.
    return true;
}

void ScanListDialog::InsertColumns() {
    rows_.InsertColumns(kColumns, kDeviceColumnCount, columnDpi_);
}

void ScanListDialog::Rescan() {
    WaitCursor wait;
    ScanDevices(*this);
}

bool ScanListDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDC_SCAN_RESCAN:
            // Enter reaches the window as the default button; with Ctrl+Shift held in the list
            // it opens Change Several Devices instead.
            if (GetFocus() == rows_.handle() && (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
                (GetKeyState(VK_SHIFT) & 0x8000) != 0) {
                ChangeSeveral();
                return true;
            }
            Rescan();
            return true;
        case IDM_ROW_CHANGE_SEVERAL:
            ChangeSeveral();
            return true;
        case IDM_ROW_SAVE_LIST:
            SaveListAs(hwnd(), rows_);
            return true;
        case IDC_SCAN_CHANGE:
            ChangeSelectedDevice(rows_.handle());
            return true;
        case IDC_SCAN_WEB_CONFIG:
            OpenWebConfig();
            return true;
        case IDC_SCAN_SELECT_ADAPTER:
            AdapterChooserPending = 1;
            Rescan();
            return true;
        case IDC_SCAN_ABOUT:
            RunAboutDialog();
            return true;
        default:
            return false;
    }
}

void ScanListDialog::OnOK() {
    Rescan();
}

void ScanListDialog::ChangeSeveral() {
    if (rows_.RowCount() > 0) {
        ChangeSeveralDevices(rows_.handle());
    }
}

void ScanListDialog::OpenWebConfig() {
    const int row = rows_.SelectionMarkRow();
    if (row < 0) {
        return;
    }
    const std::string address = rows_.RowText(row, kIpColumn);
    // The browser's start is not checked: if it does not start, nothing is reported.
    ShellExecuteA(hwnd(), nullptr, "iexplore", address.c_str(), nullptr, SW_SHOWNORMAL);
}

bool ScanListDialog::OnNotify(NMHDR* header, LRESULT* result) {
    if (header == nullptr || header->idFrom != IDC_SCAN_DEVICE_LIST) {
        return false;
    }
    switch (header->code) {
        case NM_DBLCLK:
            ChangeSelectedDevice(rows_.handle());
            *result = 0;
            return true;
        case LVN_COLUMNCLICK:
            SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
            *result = 0;
            return true;
        case LVN_KEYDOWN:
            HandleRowCopyKey(hwnd(), rows_, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey);
            *result = 0;
            return true;
        default:
            return false;
    }
}

void ScanListDialog::SortByColumn(int column) {
    if (column < 0 || column >= kDeviceColumnCount) {
        return;
    }
    SortColumn = column;
    // Snapshot the column first and number the rows by their place now: the comparison then
    // works from the snapshot and never reads the list while the list reorders itself.
    const int count = rows_.RowCount();
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        texts.push_back(rows_.RowText(row, SortColumn));
        rows_.SetRowData(row, row);
    }
    const RowTextSnapshot snapshot(std::move(texts));
    SendMessageA(rows_.handle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&snapshot),
                 reinterpret_cast<LPARAM>(&CompareSnapshotRows));
}

bool ScanListDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_CONTEXTMENU:
            return HandleRowContextMenu(hwnd(), rows_, reinterpret_cast<HWND>(wParam), lParam);
        case WM_SIZE:
            Relayout(LOWORD(lParam), HIWORD(lParam));
            return false;  // the default handling runs as well
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            const int dpi = WindowDpi(hwnd());
            limits->ptMinTrackSize.x = ScaleForDpi(kScanListMinTrackWidth, dpi);
            limits->ptMinTrackSize.y = ScaleForDpi(kScanListMinTrackHeight, dpi);
            *result = 0;
            return true;
        }
        case WM_DPICHANGED:
            dpiChangeRect_ = *reinterpret_cast<const RECT*>(lParam);
            PostMessageA(hwnd(), kApplyDpiChange, 0, 0);
            return false;  // the dialog manager rescales the font and the template's controls
        case kApplyDpiChange:
            ApplyDpiChange();
            *result = 0;
            return true;
        default:
            return false;
    }
}

void ScanListDialog::ApplyDpiChange() {
    // Column widths keep what the operator dragged them to, carried over to the new DPI.
    const int dpi = WindowDpi(hwnd());
    if (columnDpi_ != 0 && dpi != columnDpi_) {
        for (int i = 0; i < kDeviceColumnCount; ++i) {
            const int width =
                static_cast<int>(SendMessageA(rows_.handle(), LVM_GETCOLUMNWIDTH, i, 0));
            SendMessageA(rows_.handle(), LVM_SETCOLUMNWIDTH, i,
                         RescaleForDpi(width, columnDpi_, dpi));
        }
        columnDpi_ = dpi;
    }
    const RECT& r = dpiChangeRect_;
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Laid out again even when the size did not change and so no WM_SIZE came.
    RECT client = {};
    GetClientRect(hwnd(), &client);
    Relayout(client.right, client.bottom);
}

void ScanListDialog::Relayout(int cx, int cy) {
    // All controls move in one step, and the window is repainted whole afterwards: controls can
    // overlap at small sizes, and moving them one by one leaves parts of them unpainted.
    const int dpi = WindowDpi(hwnd());
    HDWP moves = BeginDeferWindowPos(static_cast<int>(std::size(kResizeRules)));
    for (const ResizeRule& rule : kResizeRules) {
        HWND control = Item(rule.id);
        if (control == nullptr) {
            continue;
        }
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        const ControlRect current{rect.left, rect.top, rect.right, rect.bottom};
        const ControlRect next = ResizedControlRect(rule.anchor, current, cx, cy, dpi);
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (moves != nullptr) {
            moves = DeferWindowPos(moves, control, nullptr, next.left, next.top,
                                   next.right - next.left, next.bottom - next.top, flags);
        }
        if (moves == nullptr) {  // no deferred move possible: move this control at once
            SetWindowPos(control, nullptr, next.left, next.top, next.right - next.left,
                         next.bottom - next.top, flags);
        }
    }
    if (moves != nullptr) {
        EndDeferWindowPos(moves);
    }
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ScanListDialog::EnableDeviceCommands(bool enable) {
    EnableWindow(Item(IDC_SCAN_CHANGE), enable ? TRUE : FALSE);
    EnableWindow(Item(IDC_SCAN_WEB_CONFIG), enable ? TRUE : FALSE);
}

void ScanListDialog::RepaintList() {
    UpdateWindow(rows_.handle());
}

bool ScanListDialog::RunAdapterChooser() {
    AdapterSelectDialog dialog;
    return dialog.DoModal() != kNoAdapterResult;
}

void ScanListDialog::EndForNoAdapter() {
    EndModal(kScanListNoAdapterResult);
}

ExchangeResult ScanListDialog::RunDiscoveryExchange(const DeviceRecord& request,
                                                    const std::string& localAddress,
                                                    const ReplyHandler& onReply) {
    // The chooser, when it ran, took the cursor over: show the wait cursor again while the
    // exchange holds the thread.
    WaitCursor wait;
    // Rows arrive while the thread is held, so they are never painted one by one anyway; with
    // redrawing off, a visible list also skips its per-row scroll and paint bookkeeping, which
    // under load costs enough per row that the socket's queue overflows and replies are lost.
    HWND list = rows_.handle();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    const ExchangeIo io = PlatformExchangeIo([](const char* message) { ShowAppMessage(message); });
    const ExchangeResult result = BroadcastExchange(request, localAddress, onReply, io).result;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return result;
}

void ScanListDialog::SelectFirstRow() {
    HWND list = rows_.handle();
    SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    UpdateWindow(list);
}

}  // namespace netsonde
