// The text the device list puts on the clipboard: a row's texts as one tab-separated line in
// column order, with the heading line above it when asked, so that it pastes into a spreadsheet
// as one cell per column.
#pragma once

#include <string>

#include "discovery/device_rows.h"

namespace netsonde {

// The cells joined by tabs. A cell a spreadsheet would read as a formula gets a leading
// apostrophe (SpreadsheetCell), then a tab, carriage return or line feed inside a cell (a
// device's name or description may carry any byte) becomes a space, so that it can neither split
// a cell nor start a new row where the text is pasted.
std::string TabSeparatedLine(const DeviceRowTexts& cells);

// The row's line; with headings, the heading line first and the two joined by "\r\n". No line
// break follows the last line, so a single row also pastes cleanly into a text field.
std::string RowCopyText(const DeviceRowTexts& row, const DeviceRowTexts* headings = nullptr);

}  // namespace netsonde
