// End-to-end cases of the Scan List window on a workstation with one lab interface: the first
// scan's rows and selection, sorting by a heading and the commands after it, resizing, the
// About box, closing, and a scan that finds nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;
using Rows = std::vector<std::vector<std::string>>;

// The rows of devices_basic.scn, in the order the replies arrive.
const Rows kArrivalRows = {
    {"02-00-5e-10-00-03", "lab-sw-9", "198.18.0.9", "1 d 10 h 17 m 36 s", "Edge switch v1.2"},
    {"02-00-5e-10-00-01", "lab-sw-10", "198.18.0.10", "1 d 0 h 0 m 0 s", "Core switch"},
    {"02-00-5e-10-00-02", "lab-ap", "198.18.0.20", "0 d 0 h 0 m 0 s", "Access point"},
};

class ScanListTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(app_.StartThroughChooser()); }
    AppSession app_;
};

TEST_F(ScanListTest, MainWindowShowsFiveHeadings) {
    EXPECT_FALSE(app_.HasWindow(e2e::kChooserTitle));
    EXPECT_TRUE(IsVisible(app_.main()));
    const char* headings[] = {"MAC Address", "System Name", "IP Address", "Uptime",
                              "System Description"};
    ASSERT_EQ(ListColumnCount(app_.List()), 5);
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(ListColumnHeading(app_.List(), column), headings[column]);
    }
}

TEST_F(ScanListTest, RowsStandInArrivalOrderWithTheirTexts) {
    EXPECT_EQ(app_.Rows(), kArrivalRows);
}

// After a scan with rows: row 0 selected and focused, full-row selection, the list has the
// focus and the row commands are enabled.
TEST_F(ScanListTest, ScanWithRowsSelectsRowZeroAndEnablesCommands) {
    HWND list = app_.List();
    EXPECT_EQ(ListSelectionMark(list), 0);
    EXPECT_EQ(ListSelectedRows(list), std::vector<int>{0});
    EXPECT_EQ(ListItemState(list, 0, LVIS_FOCUSED), static_cast<UINT>(LVIS_FOCUSED));
    EXPECT_NE(ListExtendedStyle(list) & LVS_EX_FULLROWSELECT, 0u);
    EXPECT_EQ(FocusedWindow(app_.main()), list);
    EXPECT_TRUE(IsEnabled(app_.Item(IDC_SCAN_CHANGE)));
    EXPECT_TRUE(IsEnabled(app_.Item(IDC_SCAN_WEB_CONFIG)));
}

// Rescan, also by Enter in the list, lists the devices again in arrival order, even after a
// sort, without showing the chooser; each scan sends three more requests.
TEST_F(ScanListTest, RescanListsArrivalOrderAgain) {
    ASSERT_TRUE(ClickListHeading(app_.List(), 2));
    ASSERT_TRUE(Settle(app_.main()));
    ASSERT_NE(app_.Rows(), kArrivalRows);

    ASSERT_TRUE(app_.ClickAndWaitScan(IDC_SCAN_RESCAN));
    EXPECT_EQ(app_.Rows(), kArrivalRows);
    EXPECT_EQ(app_.Requests().size(), 6u);

    PressKey(app_.List(), VK_RETURN);
    ASSERT_TRUE(Settle(app_.main(), e2e::kScanTimeoutMs));
    EXPECT_EQ(app_.Rows(), kArrivalRows);
    EXPECT_EQ(app_.Requests().size(), 9u);
    EXPECT_FALSE(app_.HasWindow(e2e::kChooserTitle));
}

// The IP Address heading sorts as text (198.18.0.10 before 198.18.0.9); a second click changes
// nothing; Web Config then starts the browser with the clicked row's bare address.
TEST_F(ScanListTest, SortByAddressThenWebConfigOpensTheClickedRow) {
    HWND list = app_.List();
    ASSERT_TRUE(ClickListHeading(list, 2));
    ASSERT_TRUE(Settle(app_.main()));
    const std::vector<std::string> sorted = {"198.18.0.10", "198.18.0.20", "198.18.0.9"};
    EXPECT_EQ(app_.Column(2), sorted);
    EXPECT_EQ(app_.Column(0), (std::vector<std::string>{"02-00-5e-10-00-01", "02-00-5e-10-00-02",
                                                        "02-00-5e-10-00-03"}))
        << "rows move whole";
    ASSERT_TRUE(ClickListHeading(list, 2));
    ASSERT_TRUE(Settle(app_.main()));
    EXPECT_EQ(app_.Column(2), sorted);

    ASSERT_TRUE(ClickListRow(list, 2));
    ASSERT_TRUE(Settle(app_.main()));
    ASSERT_EQ(ListSelectionMark(list), 2);
    Click(app_.Item(IDC_SCAN_WEB_CONFIG));
    ASSERT_TRUE(WaitUntil([] { return !e2e::BrowserStarts().empty(); }, 5000));
    EXPECT_EQ(e2e::BrowserStarts(), std::vector<std::string>{"198.18.0.9"});
}

// After a sort, Change opens the dialog for the device shown in the clicked row.
TEST_F(ScanListTest, SortThenChangeOpensTheClickedRowsDevice) {
    HWND list = app_.List();
    ASSERT_TRUE(ClickListHeading(list, 1));  // lab-ap, lab-sw-10, lab-sw-9
    ASSERT_TRUE(Settle(app_.main()));
    ASSERT_EQ(app_.Column(1), (std::vector<std::string>{"lab-ap", "lab-sw-10", "lab-sw-9"}));
    ASSERT_TRUE(ClickListRow(list, 1));
    ASSERT_TRUE(Settle(app_.main()));

    Click(app_.Item(IDC_SCAN_CHANGE));
    HWND change = app_.WaitWindow(e2e::kChangeTitle, 5000);
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(WindowText(Control(change, IDC_CHANGE_MAC_ADDRESS)), "02-00-5e-10-00-01");
    EXPECT_EQ(WindowText(Control(change, IDC_CHANGE_SYSTEM_NAME)), "lab-sw-10");
    Click(Control(change, IDCANCEL));
    EXPECT_TRUE(WaitNoTopWindow({e2e::kChangeTitle, "", app_.processId()}));

    // A double-click on a row opens the same dialog for that row.
    ASSERT_TRUE(DoubleClickListRow(list, 2));
    change = app_.WaitWindow(e2e::kChangeTitle, 5000);
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(WindowText(Control(change, IDC_CHANGE_MAC_ADDRESS)), "02-00-5e-10-00-03");
    Click(Control(change, IDCANCEL));
    EXPECT_TRUE(WaitNoTopWindow({e2e::kChangeTitle, "", app_.processId()}));
}

// A double-click on the empty part of a filled list acts on the selected row.
TEST_F(ScanListTest, DoubleClickBelowTheRowsOpensTheSelectedRowsDevice) {
    ASSERT_TRUE(ClickListRow(app_.List(), 1));
    ASSERT_TRUE(Settle(app_.main()));
    const RECT list = ClientRect(app_.List());
    DoubleClickAt(app_.List(), POINT{list.right / 2, list.bottom - 8});
    HWND change = app_.WaitWindow(e2e::kChangeTitle, 5000);
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(WindowText(Control(change, IDC_CHANGE_MAC_ADDRESS)), kArrivalRows[1][0]);
    Click(Control(change, IDCANCEL));
    EXPECT_TRUE(WaitNoTopWindow({e2e::kChangeTitle, "", app_.processId()}));
}

// The right-hand buttons keep a 10-pixel right margin, Cancel and About a 12-pixel bottom
// margin, and the list follows both edges, at every size and maximised; the frame cannot be
// made smaller than 400 x 250.
TEST_F(ScanListTest, ResizingKeepsMarginsAndMinimumSize) {
    struct Size {
        int width, height;
        int expectedWidth, expectedHeight;
    };
    // The last row is the maximised window (its size is the screen's work area).
    const Size sizes[] = {
        {1100, 600, 1100, 600}, {640, 360, 640, 360}, {300, 200, 400, 250}, {0, 0, 0, 0}};
    const std::optional<MINMAXINFO> limits = QueryMinMaxInfo(app_.main());
    ASSERT_TRUE(limits.has_value());
    EXPECT_EQ(limits->ptMinTrackSize.x, 400);
    EXPECT_EQ(limits->ptMinTrackSize.y, 250);
    const RECT banner = RectInParent(GetDlgItem(app_.main(), IDC_STATIC_UNNUMBERED));
    const RECT aboutBefore = RectInParent(app_.Item(IDC_SCAN_ABOUT));
    const RECT rescanBefore = RectInParent(app_.Item(IDC_SCAN_RESCAN));
    for (const Size& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        if (size.width == 0) {
            PostMessageA(app_.main(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            ASSERT_TRUE(Settle(app_.main()));
            EXPECT_TRUE(IsZoomed(app_.main()));
        } else {
            ASSERT_TRUE(MoveWindowTo(app_.main(), 10, 10, size.width, size.height));
            ASSERT_TRUE(Settle(app_.main()));
            const RECT frame = WindowRect(app_.main());
            EXPECT_EQ(frame.right - frame.left, size.expectedWidth);
            EXPECT_EQ(frame.bottom - frame.top, size.expectedHeight);
        }
        const RECT client = ClientRect(app_.main());
        const int cx = client.right, cy = client.bottom;
        for (const int id : {IDC_SCAN_RESCAN, IDC_SCAN_CHANGE, IDC_SCAN_WEB_CONFIG,
                             IDC_SCAN_SELECT_ADAPTER, IDCANCEL}) {
            SCOPED_TRACE(id);
            const RECT r = RectInParent(app_.Item(id));
            EXPECT_EQ(r.left, cx - 85);
            EXPECT_EQ(r.right, cx - 10);
        }
        const RECT rescan = RectInParent(app_.Item(IDC_SCAN_RESCAN));
        EXPECT_EQ(rescan.top, rescanBefore.top);
        for (const int id : {IDCANCEL, IDC_SCAN_ABOUT}) {
            SCOPED_TRACE(id);
            const RECT r = RectInParent(app_.Item(id));
            EXPECT_EQ(r.top, cy - 35);
            EXPECT_EQ(r.bottom, cy - 12);
        }
        const RECT about = RectInParent(app_.Item(IDC_SCAN_ABOUT));
        EXPECT_EQ(about.left, aboutBefore.left);
        const RECT list = RectInParent(app_.List());
        EXPECT_EQ(list.right, cx - 113);
        EXPECT_EQ(list.bottom, cy - 76);
        const RECT bannerNow = RectInParent(GetDlgItem(app_.main(), IDC_STATIC_UNNUMBERED));
        EXPECT_EQ(bannerNow.left, banner.left);
        EXPECT_EQ(bannerNow.top, banner.top);
    }
}

// About opens its dialog modally; OK, Esc and the close box close it; the main window is then
// enabled again with its rows unchanged.
TEST_F(ScanListTest, AboutOpensAndCloses) {
    enum class Way { OkButton, Escape, CloseBox };
    for (const Way way : {Way::OkButton, Way::Escape, Way::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(way));
        Click(app_.Item(IDC_SCAN_ABOUT));
        HWND about = app_.WaitWindow(e2e::kAboutTitle, 5000);
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(IsEnabled(app_.main()));
        switch (way) {
            case Way::OkButton:
                Click(Control(about, IDOK));
                break;
            case Way::Escape:
                PressKey(FocusedWindow(about), VK_ESCAPE);
                break;
            case Way::CloseBox:
                RequestClose(about);
                break;
        }
        ASSERT_TRUE(WaitNoTopWindow({e2e::kAboutTitle, "", app_.processId()}, 5000));
        ASSERT_TRUE(Settle(app_.main()));
        EXPECT_TRUE(IsEnabled(app_.main()));
        EXPECT_EQ(app_.Rows(), kArrivalRows);
    }
    EXPECT_EQ(app_.Requests().size(), 3u) << "About does not scan";
}

// Cancel, Esc and the close box all end the program.
TEST_F(ScanListTest, ClosingTheMainWindowEndsTheProgram) {
    enum class Way { CancelButton, Escape, CloseBox };
    for (const Way way : {Way::CancelButton, Way::Escape, Way::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(way));
        if (!app_.process().Running()) {
            ASSERT_TRUE(app_.StartThroughChooser());
        }
        switch (way) {
            case Way::CancelButton:
                Click(app_.Item(IDCANCEL));
                break;
            case Way::Escape:
                PressKey(app_.List(), VK_ESCAPE);
                break;
            case Way::CloseBox:
                RequestClose(app_.main());
                break;
        }
        EXPECT_TRUE(app_.process().WaitExit(5000).has_value());
    }
}

// A scan that finds nothing: an empty list, no selection, both row commands disabled, and a
// double-click on the empty list opens nothing.
class EmptyScanTest : public ScanListTest {};

TEST_F(EmptyScanTest, LeavesRowCommandsDisabled) {
    EXPECT_EQ(ListItemCount(app_.List()), 0);
    EXPECT_EQ(ListSelectedRows(app_.List()), std::vector<int>{});
    EXPECT_FALSE(IsEnabled(app_.Item(IDC_SCAN_CHANGE)));
    EXPECT_FALSE(IsEnabled(app_.Item(IDC_SCAN_WEB_CONFIG)));
    EXPECT_TRUE(IsEnabled(app_.Item(IDC_SCAN_RESCAN)));
    EXPECT_TRUE(IsEnabled(app_.Item(IDC_SCAN_SELECT_ADAPTER)));
    EXPECT_EQ(app_.Requests().size(), 3u);

    DoubleClickAt(app_.List(), POINT{40, 40});
    ASSERT_TRUE(Settle(app_.main()));
    EXPECT_EQ(app_.WaitWindow(e2e::kChangeTitle, 1000), nullptr);
    EXPECT_TRUE(IsEnabled(app_.main()));
}

}  // namespace
