// The scan command's table: the columns a person reads, aligned, with control characters shown
// as \xHH so that each device stays one line and never moves the terminal's cursor.
#pragma once

#include <string>
#include <vector>

#include "commission/scan_document.h"

namespace netsonde::cli {

// When a device is in a conflict, a first column "!" marks it. Shows the "change" and
// "changed_fields" columns when withChange is set.
std::string FormatTable(const std::vector<commission::DeviceEntry>& devices, bool withChange);

}  // namespace netsonde::cli
