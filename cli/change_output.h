// How the set and apply commands show a set exchange: its outcome as a line and an exit status,
// and a change as old → new lines.
#pragma once

#include <string>
#include <vector>

#include "commission/change_plan.h"
#include "commission/field_verdicts.h"
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

// What a request will carry, before it is sent: the ChangeLines of its flagged fields and its
// name, and kPasswordNotFlagged when a password was given that goes out unflagged.
std::string PlannedLines(const DeviceRecord& stored, const DeviceRecord& request,
                         const commission::ChangeOptions& asked, const char* indent);

// After verification, one line per field with its verdict: "ip: a → b: verified", "name: a → b:
// not verifiable, sent unflagged (the device shows a)", "mask: a → b: not seen (the device
// shows a)", "password: (set; never shown): not verifiable, never reported back".
std::string VerdictLines(const std::vector<commission::FieldVerdict>& verdicts, const char* indent);

}  // namespace netsonde::cli
