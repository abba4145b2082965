// Running a checked batch: one set request per device in list order, a stop between two devices,
// then one verification by rescanning. Everything it does is told through events, so it can run
// off the window's thread while the window shows the results as they come.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commission/batch_change.h"
#include "commission/device_change.h"
#include "protocol/broadcast_exchange.h"

namespace netsonde::commission {

enum class BatchOutcome { Waiting, Accepted, Refused, NoAnswer, NotSent, Verified, NotSeen };

struct BatchResult {
    BatchOutcome outcome = BatchOutcome::Waiting;
    std::uint16_t errorMask = 0;  // with Refused
};

// What the Result column shows: "Accepted", "Refused: subnet mask" (the field as the Change
// dialog names it), "No answer", "Not sent", "Verified", "Not seen"; empty while waiting.
std::string BatchResultText(const BatchResult& result);

// The outcome word of the report, as netsonde-cli apply writes it.
std::string BatchReportOutcome(const BatchResult& result);

struct BatchEvent {
    enum class Kind { Result, Verifying, Done };
    Kind kind = Kind::Done;
    std::size_t entry = 0;  // with Result: the entry it is about
    BatchResult result;
    DeviceRecord record;  // Accepted: the request as sent; Verified: the record heard
    std::size_t verified = 0, accepted = 0;  // with Verifying
};

struct BatchIo {
    std::function<ExchangeOutcome(const DeviceRecord& request)> send;
    Rescan rescan;
    int verifyTimeoutSeconds = 60;
};

// Sends the entries' requests one after another; once stop is set, the request in flight
// finishes and every later entry is Not sent. Then rescans until every accepted device shows
// its requested values (Verified) or the timeout has passed (Not seen); stop ends that too,
// leaving the unverified ones Accepted. Ends with a Done event.
void RunBatch(const std::vector<BatchEntry>& entries, const BatchIo& io,
              const std::atomic<bool>& stop, const std::function<void(const BatchEvent&)>& report);

}  // namespace netsonde::commission
