// Tests of the driver itself against driver_fixture.exe: every action must reach the fixture
// through the system's notification path and every read must see what the fixture shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver_fixture_ids.h"
#include "tests/e2e/driver_win.h"
#include "tests/e2e/e2e_env_win.h"

namespace {

using namespace nsdriver;
namespace fx = nsdriver::fixture;

class DriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        process_ = Process::Start("\"" + e2e::ProgramDir() + "driver_fixture.exe\"");
        ASSERT_TRUE(process_.started());
        WindowQuery query;
        query.title = fx::kTitle;
        query.processId = process_.id();
        window_ = WaitTopWindow(query);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(Settle(window_));
    }

    std::string Events() { return WindowText(Control(window_, fx::kEvents)); }
    bool WaitEvents(const std::string& expected) {
        return WaitUntil([&] { return Events() == expected; }, 5000);
    }

    Process process_;
    HWND window_ = nullptr;
};

TEST_F(DriverTest, ReadsListRowsHeadingsAndSelection) {
    HWND list = Control(window_, fx::kList);
    const std::vector<std::vector<std::string>> expected = {
        {"beta", "10.0.0.9"}, {"alpha", "10.0.0.10"}, {"gamma", "10.0.0.1"}};
    EXPECT_EQ(ListRows(list), expected);
    EXPECT_EQ(ListColumnHeading(list, 0), "Name");
    EXPECT_EQ(ListColumnHeading(list, 1), "Address");
    EXPECT_EQ(ListSelectionMark(list), -1);
    EXPECT_TRUE(ListSelectedRows(list).empty());
    EXPECT_NE(ListExtendedStyle(list) & LVS_EX_FULLROWSELECT, 0u);

    ASSERT_TRUE(ClickListRow(list, 2));
    ASSERT_TRUE(Settle(window_));
    EXPECT_EQ(ListSelectedRows(list), std::vector<int>{2});
    EXPECT_EQ(ListSelectionMark(list), 2);
    EXPECT_EQ(FocusedWindow(window_), list);
}

TEST_F(DriverTest, HeadingClickAndRowDoubleClickArriveAsListNotifications) {
    HWND list = Control(window_, fx::kList);
    ASSERT_TRUE(ClickListHeading(list, 1));
    ASSERT_TRUE(WaitEvents("column 1;"));
    ASSERT_TRUE(DoubleClickListRow(list, 1));
    EXPECT_TRUE(WaitEvents("column 1;double 1;"));
}

TEST_F(DriverTest, ReadsAndSelectsComboItemsInInsertionOrder) {
    HWND combo = Control(window_, fx::kCombo);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"zeta", "alpha", "mid"}));
    EXPECT_EQ(ComboSelection(combo), 0);
    ASSERT_TRUE(ComboSelect(combo, 2));
    EXPECT_TRUE(WaitEvents("select 2;"));
    EXPECT_EQ(ComboSelection(combo), 2);
    EXPECT_FALSE(ComboSelect(combo, 3));
}

// Typing obeys the edit's text limit; setting the text does not.
TEST_F(DriverTest, TypingIsLimitedSettingIsNot) {
    HWND edit = Control(window_, fx::kEdit);
    struct Case {
        bool typed;
        std::string input;
        std::string shown;
    };
    const Case cases[] = {
        {true, "12345678", "12345"},
        {true, "ab", "ab"},
        {false, "12345678", "12345678"},
        {true, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        SetText(edit, "old");
        ASSERT_TRUE(c.typed ? TypeText(edit, c.input) : SetText(edit, c.input));
        EXPECT_EQ(WindowText(edit), c.shown);
    }
}

TEST_F(DriverTest, ClicksButtonsAndReadsStates) {
    HWND check = Control(window_, fx::kCheck);
    EXPECT_EQ(CheckState(check), BST_UNCHECKED);
    Click(check);
    ASSERT_TRUE(WaitEvents("check;"));
    EXPECT_EQ(CheckState(check), BST_CHECKED);
    EXPECT_TRUE(IsEnabled(check));
    EnableWindow(check, FALSE);
    EXPECT_FALSE(IsEnabled(check));
}

// A button that opens a modal message box must not block the driver; the box is read and its
// OK button ends the modal loop.
TEST_F(DriverTest, ReadsAndDismissesMessageBox) {
    Click(Control(window_, fx::kShowBox));
    const std::optional<MessageBoxInfo> box = WaitMessageBox(fx::kBoxTitle, process_.id());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, fx::kBoxText);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box->hasIcon);
    EXPECT_TRUE(PressMessageBoxButton(box->hwnd));
    EXPECT_TRUE(WaitEvents("box closed;"));
}

TEST_F(DriverTest, SizesWindowAndReadsSizeLimitsAndLayout) {
    ASSERT_TRUE(MoveWindowTo(window_, 30, 40, 600, 300));
    RECT rect = WindowRect(window_);
    EXPECT_EQ(rect.right - rect.left, 600);
    EXPECT_EQ(rect.bottom - rect.top, 300);
    const std::optional<MINMAXINFO> limits = QueryMinMaxInfo(window_);
    ASSERT_TRUE(limits.has_value());
    EXPECT_EQ(limits->ptMinTrackSize.x, fx::kMinTrackWidth);
    EXPECT_EQ(limits->ptMinTrackSize.y, fx::kMinTrackHeight);
    const RECT edit = RectInParent(Control(window_, fx::kEdit));
    EXPECT_EQ(edit.left, 320);
    EXPECT_EQ(edit.top, 40);
    EXPECT_EQ(edit.right - edit.left, 150);
}

// A window screenshot is a BMP of the window's size whose pixels are not all one colour.
TEST_F(DriverTest, SavesWindowScreenshotAsBmp) {
    const std::string path = e2e::ProgramDir() + "driver_screenshot.bmp";
    ASSERT_TRUE(SaveScreenshot(window_, path));
    const std::string bmp = e2e::ReadFileText(path);
    DeleteFileA(path.c_str());
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const RECT rect = WindowRect(window_);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    EXPECT_EQ(bmp.size(), 54 + stride * static_cast<size_t>(height));
    EXPECT_NE(bmp.find_first_not_of(bmp[54], 54), std::string::npos);
}

TEST_F(DriverTest, CollectsExitCode) {
    Click(Control(window_, fx::kQuit));
    EXPECT_EQ(process_.WaitExit(5000), std::optional<DWORD>(fx::kExitCode));
}

TEST_F(DriverTest, CloseBoxClosesWindow) {
    RequestClose(window_);
    EXPECT_EQ(process_.WaitExit(5000), std::optional<DWORD>(fx::kExitCode));
}

}  // namespace
