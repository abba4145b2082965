// The tab-separated text of a copied row; see row_copy_text.h.
#include "discovery/row_copy_text.h"

#include "protocol/text_escapes.h"

namespace netsonde {

std::string TabSeparatedLine(const DeviceRowTexts& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            line += '\t';
        }
        for (const char c : SpreadsheetCell(cells[i])) {
            line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
        }
    }
    return line;
}

std::string RowCopyText(const DeviceRowTexts& row, const DeviceRowTexts* headings) {
    const std::string line = TabSeparatedLine(row);
    return headings == nullptr ? line : TabSeparatedLine(*headings) + "\r\n" + line;
}

}  // namespace netsonde
