// RFC 4180 CSV writing and reading; see csv.h.
#include "commission/csv.h"

#include "protocol/text_escapes.h"

namespace netsonde::commission {

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        // A device text a spreadsheet would run as a formula is written as text.
        const std::string field = SpreadsheetCell(fields[i]);
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            if (c == '"') {
                line += '"';
            }
            line += c;
        }
        line += '"';
    }
    line += "\r\n";
    return line;
}

bool ParseCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error) {
    std::size_t line = 1;
    std::size_t i = 0;
    // A leading UTF-8 byte order mark, as spreadsheet programs write one.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        i = 3;
    }
    while (i < text.size()) {
        CsvRow row;
        row.line = line;
        std::string field;
        bool rowEnded = false;
        while (!rowEnded) {
            if (i < text.size() && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        *error =
                            "line " + std::to_string(row.line) + ": a quoted field is not closed";
                        return false;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n') {
                        ++line;
                    }
                    field += text[i++];
                }
            }
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') {
                    *error = "line " + std::to_string(line) + ": a quote inside an unquoted field";
                    return false;
                }
                field += text[i++];
            }
            row.fields.push_back(SpreadsheetCellValue(field));
            field.clear();
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] == '\r') {
                ++i;
            }
            if (i < text.size() && text[i] == '\n') {
                ++i;
            }
            ++line;
            rowEnded = true;
        }
        const bool blank = row.fields.size() == 1 && row.fields[0].empty();
        if (!blank) {
            rows->push_back(std::move(row));
        }
    }
    return true;
}

}  // namespace netsonde::commission
