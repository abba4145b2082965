// driver_fixture.exe: a small window with the kinds of controls Netsonde uses (report list with
// headings, sorted drop-down list, limited edit, check box, buttons, a message box). It writes
// every notification it receives into its event line, so the driver's own test can prove that
// each driver action reaches the program through the system's real notification path.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/e2e/driver_fixture_ids.h"

namespace {

using namespace nsdriver::fixture;

std::string g_events;

void Log(HWND window, const std::string& event) {
    g_events += event + ";";
    SetWindowTextA(GetDlgItem(window, kEvents), g_events.c_str());
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int x, int y,
           int width, int height, int id) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

void FillList(HWND list) {
    const char* headings[] = {"Name", "Address"};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.cx = 120;
        info.pszText = const_cast<char*>(headings[column]);
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    }
    const char* rows[][2] = {{"beta", "10.0.0.9"}, {"alpha", "10.0.0.10"}, {"gamma", "10.0.0.1"}};
    for (int row = 0; row < 3; ++row) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(rows[row][0]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(rows[row][1]);
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

void Create(HWND window) {
    HWND list = Child(window, WC_LISTVIEWA, "", LVS_REPORT | LVS_SINGLESEL | WS_BORDER, 10, 10, 300,
                      120, kList);
    FillList(list);
    HWND combo = Child(window, "COMBOBOX", "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 320, 10,
                       150, 120, kCombo);
    // Inserted at explicit positions, so the sort style does not reorder them.
    const char* items[] = {"zeta", "alpha", "mid"};
    for (int index = 0; index < 3; ++index) {
        SendMessageA(combo, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(items[index]));
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    HWND edit = Child(window, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 320, 40, 150, 22, kEdit);
    SendMessageA(edit, EM_LIMITTEXT, kEditLimit, 0);
    Child(window, "BUTTON", "Show Box", BS_PUSHBUTTON, 320, 70, 100, 24, kShowBox);
    Child(window, "BUTTON", "Check", BS_AUTOCHECKBOX, 320, 100, 100, 20, kCheck);
    Child(window, "BUTTON", "Quit", BS_PUSHBUTTON, 430, 70, 60, 24, kQuit);
    Child(window, "STATIC", "", SS_LEFT, 10, 140, 480, 40, kEvents);
}

LRESULT OnNotify(HWND window, const NMHDR* header) {
    if (header->idFrom != kList) {
        return 0;
    }
    if (header->code == LVN_COLUMNCLICK) {
        const NMLISTVIEW* info = reinterpret_cast<const NMLISTVIEW*>(header);
        Log(window, "column " + std::to_string(info->iSubItem));
    } else if (header->code == NM_DBLCLK) {
        const NMITEMACTIVATE* info = reinterpret_cast<const NMITEMACTIVATE*>(header);
        Log(window, "double " + std::to_string(info->iItem));
    }
    return 0;
}

void OnCommand(HWND window, int id, int code) {
    if (id == kShowBox && code == BN_CLICKED) {
        MessageBoxA(window, kBoxText, kBoxTitle, MB_OK | MB_ICONEXCLAMATION);
        Log(window, "box closed");
    } else if (id == kQuit && code == BN_CLICKED) {
        DestroyWindow(window);
    } else if (id == kCheck && code == BN_CLICKED) {
        Log(window, "check");
    } else if (id == kEdit && code == EN_CHANGE) {
        Log(window, "edit");
    } else if (id == kCombo && code == CBN_SELCHANGE) {
        const LRESULT selection = SendMessageA(GetDlgItem(window, kCombo), CB_GETCURSEL, 0, 0);
        Log(window, "select " + std::to_string(selection));
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            Create(window);
            return 0;
        case WM_NOTIFY:
            return OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_GETMINMAXINFO: {
            MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = kMinTrackWidth;
            info->ptMinTrackSize.y = kMinTrackHeight;
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(kExitCode);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "NsDriverFixture";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 20, 20,
                                  520, 240, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
