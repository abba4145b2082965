// Save List As in the Scan List window: the listed devices written to a file the operator picks
// in the standard Save dialog, as CSV or JSON, in the scan document netsonde-cli writes.
#pragma once

#include <windows.h>

#include "discovery/list_view_rows_win.h"

namespace netsonde {

// Asks for a file (CSV by default, or JSON) and writes every device the list shows, on the
// chosen adapter. Says so in a message box when the file cannot be written; a cancel does
// nothing.
void SaveListAs(HWND owner, const ListViewRows& rows);

}  // namespace netsonde
