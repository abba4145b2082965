// Putting text on the clipboard, as Unicode text and as ANSI text. A failure is told to the
// operator in the application's message box, never passed over in silence.
#pragma once

#include <windows.h>

#include <string>

namespace netsonde {

// Shown when the clipboard stays held by another program.
constexpr const char kClipboardBusyMessage[] =
    "Cannot open the clipboard\r\nAnother program may be using it. Please try again.";
// Shown when the clipboard was opened but the text could not be stored.
constexpr const char kClipboardWriteMessage[] = "Cannot copy to the clipboard\r\nPlease try again.";

// Replaces the clipboard's contents with text (in the ANSI code page, as the list shows it) as
// CF_UNICODETEXT and CF_TEXT. Returns false, after telling the operator, when it could not.
bool CopyTextToClipboard(HWND owner, const std::string& text);

}  // namespace netsonde
