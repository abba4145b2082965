// RFC 4180 CSV: writing a record (fields quoted when they must be, CRLF line ends) and reading a
// whole text back into rows, with the line each row starts on. Every field goes through
// SpreadsheetCell when written and SpreadsheetCellValue when read, so a text a spreadsheet would
// run as a formula is written as text, and reads back exactly.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace netsonde::commission {

std::string CsvLine(const std::vector<std::string>& fields);

struct CsvRow {
    std::size_t line = 0;  // 1-based line of the text the row starts on
    std::vector<std::string> fields;
};

// Reads every row; blank lines are skipped. False with *error set (naming the line) when a
// quoted field is not closed or a quote stands inside an unquoted field.
bool ParseCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error);

}  // namespace netsonde::commission
