// Sending set requests and confirming them by rescanning, shared by every program that changes
// devices; nothing here prints.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "commission/change_plan.h"
#include "commission/found_devices.h"
#include "protocol/broadcast_exchange.h"

namespace netsonde::commission {

// The set exchange from one local address; prints nothing. Socket errors are kept in *error.
ExchangeOutcome SendSetRequest(const DeviceRecord& request, const std::string& localAddress,
                               std::string* socketError);

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

// One discovery exchange on the adapters the changes went out on, into *heard; false when the
// user ended it.
using Rescan = std::function<bool(FoundDevices* heard)>;

// Rescans until every check is verified or timeoutSeconds have passed since the call (at least
// one rescan). Returns false when a rescan was ended by the user.
bool VerifyChanges(const Rescan& rescan, int timeoutSeconds, std::vector<PendingCheck>* checks);

// The requested changes with the values the device now shows as their new side.
std::vector<FieldChange> SeenChanges(const PendingCheck& check);

}  // namespace netsonde::commission
