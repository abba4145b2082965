// Link-rate pacing arithmetic.
#include "tools/devsim/link_pacer.h"

#include <algorithm>

namespace devsim {

std::uint64_t WireBytes(std::size_t payloadSize) {
    constexpr std::uint64_t kIpUdpHeaders = 20 + 8;
    constexpr std::uint64_t kMinimumFramePayload = 46;
    constexpr std::uint64_t kEthernetFraming = 14 + 4 + 8 + 12;  // header, FCS, preamble, gap
    const std::uint64_t framePayload =
        std::max<std::uint64_t>(payloadSize + kIpUdpHeaders, kMinimumFramePayload);
    return framePayload + kEthernetFraming;
}

std::uint64_t WireNanoseconds(std::size_t payloadSize, std::uint64_t bitsPerSecond) {
    if (bitsPerSecond == 0) {
        return 0;
    }
    return (WireBytes(payloadSize) * 8 * 1000000000ull + bitsPerSecond - 1) / bitsPerSecond;
}

LinkPacer::Clock::time_point LinkPacer::NextStart(Clock::time_point now) const {
    return paced() ? std::max(now, busyUntil_) : now;
}

void LinkPacer::Started(Clock::time_point start, std::size_t payloadSize) {
    if (paced()) {
        const auto catchUp = std::chrono::milliseconds(2);
        const Clock::time_point base = start > busyUntil_ + catchUp ? start : busyUntil_;
        busyUntil_ = base + std::chrono::nanoseconds(WireNanoseconds(payloadSize, bitsPerSecond_));
    }
}

}  // namespace devsim
