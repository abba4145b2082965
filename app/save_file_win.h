// The standard Save dialog and the file it names, for every window that saves a file the
// operator picks (the Scan List's list, Change Several Devices' report).
#pragma once

#include <windows.h>

#include <string>

namespace netsonde {

// Shows the Save dialog (asking before replacing a file). filter is the dialog's list of file
// types ("Name\0*.ext\0...\0"); a name typed without an extension gets defaultExtension. False
// when the operator cancelled; otherwise *path and *filterIndex (1-based) say what was chosen.
bool AskSaveFileName(HWND owner, const char* title, const char* filter,
                     const char* defaultExtension, const char* initialName, std::string* path,
                     DWORD* filterIndex);

// Writes text to path, bytes as they are. When that fails, says "The <what> could not be written
// to <path>" in the application's message box and returns false.
bool WriteFileOrSay(const std::string& path, const std::string& text, const char* what);

}  // namespace netsonde
