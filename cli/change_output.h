// How the set and apply commands show a set exchange: its outcome as a line and an exit status,
// and a change as old → new lines.
#pragma once

#include <string>
#include <vector>

#include "commission/change_plan.h"
#include "protocol/broadcast_exchange.h"

namespace netsonde::cli {

using commission::FieldChange;

// One line per outcome, as both commands print it.
std::string OutcomeText(const ExchangeOutcome& outcome);

// Exit status of a set exchange's outcome.
int OutcomeStatus(const ExchangeOutcome& outcome);

// "  ip: 198.18.0.10 → 198.18.0.20" lines of a change, for a terminal: control characters in
// a value as \xHH.
std::string ChangeLines(const std::vector<FieldChange>& changes, const char* indent);

}  // namespace netsonde::cli
