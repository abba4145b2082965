// End-to-end cases of what a scan takes from the wire: first replies only, both markers, full
// width texts; set acceptances, wrong markers, short, empty and oversized datagrams dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;
using Rows = std::vector<std::vector<std::string>>;

std::string Repeat(const std::string& text, size_t width) {
    std::string out;
    while (out.size() < width) {
        out += text;
    }
    return out.substr(0, width);
}

// replies_mixed.scn: each device answers all three requests; the stray datagrams come with
// every request.
TEST(RepliesTest, ScanKeepsFirstRepliesOnlyAndDropsWhatIsNotADiscoveryReply) {
    AppSession app;
    ASSERT_TRUE(app.StartThroughChooser());
    const Rows expected = {
        {"02-00-5e-20-00-01", "first-reply", "198.18.0.31", "0 d 0 h 0 m 1 s",
         "First of two devices with one MAC"},
        {"02-00-5e-20-00-02", "marked-ac", "198.18.0.33", "0 d 1 h 0 m 0 s", "Marker AC unit"},
        {"02-00-5e-20-00-03", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "198.18.0.34", "0 d 0 h 0 m 0 s",
         Repeat("0123456789abcdef", 256)},
    };
    EXPECT_EQ(app.Rows(), expected);
    EXPECT_FALSE(app.WaitMessageBox(500).has_value()) << "dropped datagrams show nothing";
    EXPECT_EQ(app.Requests().size(), 3u);
}

// long_reply.scn: a 613-byte datagram between two proper replies. Any host can send one, so it
// is dropped like a short one: both devices are listed and nothing is shown.
TEST(LongDatagramTest, OversizedDatagramIsDroppedAndLaterRepliesListed) {
    AppSession app;
    ASSERT_TRUE(app.StartThroughChooser());
    EXPECT_EQ(app.Column(1), (std::vector<std::string>{"before-long", "after-long"}));
    EXPECT_FALSE(app.WaitMessageBox(500).has_value());
    EXPECT_EQ(app.Requests().size(), 3u);
}

}  // namespace
