// The batch's sending and verification; see batch_run.h.
#include "commission/batch_run.h"

#include "config/change_fields.h"
#include "protocol/text_forms.h"
#include "protocol/device_record.h"

namespace netsonde::commission {

std::string BatchResultText(const BatchResult& result) {
    switch (result.outcome) {
        case BatchOutcome::Accepted:
            return "Accepted";
        case BatchOutcome::Refused:
            return std::string("Refused: ") + ErrorMaskName(result.errorMask);
        case BatchOutcome::NoAnswer:
            return "No answer";
        case BatchOutcome::NotSent:
            return "Not sent";
        case BatchOutcome::Verified:
            return "Verified";
        case BatchOutcome::NotSeen:
            return "Not seen";
        case BatchOutcome::Waiting:
            break;
    }
    return std::string();
}

std::string BatchReportOutcome(const BatchResult& result) {
    switch (result.outcome) {
        case BatchOutcome::Accepted:
            return "accepted";
        case BatchOutcome::Refused:
            return "refused";
        case BatchOutcome::NoAnswer:
            return "no answer";
        case BatchOutcome::Verified:
            return "accepted, verified";
        case BatchOutcome::NotSeen:
            return "not verified";
        default:
            return "not sent";
    }
}

void RunBatch(const std::vector<BatchEntry>& entries, const BatchIo& io,
              const std::atomic<bool>& stop, const std::function<void(const BatchEvent&)>& report) {
    const auto tell = [&report](std::size_t entry, BatchOutcome outcome, const DeviceRecord& record,
                                std::uint16_t errorMask = 0) {
        BatchEvent event;
        event.kind = BatchEvent::Kind::Result;
        event.entry = entry;
        event.result = {outcome, errorMask};
        event.record = record;
        report(event);
    };

    std::vector<PendingCheck> checks;
    std::vector<std::size_t> checked;  // the entry of each check
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const BatchEntry& entry = entries[i];
        if (stop) {
            tell(i, BatchOutcome::NotSent, entry.stored);
            continue;
        }
        const ExchangeOutcome outcome = io.send(entry.request);
        switch (outcome.result) {
            case ExchangeResult::Accepted: {
                tell(i, BatchOutcome::Accepted, entry.request);
                PendingCheck check;
                check.mac = FormatMacText(entry.stored.mac());
                check.stored = entry.stored;
                check.request = entry.request;
                checks.push_back(check);
                checked.push_back(i);
                break;
            }
            case ExchangeResult::Rejected:
                tell(i, BatchOutcome::Refused, entry.stored, outcome.errorMask);
                break;
            case ExchangeResult::NoAnswer:
                tell(i, BatchOutcome::NoAnswer, entry.stored);
                break;
            default:
                tell(i, BatchOutcome::NotSent, entry.stored);
                break;
        }
    }

    if (!checks.empty() && !stop) {
        // Each rescan first tells how many were verified by the ones before it.
        const auto progress = [&] {
            BatchEvent event;
            event.kind = BatchEvent::Kind::Verifying;
            event.accepted = checks.size();
            for (const PendingCheck& check : checks) {
                event.verified += check.verified ? 1 : 0;
            }
            report(event);
        };
        const bool finished = VerifyChanges(
            [&](FoundDevices* heard) {
                progress();
                return !stop && io.rescan(heard) && !stop;
            },
            io.verifyTimeoutSeconds, &checks);
        progress();
        for (std::size_t c = 0; c < checks.size(); ++c) {
            if (checks[c].verified) {
                tell(checked[c], BatchOutcome::Verified, checks[c].seen);
            } else if (finished) {
                tell(checked[c], BatchOutcome::NotSeen, checks[c].request);
            }
        }
    }
    BatchEvent done;
    done.kind = BatchEvent::Kind::Done;
    report(done);
}

}  // namespace netsonde::commission
