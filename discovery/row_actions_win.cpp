// The device list's copy keys and row menu; see row_actions_win.h.
#include "discovery/row_actions_win.h"

#include <string>

#include "app/clipboard_win.h"
#include "discovery/row_copy_text.h"
#include "res/resource.h"

namespace netsonde {

namespace {

bool KeyDown(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

DeviceRowTexts RowTexts(const ListViewRows& rows, int row) {
    DeviceRowTexts texts;
    for (int column = 0; column < kDeviceColumnCount; ++column) {
        texts[static_cast<std::size_t>(column)] = rows.RowText(row, column);
    }
    return texts;
}

void CopyRow(HWND owner, const ListViewRows& rows, int row, bool withHeadings) {
    DeviceRowTexts headings;
    for (int column = 0; column < kDeviceColumnCount; ++column) {
        headings[static_cast<std::size_t>(column)] = rows.ColumnHeading(column);
    }
    CopyTextToClipboard(owner,
                        RowCopyText(RowTexts(rows, row), withHeadings ? &headings : nullptr));
}

// Runs the Scan List button with this id as a click on it would, if it is enabled.
void ClickButton(HWND owner, int id) {
    HWND button = GetDlgItem(owner, id);
    if (button != nullptr && IsWindowEnabled(button)) {
        SendMessageA(owner, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
}

UINT EnabledLike(HWND owner, int buttonId) {
    return IsWindowEnabled(GetDlgItem(owner, buttonId)) ? MF_ENABLED : MF_GRAYED;
}

// Shows the menu at point (screen coordinates) and returns the chosen item, or 0.
UINT ChooseFromRowMenu(HWND owner, POINT point) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return 0;
    }
    AppendMenuA(menu, MF_STRING | EnabledLike(owner, IDC_SCAN_CHANGE), IDM_ROW_CHANGE,
                "&Change...");
    // Acts on the whole list, so it only needs a row to be there, not the Change button.
    AppendMenuA(menu, MF_STRING, IDM_ROW_CHANGE_SEVERAL, "Change &Several...\tCtrl+Shift+Enter");
    AppendMenuA(menu, MF_STRING | EnabledLike(owner, IDC_SCAN_WEB_CONFIG), IDM_ROW_WEB_CONFIG,
                "&Web Config");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ROW_COPY_MAC, "Copy &MAC Address");
    AppendMenuA(menu, MF_STRING, IDM_ROW_COPY_IP, "Copy &IP Address");
    AppendMenuA(menu, MF_STRING, IDM_ROW_COPY_ROW, "Copy &Row\tCtrl+C");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ROW_SAVE_LIST, "Save List &As...\tCtrl+S");
    // Shown in bold, as the double-click does the same.
    SetMenuDefaultItem(menu, IDM_ROW_CHANGE, FALSE);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr));
    DestroyMenu(menu);
    return chosen;
}

// Where the keyboard's menu opens: below the start of the row, kept inside the list.
POINT KeyboardMenuPoint(const ListViewRows& rows, int row) {
    HWND list = rows.handle();
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT client = {};
    GetClientRect(list, &client);
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    POINT point = {bounds.left + 8, bounds.bottom};
    point.x = point.x < client.left ? client.left : point.x;
    point.y = point.y > client.bottom ? client.bottom : point.y;
    ClientToScreen(list, &point);
    return point;
}

}  // namespace

void HandleRowCopyKey(HWND owner, const ListViewRows& rows, WORD virtualKey) {
    if (virtualKey == 'S' && KeyDown(VK_CONTROL) && !KeyDown(VK_SHIFT) && !KeyDown(VK_MENU)) {
        SendMessageA(owner, WM_COMMAND, MAKEWPARAM(IDM_ROW_SAVE_LIST, 0), 0);
        return;
    }
    if (virtualKey != 'C' || !KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) {
        return;
    }
    const int row = rows.SelectionMarkRow();
    if (row >= 0) {
        CopyRow(owner, rows, row, KeyDown(VK_SHIFT));
    }
}

bool HandleRowContextMenu(HWND owner, ListViewRows& rows, HWND source, LPARAM position) {
    HWND list = rows.handle();
    if (source != list && GetParent(source) != list) {
        return false;
    }
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    const bool fromKeyboard = point.x == -1 && point.y == -1;
    int row = -1;
    if (fromKeyboard) {
        row = rows.SelectionMarkRow();
        if (row >= 0) {
            point = KeyboardMenuPoint(rows, row);
        }
    } else if (source == list) {  // the heading row is no device row
        row = rows.RowAtScreenPoint(point);
    }
    // Every item acts on a row: without one there is nothing to offer.
    if (row < 0) {
        return true;
    }
    // The commands act on the row holding the selection mark: make it the row clicked.
    rows.SelectRow(row);
    switch (ChooseFromRowMenu(owner, point)) {
        case IDM_ROW_CHANGE:
            ClickButton(owner, IDC_SCAN_CHANGE);
            break;
        case IDM_ROW_CHANGE_SEVERAL:
            SendMessageA(owner, WM_COMMAND, MAKEWPARAM(IDM_ROW_CHANGE_SEVERAL, 0), 0);
            break;
        case IDM_ROW_WEB_CONFIG:
            ClickButton(owner, IDC_SCAN_WEB_CONFIG);
            break;
        case IDM_ROW_COPY_MAC:
            CopyTextToClipboard(owner, rows.RowText(row, kMacColumn));
            break;
        case IDM_ROW_COPY_IP:
            CopyTextToClipboard(owner, rows.RowText(row, kIpColumn));
            break;
        case IDM_ROW_COPY_ROW:
            CopyRow(owner, rows, row, false);
            break;
        case IDM_ROW_SAVE_LIST:
            SendMessageA(owner, WM_COMMAND, MAKEWPARAM(IDM_ROW_SAVE_LIST, 0), 0);
            break;
        default:
            break;
    }
    return true;
}

}  // namespace netsonde
