// The application's message box; see message_box_win.h.
#include "app/message_box_win.h"

#include <string>

#include "app/app_title.h"
#include "app/dialog_win.h"

namespace netsonde {

namespace {

std::string ApplicationTitle() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return TitleFromModulePath(std::string(path, length < MAX_PATH ? length : MAX_PATH));
}

}  // namespace

int ShowAppMessage(const char* text, UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        type |= MB_ICONEXCLAMATION;
    }
    // Owned by the active window of this thread (a dialog in front of the main window), so the
    // box is modal to what the operator is looking at.
    HWND owner = GetActiveWindow();
    if (owner == nullptr) {
        owner = AppMainWindow();
    }
    const std::string title = ApplicationTitle();
    return MessageBoxA(owner, text, title.c_str(), type);
}

int ShowAppMessage(UINT stringId, UINT type) {
    char text[512] = {};
    LoadStringA(GetModuleHandleA(nullptr), stringId, text, sizeof text);
    return ShowAppMessage(text, type);
}

}  // namespace netsonde
