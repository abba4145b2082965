// The application's message box: titled with the application title, one OK button by default,
// and the exclamation icon whenever the caller names no icon, so every box looks alike.
#pragma once

#include <windows.h>

namespace netsonde {

int ShowAppMessage(const char* text, UINT type = MB_OK);

// Shows a string resource through ShowAppMessage.
int ShowAppMessage(UINT stringId, UINT type = MB_OK);

}  // namespace netsonde
