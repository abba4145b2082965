// Change Several Devices (template 137): one set of settings for the devices checked in a copy
// of the Scan List, previewed and checked whole, then sent one device after another off the
// window's thread and verified by one rescan.
#pragma once

#include <windows.h>

namespace netsonde {

// Opens the dialog over the Scan List's rows (in their current order), with the row holding
// the selection mark checked. Whatever the devices accepted is written back into DeviceTable
// and the Scan List's rows.
void ChangeSeveralDevices(HWND scanList);

}  // namespace netsonde
