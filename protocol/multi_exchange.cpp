// The discovery exchange over several sockets at once; see multi_exchange.h.
#include "protocol/multi_exchange.h"

#include <algorithm>
#include <memory>

#include "protocol/record_receive.h"

namespace netsonde {
namespace {

// Datagrams read from one socket before the next one gets its turn, so a burst on one adapter
// does not starve the others' receive queues.
constexpr int kBurstPerTurn = 64;
// With several sockets the wait for data can watch only one of them at a time: short slices
// keep every queue drained while a window lasts.
constexpr int kWaitSliceMilliseconds = 5;

struct Participant {
    std::size_t adapter = 0;
    std::unique_ptr<DatagramSocket> socket;
    bool stopped = false;
};

// Reads what is queued on one socket, up to kBurstPerTurn datagrams. Returns how many reads
// gave something (datagram or error).
int DrainTurn(Participant& participant, const MultiReplyHandler& onReply,
              MultiExchangeOutcome* outcome) {
    int read = 0;
    while (read < kBurstPerTurn && !participant.stopped) {
        DeviceRecord datagram;
        const Arrival arrival = ReceiveRecord(*participant.socket, &datagram);
        if (arrival == Arrival::Nothing) {
            break;
        }
        ++read;
        if (arrival == Arrival::Failed) {
            participant.stopped = true;
            outcome->receiveError[participant.adapter] = kDiscoverySocketError;
            break;
        }
        if (arrival == Arrival::Record && onReply) {
            onReply(participant.adapter, datagram);
        }
    }
    return read;
}

}  // namespace

MultiExchangeOutcome MultiBroadcastExchange(const DeviceRecord& request,
                                            const std::vector<std::string>& localAddresses,
                                            const MultiReplyHandler& onReply, const ExchangeIo& io,
                                            const std::function<bool()>& cancelled) {
    MultiExchangeOutcome outcome;
    outcome.started.assign(localAddresses.size(), false);
    outcome.receiveError.assign(localAddresses.size(), nullptr);
    if (!io.openSocket || io.clock == nullptr) {
        return outcome;
    }
    std::vector<Participant> participants;
    for (std::size_t i = 0; i < localAddresses.size(); ++i) {
        Participant participant;
        participant.adapter = i;
        participant.socket = io.openSocket();
        if (!participant.socket) {
            continue;
        }
        if (!participant.socket->Open() || !participant.socket->Bind(localAddresses[i])) {
            participant.socket->Close();
            continue;
        }
        participant.socket->SetOptions();
        outcome.started[i] = true;
        participants.push_back(std::move(participant));
    }

    const auto isCancelled = [&] { return cancelled && cancelled(); };
    std::size_t waitTurn = 0;
    for (int attempt = 0; attempt < kExchangeAttempts && !participants.empty(); ++attempt) {
        for (Participant& participant : participants) {
            participant.socket->SendBroadcast(request.data(), request.size());
        }
        const std::time_t opened = io.clock->Now();
        while (io.clock->Now() == opened) {
            if (isCancelled()) {
                outcome.cancelled = true;
                break;
            }
            int read = 0;
            bool anyListening = false;
            for (Participant& participant : participants) {
                read += DrainTurn(participant, onReply, &outcome);
                anyListening = anyListening || !participant.stopped;
            }
            if (!anyListening) {
                break;  // receiving stopped everywhere: on to the next attempt, as one socket does
            }
            if (read > 0) {
                continue;
            }
            // Nothing queued anywhere: wait on one socket, in turn, for the rest of the second
            // (one socket) or a short slice (several).
            const int remaining = io.clock->MillisecondsToNextSecond();
            std::size_t turn = waitTurn++ % participants.size();
            while (participants[turn].stopped) {
                turn = (turn + 1) % participants.size();  // some socket still listens
            }
            Participant& waiter = participants[turn];
            waiter.socket->WaitReadable(
                participants.size() == 1 ? remaining : std::min(remaining, kWaitSliceMilliseconds));
        }
        if (outcome.cancelled) {
            break;
        }
    }
    for (Participant& participant : participants) {
        participant.socket->Close();
    }
    return outcome;
}

}  // namespace netsonde
