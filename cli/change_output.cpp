// The set exchange's outcome and a change as the commands print them; see change_output.h.
#include "cli/change_output.h"

#include "cli/exit_status.h"
#include "config/change_fields.h"
#include "protocol/text_escapes.h"

namespace netsonde::cli {

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
            return "refused, ErrorMask " + commission::MaskText(outcome.errorMask) + " (" +
                   message + ")";
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

namespace {

// "a → b", each value escaped for the terminal, an empty one as "".
std::string Arrow(const std::string& before, const std::string& after) {
    return (before.empty() ? "\"\"" : TerminalText(before)) + " \u2192 " +
           (after.empty() ? "\"\"" : TerminalText(after));
}

constexpr const char* kPasswordShown = "(set; never shown)";

}  // namespace

std::string ChangeLines(const std::vector<FieldChange>& changes, const char* indent) {
    std::string lines;
    for (const FieldChange& change : changes) {
        lines += indent + change.key + ": " +
                 (change.key == "password" ? kPasswordShown : Arrow(change.before, change.after)) +
                 "\n";
    }
    return lines;
}

std::string PlannedLines(const DeviceRecord& stored, const DeviceRecord& request,
                         const commission::ChangeOptions& asked, const char* indent) {
    std::string lines = ChangeLines(commission::RequestedChanges(stored, request), indent);
    if (asked.password && (request.fieldMask() & mask::kPassword) == 0) {
        lines += std::string(indent) + commission::kPasswordNotFlagged + "\n";
    }
    return lines;
}

std::string VerdictLines(const std::vector<commission::FieldVerdict>& verdicts,
                         const char* indent) {
    using commission::Verdict;
    std::string lines;
    for (const commission::FieldVerdict& v : verdicts) {
        lines += indent;
        if (v.verdict == Verdict::NotFlagged) {
            lines += std::string(commission::kPasswordNotFlagged) + "\n";
            continue;
        }
        if (v.key == "password") {
            lines += "password: " + std::string(kPasswordShown) +
                     ": not verifiable, never reported back\n";
            continue;
        }
        lines += v.key + ": " + Arrow(v.before, v.after) + ": " + VerdictText(v.verdict);
        if (v.key == "name") {
            lines += ", sent unflagged";
        }
        if (!v.heard) {
            lines += " (not heard again)";
        } else if (v.verdict != Verdict::Verified) {
            lines += " (the device shows " +
                     (v.seen.empty() ? std::string("\"\"") : TerminalText(v.seen)) + ")";
        }
        lines += "\n";
    }
    return lines;
}

}  // namespace netsonde::cli
