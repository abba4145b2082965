// Reads the workstation's interface table and IPv4 address table through IP Helper and turns
// them into the chooser's plain rows.
#pragma once

#include <vector>

#include "adapter/adapter_chooser.h"

namespace netsonde {

// Reads both tables, the interface table first. Answers false when either cannot be read; the
// system's buffers are released before it returns, whatever the outcome.
bool ReadAdapterTables(AdapterTables* tables);

}  // namespace netsonde
