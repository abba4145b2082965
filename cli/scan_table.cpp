// A device list as the scan command prints it for a person: aligned columns, one line per device.
#include "cli/scan_table.h"

#include <algorithm>
#include <cctype>

#include "protocol/text_escapes.h"

namespace netsonde::cli {

using namespace commission;

namespace {

// Characters shown, counting each UTF-8 sequence once.
std::size_t Width(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The column that marks a device in a conflict.
constexpr const char* kConflictColumn = "!";

std::vector<std::string> Columns(bool withConflicts, bool withChange) {
    std::vector<std::string> columns;
    if (withConflicts) {
        columns.push_back(kConflictColumn);
    }
    if (withChange) {
        columns.push_back(kChangeKey);
    }
    for (const char* key : {"mac", "name", "ip", "type", "uptime", "description", "adapters"}) {
        columns.push_back(key);
    }
    if (withChange) {
        columns.push_back(kChangedFieldsKey);
    }
    return columns;
}

}  // namespace

std::string FormatTable(const std::vector<DeviceEntry>& devices, bool withChange) {
    const bool withConflicts =
        std::any_of(devices.begin(), devices.end(),
                    [](const DeviceEntry& device) { return !device.conflicts.empty(); });
    const std::vector<std::string> columns = Columns(withConflicts, withChange);
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> heading;
    for (const std::string& column : columns) {
        std::string title = column;
        std::transform(title.begin(), title.end(), title.begin(),
                       [](char c) { return c == '_' ? ' ' : static_cast<char>(std::toupper(c)); });
        heading.push_back(title);
    }
    cells.push_back(heading);
    for (const DeviceEntry& device : devices) {
        std::vector<std::string> row;
        for (const std::string& column : columns) {
            if (column == kConflictColumn) {
                row.push_back(device.conflicts.empty() ? "" : kConflictColumn);
            } else {
                row.push_back(TerminalText(CellText(device, column)));
            }
        }
        cells.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], Width(row[c]));
        }
    }
    std::string table;
    for (const auto& row : cells) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) {
                line.append(widths[c] - Width(row[c]) + 2, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        table += line + '\n';
    }
    return table;
}

}  // namespace netsonde::cli
