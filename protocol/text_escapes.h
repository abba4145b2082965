// Texts a device controls (names, descriptions, image file names), made safe for the two places
// that would otherwise obey them: a spreadsheet that opens or pastes a CSV/TSV cell as a formula,
// and a terminal that takes control characters as commands (clipboard writes, cursor moves).
#pragma once

#include <string>
#include <string_view>

namespace netsonde {

// A cell as every CSV and TSV text the programs write carries it. A cell that begins with
// "=", "+", "-", "@", a tab or a carriage return is one a spreadsheet may read as a formula; it
// gets a leading apostrophe, which spreadsheets show as text. A cell that is already one or more
// apostrophes before such a character gets one more, so that SpreadsheetCellValue can undo it
// exactly. Every other cell is unchanged.
std::string SpreadsheetCell(std::string_view text);

// The text of a cell SpreadsheetCell wrote: one apostrophe dropped from a cell that is one or
// more apostrophes before "=", "+", "-", "@", a tab or a carriage return; every other cell as it
// is.
std::string SpreadsheetCellValue(std::string_view cell);

// UTF-8 text for a terminal: control characters (C0, DEL and the C1 range U+0080..U+009F) as
// \xHH, so a device's text stays on its line and never moves the cursor or talks to the terminal.
std::string TerminalText(std::string_view utf8);

}  // namespace netsonde
