// The modal-dialog layer: routes dialog messages to the overridable handlers of ModalDialog.
#include "app/dialog_win.h"

#include <vector>

#include "res/resource.h"

namespace netsonde {

namespace {

HWND g_mainWindow = nullptr;

// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

// A top-level dialog (one without an owner: the main window) shows the program's icon in its
// caption and on the task bar.
void ShowProgramIconIfUnowned(HWND dialog) {
    if (GetWindow(dialog, GW_OWNER) != nullptr) {
        return;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const struct {
        WPARAM which;
        int size;
    } icons[] = {{ICON_BIG, GetSystemMetrics(SM_CXICON)},
                 {ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}};
    for (const auto& icon : icons) {
        // Shared icons are owned by the system; they need no clean-up.
        HANDLE image = LoadImageA(instance, MAKEINTRESOURCEA(IDI_NETSONDE), IMAGE_ICON, icon.size,
                                  icon.size, LR_SHARED);
        if (image != nullptr) {
            SendMessageA(dialog, WM_SETICON, icon.which, reinterpret_cast<LPARAM>(image));
        }
    }
}

}  // namespace

HWND AppMainWindow() {
    return g_mainWindow;
}
void SetAppMainWindow(HWND hwnd) {
    g_mainWindow = hwnd;
}

ModalDialog::ModalDialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR ModalDialog::DoModal() {
    HWND owner = parent_;
    if (owner == nullptr && g_mainWindow != nullptr && IsWindow(g_mainWindow)) {
        owner = g_mainWindow;
    }
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner,
                        &ModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    // The window is gone: never hand out its stale handle.
    hwnd_ = nullptr;
    return result;
}

void ModalDialog::EndModal(INT_PTR result) {
    if (hwnd_ != nullptr) {
        EndDialog(hwnd_, result);
    }
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }
    const INT_PTR answer = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Nothing may reach the object through this window any more.
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    }
    return answer;
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ShowProgramIconIfUnowned(hwnd_);
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDOK && code == BN_CLICKED) {
                OnOK();
                return TRUE;
            }
            if (id == IDCANCEL && code == BN_CLICKED) {
                OnCancel();
                return TRUE;
            }
            return OnCommand(id, code, reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) {
                SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        default: {
            LRESULT result = 0;
            if (!OnMessage(message, wParam, lParam, &result)) {
                return FALSE;
            }
            if (AnswersDirectly(message)) {
                return static_cast<INT_PTR>(result);
            }
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
}

std::string ControlText(HWND control) {
    if (control == nullptr) {
        return std::string();
    }
    const int length = GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data());
}

}  // namespace netsonde
