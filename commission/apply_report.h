// The report of a batch of changes, one row per device: the outcome and the old and new value
// of every field the request flagged, as CSV or JSON. The password never appears.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "commission/change_plan.h"

namespace netsonde::commission {

struct ReportRow {
    std::size_t line = 0;  // the row's line in the plan
    std::string mac;
    std::string outcome;
    std::string detail;
    std::vector<FieldChange> changes;  // old and new values
};

// line, mac, outcome, detail, then FIELD_old and FIELD_new for type, ip, mask, gateway, tftp,
// image and name.
std::string ApplyReportCsv(const std::vector<ReportRow>& rows);

// {"version": 1, "plan", "rows": [{"line", "mac", "outcome", "detail", "fields": {"ip":
// {"old", "new"}, ...}}]}, with a closing line break.
std::string ApplyReportJson(const std::string& planPath, const std::vector<ReportRow>& rows);

}  // namespace netsonde::commission
