// The application's message box; see message_box_win.h.
#include "app/message_box_win.h"

#include <string>
#include <vector>

#include "app/app_title.h"
#include "app/dialog_win.h"

namespace netsonde {

namespace {

// The executable's full path; the buffer grows until the path fits, so a long path is never
// cut (a cut path would lose the real name or leave part of the extension in the title).
std::string ModulePath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0) {
            return std::string();
        }
        if (length < size) {
            return std::string(path.data(), length);
        }
        if (path.size() >= 32768) {  // the longest path Windows knows
            return std::string();
        }
        path.resize(path.size() * 2);
    }
}

std::string ApplicationTitle() {
    const std::string title = TitleFromModulePath(ModulePath());
    return title.empty() ? std::string("Netsonde") : title;
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
