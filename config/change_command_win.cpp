// Placeholder until the Change dialog lands.
#include "config/change_command_win.h"

namespace netsonde {

void ChangeSelectedDevice(HWND) {}

}  // namespace netsonde
