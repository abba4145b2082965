// The Save dialog and writing the file it names; see save_file_win.h.
#include "app/save_file_win.h"

#include <commdlg.h>

#include "app/message_box_win.h"

namespace netsonde {

bool AskSaveFileName(HWND owner, const char* title, const char* filter,
                     const char* defaultExtension, const char* initialName, std::string* path,
                     DWORD* filterIndex) {
    char name[MAX_PATH] = {};
    lstrcpynA(name, initialName, MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) {
        return false;
    }
    *path = name;
    *filterIndex = dialog.nFilterIndex;
    return true;
}

bool WriteFileOrSay(const std::string& path, const std::string& text, const char* what) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!ok) {
        const std::string message = std::string("The ") + what + " could not be written to " + path;
        ShowAppMessage(message.c_str());
    }
    return ok;
}

}  // namespace netsonde
