// The simulator's event loop: receives and logs every datagram, asks the fleet for its answers,
// holds each answer until its delay has passed and sends it, paced at the link rate if one is set.
#pragma once

#include <csignal>
#include <cstdint>

#include "tools/devsim/datagram_log.h"
#include "tools/devsim/fleet.h"
#include "tools/devsim/udp_endpoint.h"

namespace devsim {

struct RunnerCounts {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    std::uint64_t sendFailures = 0;
    std::uint64_t receiveFailures = 0;
};

// Runs until *stop becomes non-zero. Termination signals must be blocked by the caller: the loop
// unblocks them only while it waits, so a signal never goes unnoticed between a check and a wait.
RunnerCounts RunSimulator(UdpEndpoint& endpoint, DeviceFleet& fleet,
                          std::uint64_t paceBitsPerSecond, DatagramLog& log, bool logSent,
                          const volatile std::sig_atomic_t* stop);

}  // namespace devsim
