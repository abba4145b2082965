// Sending set requests and confirming them by rescanning, shared by the set and apply commands.
#pragma once

#include <string>
#include <vector>

#include "cli/change_plan.h"
#include "cli/local_adapters.h"
#include "protocol/broadcast_exchange.h"

namespace netsonde::cli {

// The set exchange from one local address; prints nothing. Socket errors are kept in *error.
ExchangeOutcome SendSetRequest(const DeviceRecord& request, const std::string& localAddress,
                               std::string* socketError);

// One line per outcome, as both commands print it.
std::string OutcomeText(const ExchangeOutcome& outcome);

// Exit status of a set exchange's outcome.
int OutcomeStatus(const ExchangeOutcome& outcome);

// A request waiting to be seen applied.
struct PendingCheck {
    std::string mac;
    DeviceRecord stored;   // before the change
    DeviceRecord request;  // as sent
    bool verified = false;
    DeviceRecord seen;                 // the last reply heard, once heard
    std::vector<std::string> pending;  // flagged fields not yet as requested
    bool heard = false;
};

// Rescans the adapters until every check is verified or timeoutSeconds have passed since the
// call (at least one rescan). Returns false when Ctrl+C ended it.
bool VerifyChanges(const std::vector<LocalAdapter>& adapters, int timeoutSeconds,
                   std::vector<PendingCheck>* checks);

// The requested changes with the values the device now shows as their new side.
std::vector<FieldChange> SeenChanges(const PendingCheck& check);

// "  ip: 198.18.0.10 → 198.18.0.20" lines of a change, for a terminal: control characters in
// a value as \xHH.
std::string ChangeLines(const std::vector<FieldChange>& changes, const char* indent);

}  // namespace netsonde::cli
