// End-to-end cases of scans on a crowded segment: every scan, the rescans in the visible window
// included, lists every device that answers, up to the list's 1000 rows.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using e2e::AppSession;

// Rescans run with the window shown, where adding a row costs the most.
constexpr int kRescans = 2;

TEST(LargeFleetTest, EveryScanListsAllEightHundredDevices) {
    AppSession app;
    ASSERT_TRUE(app.StartThroughChooser());
    EXPECT_EQ(app.Rows().size(), 800u);
    for (int scan = 0; scan < kRescans; ++scan) {
        ASSERT_TRUE(app.ClickAndWaitScan(IDC_SCAN_RESCAN));
        const auto rows = app.Rows();
        ASSERT_EQ(rows.size(), 800u) << "rescan " << scan + 1;
        EXPECT_EQ(rows.front()[0], "02-00-5e-20-00-00");
        EXPECT_EQ(rows.back()[1], "unit-800");
    }
}

TEST(FleetLimitTest, ListStopsAtTheFirstThousandDevices) {
    AppSession app;
    ASSERT_TRUE(app.StartThroughChooser());
    for (int scan = 0; scan <= kRescans; ++scan) {
        if (scan > 0) {
            ASSERT_TRUE(app.ClickAndWaitScan(IDC_SCAN_RESCAN));
        }
        const auto rows = app.Rows();
        ASSERT_EQ(rows.size(), 1000u) << "scan " << scan + 1;
        // Replies arrive in the simulator's order, so the first thousand are listed.
        EXPECT_EQ(rows.back()[0], "02-00-5e-30-03-e7");
        EXPECT_EQ(rows.back()[1], "unit-1000");
    }
}

}  // namespace
