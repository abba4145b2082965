// Set requests and their verification; see device_change.h.
#include "commission/device_change.h"

#include <chrono>

namespace netsonde::commission {

ExchangeOutcome SendSetRequest(const DeviceRecord& request, const std::string& localAddress,
                               std::string* socketError) {
    DeviceRecord workingCopy = request;
    return BroadcastExchange(
        request, localAddress, &workingCopy,
        PlatformExchangeIo([socketError](const char* message) { *socketError = message; }));
}

bool VerifyChanges(const Rescan& rescan, int timeoutSeconds, std::vector<PendingCheck>* checks) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        FoundDevices heard;
        if (!rescan(&heard)) {
            return false;
        }
        bool all = true;
        for (PendingCheck& check : *checks) {
            if (check.verified) {
                continue;
            }
            if (const FoundDevice* found = heard.Find(check.mac)) {
                check.heard = true;
                check.seen = found->record;
                check.pending = UnverifiedFields(check.request, found->record);
                check.verified = check.pending.empty();
            }
            all = all && check.verified;
        }
        if (all || std::chrono::steady_clock::now() >= deadline) {
            return true;
        }
    }
}

std::vector<FieldChange> SeenChanges(const PendingCheck& check) {
    std::vector<FieldChange> changes = RequestedChanges(check.stored, check.request);
    for (FieldChange& change : changes) {
        if (change.key != "password") {
            change.after = FieldText(check.seen, change.key);
        }
    }
    return changes;
}

}  // namespace netsonde::commission
