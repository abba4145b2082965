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
