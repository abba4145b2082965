// Spreadsheet-safe cells and terminal-safe text; see text_escapes.h.
#include "protocol/text_escapes.h"

#include <cstdio>

namespace netsonde {
namespace {

// True when text is zero or more apostrophes before a character a spreadsheet may take as the
// start of a formula.
bool ApostrophesBeforeFormulaStart(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\'');
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(text[first]) != std::string_view::npos;
}

}  // namespace

std::string SpreadsheetCell(std::string_view text) {
    std::string cell;
    if (ApostrophesBeforeFormulaStart(text)) {
        cell += '\'';
    }
    cell += text;
    return cell;
}

std::string SpreadsheetCellValue(std::string_view cell) {
    if (!cell.empty() && cell.front() == '\'' && ApostrophesBeforeFormulaStart(cell)) {
        cell.remove_prefix(1);
    }
    return std::string(cell);
}

std::string TerminalText(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned code = c;
        std::size_t length = 1;
        if (c == 0xC2 && i + 1 < utf8.size()) {
            code = static_cast<unsigned char>(utf8[i + 1]);  // U+0080..U+00BF
            length = 2;
        }
        if (code < 0x20 || code == 0x7F || (length == 2 && code < 0xA0)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
            shown += escaped;
        } else {
            shown.append(utf8.substr(i, length));
        }
        i += length - 1;
    }
    return shown;
}

}  // namespace netsonde
