// End-to-end case of the program drawn at the screen's DPI (the runner's --dpi): the adapter
// chooser, the Scan List window, the Change dialog, Change Several Devices and the About box show
// every control whole, and the Scan List window's pixel figures (column widths, minimum size,
// margins) follow the DPI. A screenshot of each dialog goes to NETSONDE_E2E_SHOTS when that is set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "discovery/scan_list_layout.h"
#include "res/resource.h"
#include "tests/e2e/app_session_win.h"
#include "tests/e2e/dialog_fit_win.h"
#include "tests/e2e/e2e_env_win.h"

namespace {

using namespace nsdriver;
using netsonde::ScaleForDpi;

class DpiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Rectangles in the screen's own pixels: a DPI-unaware reader would get them scaled.
        SetProcessDPIAware();
        HDC screen = GetDC(nullptr);
        dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(dpi_, std::atoi(e2e::EnvOr("NETSONDE_E2E_DPI", "96").c_str()))
            << "the prefix's LogPixels";
    }

    // Checks a dialog against its template's font, and keeps a screenshot of it.
    void CheckDialog(HWND dialog, int templateId, const std::string& name) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Settle(dialog));
        const auto font = e2e::DialogFont::FromTemplate(e2e::NetsondeExe(), templateId, dpi_);
        ASSERT_TRUE(font.has_value());
        // Only the dialog's own font lays the template out to the size shown.
        const RECT client = ClientRect(dialog);
        EXPECT_EQ(client.right, font->TemplateClientSize().cx) << font->dialog().fontName;
        EXPECT_EQ(client.bottom, font->TemplateClientSize().cy) << font->dialog().fontName;
        for (const std::string& fault : e2e::LayoutFaults(dialog, *font, dpi_)) {
            ADD_FAILURE() << fault;
        }
        const std::string shots = e2e::EnvOr("NETSONDE_E2E_SHOTS");
        if (!shots.empty()) {
            const std::string file = shots + "/dpi" + std::to_string(dpi_) + "-" + name + ".bmp";
            EXPECT_TRUE(SaveScreenshot(dialog, e2e::WinePath(file)));
            std::printf("screenshot %s\n", file.c_str());
        }
    }

    int dpi_ = 0;
};

TEST_F(DpiTest, DialogsShowEveryControlWholeAndFiguresFollowTheDpi) {
    e2e::AppSession app;
    ASSERT_TRUE(app.Start());
    HWND chooser = app.WaitWindow(e2e::kChooserTitle);
    ASSERT_NE(chooser, nullptr);
    CheckDialog(chooser, IDD_ADAPTER_SELECT, "chooser");
    Click(Control(chooser, IDOK));
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_GT(ListItemCount(app.List()), 0);
    CheckDialog(main, IDD_SCAN_LIST, "scan-list");

    const int widths[] = {100, 120, 100, 100, 252};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(SendMessageA(app.List(), LVM_GETCOLUMNWIDTH, column, 0),
                  ScaleForDpi(widths[column], dpi_));
    }
    const std::optional<MINMAXINFO> limits = QueryMinMaxInfo(main);
    ASSERT_TRUE(limits.has_value());
    EXPECT_EQ(limits->ptMinTrackSize.x, ScaleForDpi(400, dpi_));
    EXPECT_EQ(limits->ptMinTrackSize.y, ScaleForDpi(250, dpi_));
    const RECT frame = WindowRect(main);
    ASSERT_TRUE(MoveWindowTo(main, 0, 0, frame.right - frame.left + ScaleForDpi(200, dpi_),
                             frame.bottom - frame.top + ScaleForDpi(100, dpi_)));
    ASSERT_TRUE(Settle(main));
    const RECT client = ClientRect(main);
    const RECT cancel = RectInParent(app.Item(IDCANCEL));
    EXPECT_EQ(cancel.left, client.right - ScaleForDpi(85, dpi_));
    EXPECT_EQ(cancel.right, client.right - ScaleForDpi(10, dpi_));
    EXPECT_EQ(cancel.top, client.bottom - ScaleForDpi(35, dpi_));
    EXPECT_EQ(cancel.bottom, client.bottom - ScaleForDpi(12, dpi_));
    const RECT list = RectInParent(app.List());
    EXPECT_EQ(list.right, client.right - ScaleForDpi(113, dpi_));
    EXPECT_EQ(list.bottom, client.bottom - ScaleForDpi(76, dpi_));

    // The Change dialog and the About box, each opened from its button and closed again.
    const struct {
        int button;
        const char* title;
        int templateId;
        const char* name;
        int closeButton;
    } modals[] = {{IDC_SCAN_CHANGE, e2e::kChangeTitle, IDD_CHANGE, "change", IDCANCEL},
                  {IDC_SCAN_ABOUT, e2e::kAboutTitle, IDD_ABOUT, "about", IDOK}};
    for (const auto& modal : modals) {
        Click(app.Item(modal.button));
        HWND dialog = app.WaitWindow(modal.title, 5000);
        ASSERT_NE(dialog, nullptr);
        CheckDialog(dialog, modal.templateId, modal.name);
        Click(Control(dialog, modal.closeButton));
        ASSERT_TRUE(WaitNoTopWindow({modal.title, "", app.processId()}));
    }

    // Change Several Devices has no button: Ctrl+Shift+Enter in the list opens it.
    ASSERT_TRUE(ClickListRow(app.List(), 0));
    ASSERT_TRUE(PressKeyChord(main, {VK_CONTROL, VK_SHIFT, VK_RETURN}));
    HWND several = app.WaitWindow("Change Several Devices", 5000);
    ASSERT_NE(several, nullptr);
    CheckDialog(several, IDD_CHANGE_SEVERAL, "change-several");
    Click(Control(several, IDCANCEL));
    ASSERT_TRUE(WaitNoTopWindow({"Change Several Devices", "", app.processId()}));
}

}  // namespace
