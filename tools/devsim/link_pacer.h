// Spacing of the simulator's replies as a link of a given rate would send them: each datagram
// occupies the wire for its Ethernet frame (headers, padding to the minimum frame, preamble and
// inter-frame gap included).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace devsim {

// Bytes one UDP datagram with this payload occupies on an Ethernet wire.
std::uint64_t WireBytes(std::size_t payloadSize);

// Nanoseconds the datagram occupies a link of this rate.
std::uint64_t WireNanoseconds(std::size_t payloadSize, std::uint64_t bitsPerSecond);

class LinkPacer {
  public:
    using Clock = std::chrono::steady_clock;

    explicit LinkPacer(std::uint64_t bitsPerSecond) : bitsPerSecond_(bitsPerSecond) {}

    bool paced() const { return bitsPerSecond_ != 0; }
    std::uint64_t WireNanosecondsOf(std::size_t payloadSize) const {
        return WireNanoseconds(payloadSize, bitsPerSecond_);
    }
    // The earliest time the next datagram may start; now when unpaced or the link is idle.
    Clock::time_point NextStart(Clock::time_point now) const;
    // Records that a datagram started at `start`. A sender that fell behind the link by up to
    // two milliseconds (a scheduling hiccup) catches up, keeping the average rate; a longer
    // gap counts as an idle link, so no burst follows it.
    void Started(Clock::time_point start, std::size_t payloadSize);

  private:
    std::uint64_t bitsPerSecond_;
    Clock::time_point busyUntil_{};
};

}  // namespace devsim
