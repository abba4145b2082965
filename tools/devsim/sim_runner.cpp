// The simulator's receive-schedule-send loop.
#include "tools/devsim/sim_runner.h"

#include <net/if.h>
#include <poll.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <utility>

#include "tools/devsim/link_pacer.h"

namespace devsim {
namespace {

using Clock = std::chrono::steady_clock;

struct Pending {
    Outgoing outgoing;
    Peer to;
};

// Due time, then arrival order: answers of equal due time leave in the order they were made.
using SendQueue = std::map<std::pair<Clock::time_point, std::uint64_t>, Pending>;

// Waits for a datagram or the next due time, with the termination signals let through.
void WaitForWork(int fd, const SendQueue& queue) {
    timespec timeout{};
    timespec* limit = nullptr;
    if (!queue.empty()) {
        const auto wait = queue.begin()->first.first - Clock::now();
        const auto nanoseconds = std::max<std::int64_t>(
            0, std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count());
        timeout.tv_sec = static_cast<time_t>(nanoseconds / 1000000000);
        timeout.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
        limit = &timeout;
    }
    sigset_t open;
    sigemptyset(&open);
    pollfd readable{fd, POLLIN, 0};
    ::ppoll(&readable, 1, limit, &open);
}

// Sleeps for longer waits and spins for the short gaps between paced datagrams, which a sleep
// would overshoot many times over.
void WaitUntil(Clock::time_point when) {
    const auto spinBelow = std::chrono::microseconds(200);
    for (auto now = Clock::now(); now < when; now = Clock::now()) {
        if (when - now > spinBelow) {
            std::this_thread::sleep_until(when - spinBelow);
        }
    }
}

// Sends every answer that is due, many per system call. Paced, each batch fills about 50 µs of
// the link and starts when the link is free; unpaced, batches are as large as the call takes.
void SendDue(UdpEndpoint& endpoint, SendQueue& queue, LinkPacer& pacer, DatagramLog& log,
             bool logSent, RunnerCounts* counts) {
    constexpr std::size_t kMaxBatch = 64;
    constexpr std::uint64_t kPacedBatchNanoseconds = 50000;
    std::vector<Pending> batch;
    std::vector<OutDatagram> datagrams;
    while (!queue.empty() && queue.begin()->first.first <= Clock::now()) {
        const Clock::time_point start = pacer.NextStart(Clock::now());
        WaitUntil(start);
        const Clock::time_point now = Clock::now();
        batch.clear();
        datagrams.clear();
        std::uint64_t span = 0;
        while (!queue.empty() && queue.begin()->first.first <= now && batch.size() < kMaxBatch &&
               (!pacer.paced() || span < kPacedBatchNanoseconds)) {
            batch.push_back(std::move(queue.begin()->second));
            queue.erase(queue.begin());
            span += pacer.WireNanosecondsOf(batch.back().outgoing.bytes.size());
        }
        for (const Pending& pending : batch) {
            pacer.Started(start, pending.outgoing.bytes.size());
            const std::vector<std::uint8_t>& bytes = pending.outgoing.bytes;
            datagrams.push_back(OutDatagram{bytes.data(), bytes.size(), pending.to,
                                            pending.outgoing.destination == ReplyTo::Broadcast});
        }
        std::string error;
        const std::size_t sent = endpoint.SendMany(datagrams.data(), datagrams.size(), &error);
        counts->sent += sent;
        if (sent < datagrams.size()) {
            if (counts->sendFailures == 0) {
                std::fprintf(stderr, "devsim: replies were lost: %s\n", error.c_str());
            }
            counts->sendFailures += datagrams.size() - sent;
        }
        for (std::size_t i = 0; logSent && i < datagrams.size(); ++i) {
            Peer to = datagrams[i].to;
            if (datagrams[i].broadcast) {
                to.address = 0xFFFFFFFFu;
            }
            log.Sent(PeerText(to), datagrams[i].data, datagrams[i].size);
        }
    }
}

// The name of the interface a datagram arrived on, for devices limited to some interfaces.
std::string InterfaceName(int index) {
    char name[IF_NAMESIZE] = {};
    if (index <= 0 || ::if_indextoname(static_cast<unsigned>(index), name) == nullptr) {
        return std::string();
    }
    return name;
}

}  // namespace

RunnerCounts RunSimulator(UdpEndpoint& endpoint, DeviceFleet& fleet,
                          std::uint64_t paceBitsPerSecond, DatagramLog& log, bool logSent,
                          const volatile std::sig_atomic_t* stop) {
    RunnerCounts counts;
    SendQueue queue;
    std::uint64_t sequence = 0;
    LinkPacer pacer(paceBitsPerSecond);
    ReceivedDatagram datagram;
    std::map<int, std::string> interfaceNames;
    while (*stop == 0) {
        WaitForWork(endpoint.fd(), queue);
        if (*stop != 0) {
            break;
        }
        // Take what has arrived, a bounded batch at a time so that due answers are not held up.
        for (int batch = 0; batch < 256; ++batch) {
            const ReceiveOutcome outcome = endpoint.Receive(&datagram);
            if (outcome == ReceiveOutcome::Failed && counts.receiveFailures++ == 0) {
                std::perror("devsim: receive");
            }
            if (outcome != ReceiveOutcome::Datagram) {
                break;
            }
            ++counts.received;
            const Clock::time_point arrived = Clock::now();
            log.Received(PeerText(datagram.from), datagram.data, datagram.size);
            auto name = interfaceNames.find(datagram.from.interfaceIndex);
            if (name == interfaceNames.end()) {
                name = interfaceNames
                           .emplace(datagram.from.interfaceIndex,
                                    InterfaceName(datagram.from.interfaceIndex))
                           .first;
            }
            for (Outgoing& outgoing : fleet.Answer(datagram.data, datagram.size, name->second)) {
                const auto due = arrived + std::chrono::milliseconds(outgoing.delayMilliseconds);
                queue.emplace(std::make_pair(due, sequence++),
                              Pending{std::move(outgoing), datagram.from});
            }
        }
        SendDue(endpoint, queue, pacer, log, logSent, &counts);
    }
    return counts;
}

}  // namespace devsim
