// Set requests and their verification; see device_change.h.
#include "cli/device_change.h"

#include <chrono>

#include "cli/exit_status.h"
#include "cli/platform.h"
#include "cli/scan_run.h"
#include "config/change_fields.h"
#include "discovery/text_forms.h"
#include "protocol/text_escapes.h"

namespace netsonde::cli {

ExchangeOutcome SendSetRequest(const DeviceRecord& request, const std::string& localAddress,
                               std::string* socketError) {
    DeviceRecord workingCopy = request;
    return BroadcastExchange(
        request, localAddress, &workingCopy,
        PlatformExchangeIo([socketError](const char* message) { *socketError = message; }));
}

std::string OutcomeText(const ExchangeOutcome& outcome) {
    switch (outcome.result) {
        case ExchangeResult::Accepted:
            return "accepted";
        case ExchangeResult::Rejected: {
            std::string message = RefusalMessage(outcome.errorMask);
            const std::size_t lineBreak = message.find("\r\n");
            if (lineBreak != std::string::npos) {
                message.replace(lineBreak, 2, ": ");
            }
            return "refused, ErrorMask " + MaskText(outcome.errorMask) + " (" + message + ")";
        }
        case ExchangeResult::NoAnswer:
            return "no answer (" + std::to_string(kExchangeAttempts) + " requests sent)";
        case ExchangeResult::NotStarted:
        case ExchangeResult::Completed:
            break;
    }
    return "not sent: the socket could not be opened or bound";
}

int OutcomeStatus(const ExchangeOutcome& outcome) {
    switch (outcome.result) {
        case ExchangeResult::Accepted:
            return kExitDone;
        case ExchangeResult::Rejected:
            return kExitRefused;
        case ExchangeResult::NoAnswer:
            return kExitNoAnswer;
        default:
            return kExitSockets;
    }
}

bool VerifyChanges(const std::vector<LocalAdapter>& adapters, int timeoutSeconds,
                   std::vector<PendingCheck>* checks) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        const ScanRun run = ScanAdapters(adapters);
        if (run.cancelled || Interrupted()) {
            return false;
        }
        bool all = true;
        for (PendingCheck& check : *checks) {
            if (check.verified) {
                continue;
            }
            if (const FoundDevice* found = run.devices.Find(check.mac)) {
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

std::string ChangeLines(const std::vector<FieldChange>& changes, const char* indent) {
    std::string lines;
    for (const FieldChange& change : changes) {
        lines += indent + change.key + ": ";
        if (change.key == "password") {
            lines += "(set; never shown)\n";
        } else {
            lines += (change.before.empty() ? "\"\"" : TerminalText(change.before)) + " \u2192 " +
                     (change.after.empty() ? "\"\"" : TerminalText(change.after)) + "\n";
        }
    }
    return lines;
}

}  // namespace netsonde::cli
