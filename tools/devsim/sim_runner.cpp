// The simulator's receive-schedule-send loop.
#include "tools/devsim/sim_runner.h"

#include <poll.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <map>
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

}  // namespace

RunnerCounts RunSimulator(UdpEndpoint& endpoint, DeviceFleet& fleet,
                          std::uint64_t paceBitsPerSecond, DatagramLog& log, bool logSent,
                          const volatile std::sig_atomic_t* stop) {
    RunnerCounts counts;
    SendQueue queue;
    std::uint64_t sequence = 0;
    LinkPacer pacer(paceBitsPerSecond);
    std::vector<std::uint8_t> datagram;
    while (*stop == 0) {
        WaitForWork(endpoint.fd(), queue);
        if (*stop != 0) {
            break;
        }
        // Take what has arrived, a bounded batch at a time so that due answers are not held up.
        Peer from;
        for (int batch = 0; batch < 256; ++batch) {
            const ReceiveOutcome outcome = endpoint.Receive(&datagram, &from);
            if (outcome != ReceiveOutcome::Datagram) {
                break;
            }
            ++counts.received;
            const Clock::time_point arrived = Clock::now();
            log.Received(PeerText(from), datagram.data(), datagram.size());
            for (Outgoing& outgoing : fleet.Answer(datagram.data(), datagram.size())) {
                const auto due = arrived + std::chrono::milliseconds(outgoing.delayMilliseconds);
                queue.emplace(std::make_pair(due, sequence++), Pending{std::move(outgoing), from});
            }
        }
        while (!queue.empty() && queue.begin()->first.first <= Clock::now()) {
            const Pending pending = std::move(queue.begin()->second);
            queue.erase(queue.begin());
            const std::vector<std::uint8_t>& bytes = pending.outgoing.bytes;
            const Clock::time_point start = pacer.NextStart(Clock::now());
            WaitUntil(start);
            pacer.Started(start, bytes.size());
            const bool broadcast = pending.outgoing.destination == ReplyTo::Broadcast;
            std::string error;
            if (endpoint.Send(bytes.data(), bytes.size(), pending.to, broadcast, &error)) {
                ++counts.sent;
            } else {
                if (counts.sendFailures++ == 0) {
                    std::fprintf(stderr, "devsim: a reply was lost: %s\n", error.c_str());
                }
            }
            if (logSent) {
                Peer to = pending.to;
                if (broadcast) {
                    to.address = 0xFFFFFFFFu;
                }
                log.Sent(PeerText(to), bytes.data(), bytes.size());
            }
        }
    }
    return counts;
}

}  // namespace devsim
