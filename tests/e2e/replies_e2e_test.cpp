// End-to-end cases of what a scan takes from the wire: first replies only, both markers, full
// width texts; set acceptances, wrong markers, short and empty datagrams dropped; an oversized
// datagram reported in the program's message box.
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

// long_reply.scn: a 613-byte datagram after one proper reply. The program says so in a box
// titled with its own name, with the exclamation icon and one OK button, and keeps the row it
// had.
TEST(SocketErrorTest, OversizedDatagramIsReportedAndEarlierRowsStay) {
    AppSession app;
    ASSERT_TRUE(app.Start());
    HWND chooser = app.WaitWindow(e2e::kChooserTitle);
    ASSERT_NE(chooser, nullptr);
    Click(Control(chooser, IDOK));
    const std::optional<MessageBoxInfo> box = app.WaitMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, e2e::kAppTitle);
    EXPECT_EQ(box->text, "Socket Connection Error");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box->hasIcon);
    ASSERT_TRUE(PressMessageBoxButton(box->hwnd));

    ASSERT_NE(app.WaitMainWindow(), nullptr);
    EXPECT_EQ(app.Column(1), std::vector<std::string>{"before-error"});
    EXPECT_TRUE(IsEnabled(app.Item(IDC_SCAN_CHANGE)));
    EXPECT_FALSE(app.WaitMessageBox(500).has_value()) << "one box per scan";
    // Receiving stops, but the remaining attempts still send.
    EXPECT_EQ(app.Requests().size(), 3u);
}

}  // namespace
