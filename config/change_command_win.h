// The Change command of the Scan List window (Change button and double-click in the list).
#pragma once

#include <windows.h>

namespace netsonde {

// Opens the Change dialog for the device in the row that holds the list's selection mark, and
// on an accepted change writes the new record back into DeviceTable and the row.
void ChangeSelectedDevice(HWND listView);

}  // namespace netsonde
