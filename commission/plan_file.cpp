// Reading and checking a commissioning plan; see plan_file.h.
#include "commission/plan_file.h"

#include <algorithm>
#include <map>

#include "commission/csv.h"
#include "commission/scan_document.h"
#include "config/address_check.h"
#include "protocol/text_forms.h"

namespace netsonde::commission {

const std::vector<std::string> kPlanColumns = {"mac",  "type",  "ip",       "mask", "gateway",
                                               "tftp", "image", "password", "name"};

// The dialog's own check runs with every other address at a value it accepts, so message and
// rules stay its own.
std::string PlanAddressMessage(const std::string& column, const std::string& text) {
    ChangeFields fields;
    fields.ipText = fields.gatewayText = fields.tftpServerText = "1.0.0.1";
    fields.maskText = "255.0.0.0";
    std::string* cell = column == "ip"        ? &fields.ipText
                        : column == "mask"    ? &fields.maskText
                        : column == "gateway" ? &fields.gatewayText
                                              : &fields.tftpServerText;
    *cell = text;
    const auto failure = FirstInvalidAddress(fields, false);
    if (!failure) {
        return std::string();
    }
    std::string message = failure->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message + " \"" + text + "\"";
}

Plan ReadPlan(const std::string& path, const std::string& text) {
    Plan plan;
    const auto error = [&](std::size_t line, const std::string& what) {
        plan.errors.push_back(path + ":" + std::to_string(line) + ": " + what);
    };
    std::vector<CsvRow> rows;
    std::string csvError;
    if (!ParseCsv(text, &rows, &csvError)) {
        plan.errors.push_back(path + ": " + csvError);
        return plan;
    }
    if (rows.empty()) {
        error(1,
              "no header row (columns: mac and any of type, ip, mask, gateway, tftp, image, "
              "password, name)");
        return plan;
    }
    const CsvRow& header = rows.front();
    std::vector<std::string> columns;
    for (std::string column : header.fields) {
        std::transform(column.begin(), column.end(), column.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        if (std::find(kPlanColumns.begin(), kPlanColumns.end(), column) == kPlanColumns.end()) {
            error(header.line, "unknown column \"" + column +
                                   "\" (known: mac, type, ip, mask, gateway, tftp, image, "
                                   "password, name)");
        } else if (std::find(columns.begin(), columns.end(), column) != columns.end()) {
            error(header.line, "column \"" + column + "\" given twice");
        }
        columns.push_back(column);
    }
    if (std::find(columns.begin(), columns.end(), "mac") == columns.end()) {
        error(header.line, "no mac column");
    }
    if (!plan.errors.empty()) {
        return plan;
    }

    std::map<std::string, std::size_t> macLines, ipLines;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        if (row.fields.size() != columns.size()) {
            error(row.line, std::to_string(row.fields.size()) + " cells, the header has " +
                                std::to_string(columns.size()));
            continue;
        }
        PlanRow entry;
        entry.line = row.line;
        bool good = true;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& column = columns[c];
            const std::string& cell = row.fields[c];
            if (column == "mac") {
                MacBytes mac{};
                if (!ParseMacArgument(cell, &mac)) {
                    error(row.line, "not a MAC address: \"" + cell + "\"");
                    good = false;
                } else {
                    entry.mac = FormatMacText(mac);
                }
                continue;
            }
            if (cell.empty()) {
                continue;  // left out
            }
            if (column == "type") {
                if (cell == "static" || cell == "dynamic") {
                    entry.options.type =
                        cell == "static" ? AddressType::Static : AddressType::Dynamic;
                } else {
                    error(row.line, "type is static or dynamic, not \"" + cell + "\"");
                    good = false;
                }
            } else if (column == "ip" || column == "mask" || column == "gateway" ||
                       column == "tftp") {
                const std::string message = PlanAddressMessage(column, cell);
                if (!message.empty()) {
                    error(row.line, message);
                    good = false;
                }
                (column == "ip"        ? entry.options.ip
                 : column == "mask"    ? entry.options.mask
                 : column == "gateway" ? entry.options.gateway
                                       : entry.options.tftp) = cell;
            } else {
                (column == "image"  ? entry.options.image
                 : column == "name" ? entry.options.name
                                    : entry.options.password) = cell;
            }
        }
        const std::string textProblem = CheckOptionTexts(&entry.options);
        if (!textProblem.empty()) {
            error(row.line, textProblem);
            good = false;
        }
        if (!entry.mac.empty()) {
            const auto [known, added] = macLines.emplace(entry.mac, row.line);
            if (!added) {
                error(row.line, entry.mac + " is also on line " + std::to_string(known->second));
                good = false;
            }
        }
        // Only a valid address takes part: an invalid one, already reported, would be parsed
        // with wrap-around (300 as 44) and clash with another row.
        if (entry.options.ip && PlanAddressMessage("ip", *entry.options.ip).empty()) {
            // 010.0.0.1 and 10.0.0.1 are one address.
            const std::string ip = FormatIpText(ParseDottedQuad(entry.options.ip->c_str()));
            const auto [known, added] = ipLines.emplace(ip, row.line);
            if (!added) {
                error(row.line,
                      "ip " + ip + " is also given on line " + std::to_string(known->second));
                good = false;
            }
        }
        if (good) {
            plan.rows.push_back(std::move(entry));
        }
    }
    return plan;
}

std::string WritePlan(const std::vector<PlanRow>& rows) {
    const auto cell = [](const ChangeOptions& options,
                         const std::string& column) -> std::optional<std::string> {
        if (column == "type" && options.type) {
            return options.type == AddressType::Static ? "static" : "dynamic";
        }
        const std::optional<std::string>* text = column == "ip"        ? &options.ip
                                                 : column == "mask"    ? &options.mask
                                                 : column == "gateway" ? &options.gateway
                                                 : column == "tftp"    ? &options.tftp
                                                 : column == "image"   ? &options.image
                                                 : column == "name"    ? &options.name
                                                                       : nullptr;
        if (text == nullptr || !*text) {
            return std::nullopt;  // the password above all: never written
        }
        return column == "image" || column == "name" ? Latin1ToUtf8(**text) : **text;
    };
    std::vector<std::string> columns = {"mac"};
    for (const std::string& column : kPlanColumns) {
        if (std::any_of(rows.begin(), rows.end(),
                        [&](const PlanRow& row) { return cell(row.options, column); })) {
            columns.push_back(column);
        }
    }
    std::string csv = CsvLine(columns);
    for (const PlanRow& row : rows) {
        std::vector<std::string> cells = {row.mac};
        for (std::size_t c = 1; c < columns.size(); ++c) {
            cells.push_back(cell(row.options, columns[c]).value_or(std::string()));
        }
        csv += CsvLine(cells);
    }
    return csv;
}

}  // namespace netsonde::commission
