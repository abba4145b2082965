// The broadcast exchange: one routine, written once over the thin socket layer, that sends a
// record to the segment three times and collects what comes back. The two modes differ only in
// what they do with a 612-byte datagram, whether a reply ends the attempts, and the text of the
// socket error message.
#include "protocol/broadcast_exchange.h"

#include <utility>
#include <vector>

#include "protocol/platform_socket.h"
#include "protocol/record_receive.h"

namespace netsonde {
namespace {

enum class Verdict {
    KeepReading,  // the window goes on
    EndExchange,  // close the socket at once and return the mode's outcome
};

// What a mode does with each whole datagram and how its exchange ends.
class ExchangeMode {
  public:
    virtual ~ExchangeMode() = default;
    virtual const char* SocketErrorMessage() const = 0;
    virtual Verdict OnDatagram(const DeviceRecord& datagram) = 0;
    // How many queued datagrams may be read before they are handed over.
    virtual std::size_t BatchSize() const = 0;
    // Asked after each window: true when no further attempt should be made.
    virtual bool Finished() const = 0;
    virtual ExchangeOutcome Outcome() const = 0;
};

class DiscoveryMode : public ExchangeMode {
  public:
    explicit DiscoveryMode(const ReplyHandler& onReply) : onReply_(onReply) {}
    const char* SocketErrorMessage() const override { return kDiscoverySocketError; }
    Verdict OnDatagram(const DeviceRecord& datagram) override {
        if (onReply_) {
            onReply_(datagram);
        }
        return Verdict::KeepReading;
    }
    // About 150 KiB of records: enough to empty a busy queue between two rounds of row work.
    std::size_t BatchSize() const override { return 256; }
    bool Finished() const override { return false; }
    ExchangeOutcome Outcome() const override { return {ExchangeResult::Completed, 0}; }

  private:
    const ReplyHandler& onReply_;
};

class SetMode : public ExchangeMode {
  public:
    SetMode(const DeviceRecord& request, DeviceRecord* workingCopy)
        : request_(request), workingCopy_(workingCopy) {}
    const char* SocketErrorMessage() const override { return kSetSocketError; }
    Verdict OnDatagram(const DeviceRecord& datagram) override {
        const SetReplyCheck check = CheckSetReply(datagram);
        if (!check.accepted) {
            // A refusal ends everything, even after an earlier acceptance in this window.
            rejected_ = true;
            errorMask_ = check.errorMask;
            return Verdict::EndExchange;
        }
        // The device's reply is not kept: the request as sent becomes the device's copy.
        if (workingCopy_ != nullptr) {
            *workingCopy_ = request_;
        }
        accepted_ = true;
        return Verdict::KeepReading;
    }
    // One at a time: a refusal ends the exchange before anything further is read.
    std::size_t BatchSize() const override { return 1; }
    bool Finished() const override { return accepted_ || rejected_; }
    ExchangeOutcome Outcome() const override {
        if (rejected_) {
            return {ExchangeResult::Rejected, errorMask_};
        }
        return {accepted_ ? ExchangeResult::Accepted : ExchangeResult::NoAnswer, 0};
    }

  private:
    const DeviceRecord& request_;
    DeviceRecord* workingCopy_;
    bool accepted_ = false;
    bool rejected_ = false;
    std::uint16_t errorMask_ = 0;
};

// Datagrams read from the socket but not yet handed to the mode, in arrival order.
using PendingDatagrams = std::vector<DeviceRecord>;

// Hands the pending datagrams to the mode in order and empties the list. Returns EndExchange as
// soon as the mode ends the exchange; the rest are then dropped with the socket.
Verdict HandOver(PendingDatagrams& pending, ExchangeMode& mode) {
    for (const DeviceRecord& datagram : pending) {
        if (mode.OnDatagram(datagram) == Verdict::EndExchange) {
            pending.clear();
            return Verdict::EndExchange;
        }
    }
    pending.clear();
    return Verdict::KeepReading;
}

// Receives until the calendar second that opened the window changes. Returns EndExchange when
// the mode ends the exchange. *stopped is set by a receive error and stays set.
//
// Whatever is already queued is read before it is handed over (up to the mode's batch): under a
// flood of datagrams each receive call is the costly part, and per-datagram work in between
// (a list row per new device) would let the socket's queue overflow and drop replies. The order
// of hand-over, the windows and what is handed over stay as if each datagram went on at once.
Verdict RunReceiveWindow(DatagramSocket& socket, ExchangeClock& clock, ExchangeMode& mode,
                         const ErrorNotifier& notify, PendingDatagrams& pending, bool* stopped) {
    const std::time_t opened = clock.Now();
    while (clock.Now() == opened && !*stopped) {
        DeviceRecord datagram;
        switch (ReceiveRecord(socket, &datagram)) {
            case Arrival::Nothing:
                if (HandOver(pending, mode) == Verdict::EndExchange) {
                    return Verdict::EndExchange;
                }
                // Sleep until something arrives or the second is over, instead of spinning.
                if (clock.Now() == opened) {
                    socket.WaitReadable(clock.MillisecondsToNextSecond());
                }
                break;
            case Arrival::Failed:
                // What arrived before the error is handed over before the error is shown.
                if (HandOver(pending, mode) == Verdict::EndExchange) {
                    return Verdict::EndExchange;
                }
                if (notify) {
                    notify(mode.SocketErrorMessage());
                }
                *stopped = true;
                break;
            case Arrival::Dropped:
                break;
            case Arrival::Record:
                pending.push_back(datagram);
                if (pending.size() >= mode.BatchSize() &&
                    HandOver(pending, mode) == Verdict::EndExchange) {
                    return Verdict::EndExchange;
                }
                break;
        }
    }
    return HandOver(pending, mode);
}

ExchangeOutcome RunExchange(const DeviceRecord& request, const std::string& localAddress,
                            ExchangeMode& mode, const ExchangeIo& io) {
    if (!io.openSocket || io.clock == nullptr) {
        return {};
    }
    std::unique_ptr<DatagramSocket> socket = io.openSocket();
    if (!socket) {
        return {};
    }
    if (!socket->Open() || !socket->Bind(localAddress)) {
        socket->Close();
        return {};
    }
    socket->SetOptions();

    bool stopped = false;
    PendingDatagrams pending;
    pending.reserve(mode.BatchSize());
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        socket->SendBroadcast(request.data(), request.size());
        if (RunReceiveWindow(*socket, *io.clock, mode, io.notify, pending, &stopped) ==
            Verdict::EndExchange) {
            break;
        }
        if (mode.Finished()) {
            break;
        }
    }
    socket->Close();
    return mode.Outcome();
}

}  // namespace

ExchangeIo PlatformExchangeIo(ErrorNotifier notify) {
    ExchangeIo io;
    io.openSocket = MakePlatformSocket;
    io.clock = &PlatformClock();
    io.notify = std::move(notify);
    return io;
}

ExchangeOutcome BroadcastExchange(const DeviceRecord& request, const std::string& localAddress,
                                  const ReplyHandler& onReply, const ExchangeIo& io) {
    DiscoveryMode mode(onReply);
    return RunExchange(request, localAddress, mode, io);
}

ExchangeOutcome BroadcastExchange(const DeviceRecord& request, const std::string& localAddress,
                                  DeviceRecord* workingCopy, const ExchangeIo& io) {
    SetMode mode(request, workingCopy);
    return RunExchange(request, localAddress, mode, io);
}

}  // namespace netsonde
