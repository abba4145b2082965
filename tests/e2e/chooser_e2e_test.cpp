// End-to-end cases of the adapter chooser on a workstation with two lab interfaces of two
// addresses each: what it offers, what its buttons do, and which address the scans then send
// from; and on a workstation with nothing but the loopback interface, where it stays unseen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;

// "ws0 (198.18.0.1)" for every lab address, in interface order: the chooser's expected items.
// Each address's interface is the one whose /24 it is in (198.18.K.x is on interface K).
std::vector<std::string> ExpectedItems() {
    const std::vector<std::string> interfaces = e2e::LabInterfaces();
    std::vector<std::string> items;
    for (const std::string& address : e2e::LabAddresses()) {
        const size_t second = address.find('.', address.find('.') + 1);
        const size_t k = static_cast<size_t>(std::stoi(address.substr(second + 1)));
        items.push_back((k < interfaces.size() ? interfaces[k] : "?") + " (" + address + ")");
    }
    return items;
}

class ChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GE(e2e::LabInterfaces().size(), 2u) << "needs a lab with two interfaces";
        ASSERT_TRUE(app_.Start());
        chooser_ = app_.WaitWindow(e2e::kChooserTitle);
        ASSERT_NE(chooser_, nullptr) << "the adapter chooser did not open";
    }

    // Chooses item `index` with OK and waits for the main window and its first scan.
    void ChooseAndWaitMain(int index) {
        ASSERT_TRUE(ComboSelect(Control(chooser_, IDC_ADAPTER_COMBO), index));
        Click(Control(chooser_, IDOK));
        ASSERT_NE(app_.WaitMainWindow(), nullptr);
    }

    AppSession app_;
    HWND chooser_ = nullptr;
};

TEST_F(ChooserTest, OffersEveryUsableAddressInInterfaceOrderBeforeTheMainWindow) {
    EXPECT_FALSE(app_.HasWindow(e2e::kScanListTitle));
    HWND combo = Control(chooser_, IDC_ADAPTER_COMBO);
    const std::vector<std::string> items = ComboItems(combo);
    EXPECT_EQ(items, ExpectedItems());
    for (const std::string& item : items) {
        EXPECT_EQ(item.find("127.0.0.1"), std::string::npos) << item;
        EXPECT_EQ(item.find("0.0.0.0"), std::string::npos) << item;
    }
    EXPECT_EQ(ComboSelection(combo), 0);
    EXPECT_EQ(WindowText(Control(chooser_, IDC_ADAPTER_PROMPT)), "Please Select Network Adapter:");
    EXPECT_EQ(FocusedWindow(chooser_), Control(chooser_, IDOK));
}

// The scan after OK sends three 612-byte discovery requests, all from the chosen address.
TEST_F(ChooserTest, ScanSendsThreeRequestsFromTheChosenAddress) {
    const std::vector<std::string> addresses = e2e::LabAddresses();
    ASSERT_GE(addresses.size(), 3u);
    ASSERT_NO_FATAL_FAILURE(ChooseAndWaitMain(2));
    EXPECT_EQ(ListItemCount(app_.List()), 3);

    const std::vector<e2e::WireDatagram> requests = app_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const e2e::WireDatagram& request : requests) {
        EXPECT_EQ(request.senderAddress, addresses[2]);
        EXPECT_EQ(request.senderPort, requests[0].senderPort) << "one socket for the whole scan";
        std::vector<std::uint8_t> expected(612, 0);
        expected[0] = 0xAB;
        expected[1] = 1;
        EXPECT_EQ(request.bytes, expected);
    }
    EXPECT_EQ(app_.Wire().size(), 3u) << "nothing but the three requests";
}

// Cancel, Esc and the close box at the first opening end the process with exit code 1 and the
// main window never shows.
TEST_F(ChooserTest, DismissingTheFirstChooserExitsWithCodeOne) {
    enum class Way { CancelButton, Escape, CloseBox };
    const Way ways[] = {Way::CancelButton, Way::Escape, Way::CloseBox};
    for (const Way way : ways) {
        SCOPED_TRACE(static_cast<int>(way));
        if (chooser_ == nullptr) {
            ASSERT_TRUE(app_.Start());
            chooser_ = app_.WaitWindow(e2e::kChooserTitle);
            ASSERT_NE(chooser_, nullptr);
        }
        switch (way) {
            case Way::CancelButton:
                Click(Control(chooser_, IDC_ADAPTER_CANCEL));
                break;
            case Way::Escape:
                PressKey(FocusedWindow(chooser_), VK_ESCAPE);
                break;
            case Way::CloseBox:
                RequestClose(chooser_);
                break;
        }
        bool mainShown = false;
        const bool exited = WaitUntil(
            [&] {
                mainShown = mainShown || app_.HasWindow(e2e::kScanListTitle);
                return !app_.process().Running();
            },
            5000);
        ASSERT_TRUE(exited);
        EXPECT_EQ(app_.process().WaitExit(0), std::optional<DWORD>(1));
        EXPECT_FALSE(mainShown);
        chooser_ = nullptr;
    }
    EXPECT_TRUE(app_.Wire().empty()) << "nothing is sent before a choice";
}

// After a confirmed choice, "Select Adapter" opens the chooser again before it scans; its
// Cancel keeps the program running and the scan goes on from the address chosen before.
TEST_F(ChooserTest, SelectAdapterShowsChooserAgainAndItsCancelKeepsRunning) {
    const std::vector<std::string> addresses = e2e::LabAddresses();
    // Item 2 is on ws1: a second address of ws0 would send from ws0's first address.
    ASSERT_NO_FATAL_FAILURE(ChooseAndWaitMain(2));
    ASSERT_EQ(app_.Requests().size(), 3u);

    Click(app_.Item(IDC_SCAN_SELECT_ADAPTER));
    HWND again = app_.WaitWindow(e2e::kChooserTitle);
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(IsEnabled(app_.main())) << "the chooser is modal";
    EXPECT_EQ(app_.Requests().size(), 3u) << "no request before the choice";
    EXPECT_EQ(ComboItems(Control(again, IDC_ADAPTER_COMBO)), ExpectedItems());

    Click(Control(again, IDC_ADAPTER_CANCEL));
    ASSERT_TRUE(WaitNoTopWindow({e2e::kChooserTitle, "", app_.processId()}));
    ASSERT_TRUE(Settle(app_.main(), e2e::kScanTimeoutMs));
    EXPECT_TRUE(app_.process().Running());
    EXPECT_TRUE(IsEnabled(app_.main()));
    EXPECT_EQ(ListItemCount(app_.List()), 3);

    const std::vector<e2e::WireDatagram> requests = app_.Requests();
    ASSERT_EQ(requests.size(), 6u);
    for (size_t i = 3; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].senderAddress, addresses[2]);
    }
    EXPECT_TRUE(app_.CloseAndWait().has_value());
}

// A workstation whose interface table has one row (only the loopback interface): the chooser
// closes unseen and the main window opens after the first scan.
TEST(LoopbackOnlyTest, SingleInterfaceRowShowsNoChooser) {
    AppSession app;
    ASSERT_TRUE(app.Start());
    bool chooserShown = false;
    HWND main = nullptr;
    WaitUntil(
        [&] {
            chooserShown = chooserShown || app.HasWindow(e2e::kChooserTitle);
            main = app.WaitWindow(e2e::kScanListTitle, 0);
            return main != nullptr;
        },
        e2e::kScanTimeoutMs + 4000);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(chooserShown);
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    EXPECT_EQ(ListItemCount(app.List()), 0);
    EXPECT_FALSE(IsEnabled(app.Item(IDC_SCAN_CHANGE)));
    EXPECT_TRUE(app.CloseAndWait().has_value());
}

}  // namespace
