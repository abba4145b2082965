// The modal-dialog layer: routes dialog messages to the overridable handlers of ModalDialog.
#include "app/dialog_win.h"

#include <vector>

namespace netsonde {

namespace {
HWND g_mainWindow = nullptr;
}

HWND AppMainWindow() { return g_mainWindow; }
void SetAppMainWindow(HWND hwnd) { g_mainWindow = hwnd; }

ModalDialog::ModalDialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR ModalDialog::DoModal() {
    HWND owner = parent_;
    if (owner == nullptr && g_mainWindow != nullptr && IsWindow(g_mainWindow)) {
        owner = g_mainWindow;
    }
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner,
                           &ModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void ModalDialog::EndModal(INT_PTR result) { EndDialog(hwnd_, result); }

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
    return self->HandleMessage(message, wParam, lParam);
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
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
            if (OnMessage(message, wParam, lParam, &result)) {
                SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
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
