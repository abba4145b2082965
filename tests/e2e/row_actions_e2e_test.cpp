// End-to-end cases of the device list's quick row actions: the copy keys, the row menu by mouse
// and by keyboard, and a clipboard held by another program. The clipboard is read back here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;

// Rows 1 and 2 of devices_basic.scn as the list shows them (arrival order).
constexpr const char kRow1[] =
    "02-00-5e-10-00-01\tlab-sw-10\t198.18.0.10\t1 d 0 h 0 m 0 s\tCore switch";
constexpr const char kRow2[] =
    "02-00-5e-10-00-02\tlab-ap\t198.18.0.20\t0 d 0 h 0 m 0 s\tAccess point";
constexpr const char kHeadings[] =
    "MAC Address\tSystem Name\tIP Address\tUptime\tSystem Description";

class RowActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ClearClipboard());
        ASSERT_TRUE(app_.StartThroughChooser());
    }

    // What the clipboard holds as ANSI and as Unicode text; both must be there and agree.
    static std::string Clipboard() {
        const std::optional<std::string> ansi = ClipboardText(CF_TEXT);
        const std::optional<std::string> unicode = ClipboardText(CF_UNICODETEXT);
        EXPECT_EQ(ansi, unicode);
        return ansi.value_or("<nothing>");
    }

    bool MenuShown() { return !PopupMenus(app_.processId()).empty(); }

    AppSession app_;
};

// Ctrl+C copies the selected row (not row 0) as one tab-separated line; Ctrl+Shift+C puts the
// heading row above it.
TEST_F(RowActionsTest, CopyKeysCopyTheSelectedRow) {
    ASSERT_TRUE(ClickListRow(app_.List(), 2));
    ASSERT_TRUE(Settle(app_.main()));
    struct Case {
        std::initializer_list<WORD> keys;
        std::string text;
    };
    const Case cases[] = {
        {{VK_CONTROL, 'C'}, kRow2},
        {{VK_CONTROL, VK_SHIFT, 'C'}, std::string(kHeadings) + "\r\n" + kRow2},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ClearClipboard());
        ASSERT_TRUE(PressKeyChord(app_.main(), c.keys));
        ASSERT_TRUE(Settle(app_.main()));
        EXPECT_EQ(Clipboard(), c.text);
    }
}

// A right-click on a row that is not selected opens the menu for that row; each item, chosen
// by its access key, does what its button or copy does. With no row under the pointer (below
// the rows, on a heading) no menu opens.
TEST_F(RowActionsTest, RowMenuActsOnTheRowClicked) {
    HWND list = app_.List();
    struct Case {
        char key;
        const char* clipboard;  // for the copies
    };
    const Case copies[] = {{'m', "02-00-5e-10-00-01"}, {'i', "198.18.0.10"}, {'r', kRow1}};
    for (const Case& c : copies) {
        ASSERT_TRUE(ClearClipboard());
        ASSERT_TRUE(RightClickListRow(list, 1));
        ASSERT_TRUE(Settle(app_.main()));
        ASSERT_TRUE(MenuShown()) << c.key;
        PostChar(app_.main(), c.key);
        ASSERT_TRUE(Settle(app_.main()));
        EXPECT_FALSE(MenuShown());
        EXPECT_EQ(Clipboard(), c.clipboard) << c.key;
        EXPECT_EQ(ListSelectionMark(list), 1);
    }

    ASSERT_TRUE(RightClickListRow(list, 1));
    ASSERT_TRUE(Settle(app_.main()));
    PostChar(app_.main(), 'w');
    ASSERT_TRUE(WaitUntil([] { return !e2e::BrowserStarts().empty(); }, 5000));
    EXPECT_EQ(e2e::BrowserStarts(), std::vector<std::string>{"198.18.0.10"});

    ASSERT_TRUE(RightClickListRow(list, 1));
    ASSERT_TRUE(Settle(app_.main()));
    PostChar(app_.main(), 'c');
    HWND change = app_.WaitWindow(e2e::kChangeTitle, 5000);
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(WindowText(Control(change, IDC_CHANGE_MAC_ADDRESS)), "02-00-5e-10-00-01");
    Click(Control(change, IDCANCEL));
    ASSERT_TRUE(WaitNoTopWindow({e2e::kChangeTitle, "", app_.processId()}));

    const std::optional<RECT> lastRow = ListItemRect(list, 2);
    const std::optional<RECT> heading = HeaderItemRect(list, 1);
    ASSERT_TRUE(lastRow && heading);
    ASSERT_LT(lastRow->bottom + 10, ClientRect(list).bottom);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RightClickAt(list, POINT{lastRow->left + 20, lastRow->bottom + 10});
    ASSERT_TRUE(Settle(app_.main()));
    EXPECT_FALSE(MenuShown()) << "below the rows";
    RightClickAt(header, POINT{heading->left + 10, (heading->top + heading->bottom) / 2});
    ASSERT_TRUE(Settle(app_.main()));
    EXPECT_FALSE(MenuShown()) << "on a heading";
}

// Shift+F10 and the context-menu key open the menu for the selected row.
TEST_F(RowActionsTest, KeyboardOpensTheMenuForTheSelectedRow) {
    ASSERT_TRUE(ClickListRow(app_.List(), 2));
    ASSERT_TRUE(Settle(app_.main()));
    const std::initializer_list<WORD> chords[] = {{VK_SHIFT, VK_F10}, {VK_APPS}};
    for (const auto& keys : chords) {
        ASSERT_TRUE(ClearClipboard());
        ASSERT_TRUE(PressKeyChord(app_.main(), keys));
        ASSERT_TRUE(Settle(app_.main()));
        ASSERT_TRUE(MenuShown()) << keys.size();
        PostChar(app_.main(), 'i');
        ASSERT_TRUE(Settle(app_.main()));
        EXPECT_EQ(Clipboard(), "198.18.0.20");
    }
}

// While another program holds the clipboard, a copy says so in the program's message box and
// the clipboard keeps what it had.
TEST_F(RowActionsTest, HeldClipboardIsToldInAMessageBox) {
    {
        ClipboardHold hold;
        ASSERT_TRUE(hold.held());
        ASSERT_TRUE(PressKeyChord(app_.main(), {VK_CONTROL, 'C'}));
        const auto box = app_.WaitMessageBox(5000);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->title, e2e::kAppTitle);
        EXPECT_EQ(
            box->text,
            "Cannot open the clipboard\r\nAnother program may be using it. Please try again.");
        EXPECT_TRUE(box->hasIcon);
        EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
        ASSERT_TRUE(PressMessageBoxButton(box->hwnd));
    }
    EXPECT_FALSE(ClipboardText(CF_TEXT).has_value());
}

}  // namespace
