// A commissioning plan: a CSV file with a mac column and any of type, ip, mask, gateway, tftp,
// image, password and name, one device a row; an empty cell leaves that option out. Everything
// that can be checked on the file alone is checked here, before anything is on the wire.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "commission/change_plan.h"

namespace netsonde::commission {

extern const std::vector<std::string> kPlanColumns;

struct PlanRow {
    std::size_t line = 0;  // in the file; the header is line 1
    std::string mac;       // FormatMacText form
    ChangeOptions options;
};

struct Plan {
    std::vector<PlanRow> rows;
    // "plan.csv:12: ..." each, with the path as given: unknown or repeated columns, no mac
    // column, rows of the wrong width, bad MACs, types and addresses (the Change dialog's
    // messages), texts too long for their field, duplicate MACs, one IP given on two rows.
    std::vector<std::string> errors;
};

Plan ReadPlan(const std::string& path, const std::string& text);

// The Change dialog's message for an address given for a column (ip, mask, gateway or tftp),
// with the text in quotes; empty when the dialog accepts it.
std::string PlanAddressMessage(const std::string& column, const std::string& text);

// The plan ReadPlan reads back as these rows (lines aside): a mac column, then each column some
// row has a value for, in kPlanColumns order, and never a password column. Texts are taken as
// CheckOptionTexts leaves them (Latin-1 bytes) and written as UTF-8.
std::string WritePlan(const std::vector<PlanRow>& rows);

}  // namespace netsonde::commission
