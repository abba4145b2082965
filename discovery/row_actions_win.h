// Quick actions on the device list's rows: Ctrl+C copies the selected row as tab-separated text
// (Ctrl+Shift+C with the heading row), and the row menu (right-click on a row, Shift+F10 or the
// context-menu key for the selected row) offers Change, Change Several, Web Config, the copies
// and Save List As (Ctrl+S in the list too).
#pragma once

#include <windows.h>

#include "discovery/list_view_rows_win.h"

namespace netsonde {

// A key pressed in the list (LVN_KEYDOWN): copies the selected row for Ctrl+C, with the heading
// row for Ctrl+Shift+C; Ctrl+S is owner's command IDM_ROW_SAVE_LIST; other keys do nothing here.
void HandleRowCopyKey(HWND owner, const ListViewRows& rows, WORD virtualKey);

// WM_CONTEXTMENU in the Scan List window, with the message's source window and screen position
// (-1, -1 from the keyboard). Shows the row menu for the row under the pointer, or for the
// selected row from the keyboard; with no such row it shows nothing. Change and Web Config run
// as clicks on owner's buttons of the same names; Change Several as owner's command
// IDM_ROW_CHANGE_SEVERAL, Save List As as IDM_ROW_SAVE_LIST. Returns false when the source is not
// the list.
bool HandleRowContextMenu(HWND owner, ListViewRows& rows, HWND source, LPARAM position);

}  // namespace netsonde
