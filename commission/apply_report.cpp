// The apply report's CSV and JSON forms; see apply_report.h.
#include "commission/apply_report.h"

#include "commission/csv.h"
#include "commission/json_writer.h"

namespace netsonde::commission {
namespace {

// The report's fields, in column order; the password never appears.
const std::vector<std::string> kReportFields = {"type", "ip",    "mask", "gateway",
                                                "tftp", "image", "name"};

}  // namespace

std::string ApplyReportJson(const std::string& planPath, const std::vector<ReportRow>& rows) {
    JsonWriter json;
    json.BeginObject();
    json.Key("version");
    json.Number(1);
    json.Key("plan");
    json.String(planPath);
    json.Key("rows");
    json.BeginArray();
    for (const ReportRow& row : rows) {
        json.BeginObject();
        json.Key("line");
        json.Number(row.line);
        json.Key("mac");
        json.String(row.mac);
        json.Key("outcome");
        json.String(row.outcome);
        json.Key("detail");
        json.String(row.detail);
        json.Key("fields");
        json.BeginObject();
        for (const FieldChange& change : row.changes) {
            if (change.key != "password") {
                json.Key(change.key);
                json.BeginObject();
                json.Key("old");
                json.String(change.before);
                json.Key("new");
                json.String(change.after);
                json.EndObject();
            }
        }
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.text() + "\n";
}

std::string ApplyReportCsv(const std::vector<ReportRow>& rows) {
    std::vector<std::string> header = {"line", "mac", "outcome", "detail"};
    for (const std::string& field : kReportFields) {
        header.push_back(field + "_old");
        header.push_back(field + "_new");
    }
    std::string csv = CsvLine(header);
    for (const ReportRow& row : rows) {
        std::vector<std::string> cells = {std::to_string(row.line), row.mac, row.outcome,
                                          row.detail};
        for (const std::string& field : kReportFields) {
            std::string before, after;
            for (const FieldChange& change : row.changes) {
                if (change.key == field) {
                    before = change.before;
                    after = change.after;
                }
            }
            cells.push_back(before);
            cells.push_back(after);
        }
        csv += CsvLine(cells);
    }
    return csv;
}

}  // namespace netsonde::commission
