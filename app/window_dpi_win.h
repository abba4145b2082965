// The DPI a window is drawn at: per monitor where the system knows it (Windows 10 1607 and
// later), else the system DPI.
#pragma once

#include <windows.h>

namespace netsonde {

int WindowDpi(HWND hwnd);

}  // namespace netsonde
