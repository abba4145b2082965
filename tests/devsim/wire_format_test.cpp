// The simulator's log line format and the link-rate arithmetic behind its pacing.
#include <gtest/gtest.h>

#include "tools/devsim/datagram_log.h"
#include "tools/devsim/link_pacer.h"

namespace devsim {
namespace {

TEST(WireFormatTest, LogLineHoldsTimeSenderLengthAndHex) {
    const std::uint8_t bytes[] = {0xAB, 0x01, 0x00, 0xFF};
    // 2026-12-08T14:50:01.007Z
    const std::int64_t when = 1796741401007;
    EXPECT_EQ(FormatLogLine(when, "198.18.0.1:40000", bytes, 4),
              "2026-12-08T14:50:01.007Z 198.18.0.1:40000 4 ab0100ff");
    EXPECT_EQ(FormatLogLine(when, "198.18.0.1:40000", bytes, 0),
              "2026-12-08T14:50:01.007Z 198.18.0.1:40000 0 -");
}

TEST(WireFormatTest, WireTimeCountsFramingAndMinimumFrame) {
    EXPECT_EQ(WireBytes(612), 612u + 28 + 38);
    EXPECT_EQ(WireBytes(0), 46u + 38);  // padded to the minimum frame
    EXPECT_EQ(WireNanoseconds(612, 1000000000), 5424u);
    EXPECT_EQ(WireNanoseconds(612, 100000000), 54240u);
    EXPECT_EQ(WireNanoseconds(612, 0), 0u);
}

TEST(WireFormatTest, PacerSpacesBackToBackDatagrams) {
    using Clock = LinkPacer::Clock;
    const Clock::time_point start = Clock::now();
    LinkPacer paced(1000000000);
    paced.Started(start, 612);
    EXPECT_EQ(paced.NextStart(start), start + std::chrono::nanoseconds(5424));
    paced.Started(paced.NextStart(start), 612);
    EXPECT_EQ(paced.NextStart(start), start + std::chrono::nanoseconds(2 * 5424));
    // An idle link lets the next datagram go at once.
    const Clock::time_point later = start + std::chrono::seconds(1);
    EXPECT_EQ(paced.NextStart(later), later);

    // A sender a little behind catches up; one far behind finds the link idle.
    LinkPacer late(1000000000);
    late.Started(start, 612);
    late.Started(start + std::chrono::microseconds(100), 612);
    EXPECT_EQ(late.NextStart(start), start + std::chrono::nanoseconds(2 * 5424));
    late.Started(later, 612);
    EXPECT_EQ(late.NextStart(later), later + std::chrono::nanoseconds(5424));

    LinkPacer unpaced(0);
    unpaced.Started(start, 612);
    EXPECT_EQ(unpaced.NextStart(start), start);
}

}  // namespace
}  // namespace devsim
