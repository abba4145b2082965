// End-to-end cases of the error paths that a healthy Wine never takes: Windows Sockets that do
// not start, interface and address tables that cannot be read or are empty, a socket that cannot
// be opened or bound, and an adapter that appears while the program runs. The faults come from
// the stand-in wsock32.dll and iphlpapi.dll (standins/) that the runner installs in this suite's
// prefix; the file named by NETSONDE_FAULT_FILE, which Netsonde.exe inherits, switches them.
// Needs a lab workstation with two interfaces, ws0 and ws1.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;

constexpr char kSocketsFailed[] = "Windows sockets initialization failed.";
constexpr char kDetectionError[] = "Network Adapter Detection Error... Closing Netsonde";
constexpr char kNoAdapters[] = "No Active Network Adapters Detected... Closing Netsonde";

// The fault file for the stand-ins, named to the programs this test starts.
class FaultFile {
  public:
    FaultFile() {
        char dir[MAX_PATH];
        char path[MAX_PATH];
        GetTempPathA(sizeof dir, dir);
        GetTempFileNameA(dir, "flt", 0, path);
        path_ = path;
        SetEnvironmentVariableA("NETSONDE_FAULT_FILE", path_.c_str());
    }
    ~FaultFile() {
        SetEnvironmentVariableA("NETSONDE_FAULT_FILE", nullptr);
        DeleteFileA(path_.c_str());
    }
    // Switches on exactly these faults (one per line); the empty text switches all off.
    void Set(const std::string& faults) { std::ofstream(path_, std::ios::trunc) << faults << "\n"; }

  private:
    std::string path_;
};

class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GE(e2e::LabAddresses().size(), 2u) << "needs a lab with two interfaces";
    }

    // Waits for the program's message box while watching that neither the chooser nor the main
    // window shows; presses its OK and answers its text and the exit code.
    std::pair<std::string, std::optional<DWORD>> MessageThenExit(AppSession& app) {
        bool windowShown = false;
        std::optional<MessageBoxInfo> box;
        WaitUntil(
            [&] {
                windowShown = windowShown || app.HasWindow(e2e::kScanListTitle) ||
                              app.HasWindow(e2e::kChooserTitle);
                box = app.WaitMessageBox(0);
                return box.has_value();
            },
            e2e::kScanTimeoutMs);
        EXPECT_FALSE(windowShown) << "only the message box shows";
        if (!box) {
            return {"(no message box)", std::nullopt};
        }
        EXPECT_EQ(box->title, e2e::kAppTitle);
        PressMessageBoxButton(box->hwnd);
        return {box->text, app.process().WaitExit(e2e::kScanTimeoutMs)};
    }

    FaultFile faults_;
};

// Winsock refuses to start, or starts with another version than 1.1: the message alone, no
// window, nothing on the wire, exit code 2.
TEST_F(FaultTest, SocketsThatDoNotStartShowTheMessageAloneAndExitTwo) {
    for (const char* fault : {"startup-fails", "startup-version"}) {
        SCOPED_TRACE(fault);
        faults_.Set(fault);
        AppSession app;
        ASSERT_TRUE(app.Start());
        const auto [text, exitCode] = MessageThenExit(app);
        EXPECT_EQ(text, kSocketsFailed);
        EXPECT_EQ(exitCode, std::optional<DWORD>(2));
        EXPECT_TRUE(app.Wire().empty());
    }
}

struct AdapterFault {
    const char* fault;
    const char* message;
};
const AdapterFault kAdapterFaults[] = {
    {"iftable-fails", kDetectionError},
    {"addrtable-fails", kDetectionError},
    {"iftable-empty", kNoAdapters},
};

// At the first opening: the chooser's closing message alone, no window, exit code 3. The scan
// that ran the chooser still runs to its end, from any local address.
TEST_F(FaultTest, AdapterFaultAtFirstOpeningClosesWithExitThree) {
    for (const AdapterFault& c : kAdapterFaults) {
        SCOPED_TRACE(c.fault);
        faults_.Set(c.fault);
        AppSession app;
        ASSERT_TRUE(app.Start());
        const auto [text, exitCode] = MessageThenExit(app);
        EXPECT_EQ(text, c.message);
        EXPECT_EQ(exitCode, std::optional<DWORD>(3));
        EXPECT_EQ(app.Requests().size(), 3u);
    }
}

// After "Select Adapter": the message, then the main window closes once the scan that ran the
// chooser has sent its three requests from the address chosen before; exit code 3.
TEST_F(FaultTest, AdapterFaultAfterSelectAdapterClosesWithExitThree) {
    const std::string chosen = e2e::LabAddresses()[0];
    for (const AdapterFault& c : kAdapterFaults) {
        SCOPED_TRACE(c.fault);
        faults_.Set("");
        AppSession app;
        ASSERT_TRUE(app.StartThroughChooser());
        ASSERT_EQ(app.Requests().size(), 3u);
        faults_.Set(c.fault);
        Click(app.Item(IDC_SCAN_SELECT_ADAPTER));
        const auto box = app.WaitMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text, c.message);
        EXPECT_EQ(box->title, e2e::kAppTitle);
        EXPECT_FALSE(app.HasWindow(e2e::kChooserTitle));
        PressMessageBoxButton(box->hwnd);
        EXPECT_EQ(app.process().WaitExit(e2e::kScanTimeoutMs), std::optional<DWORD>(3));
        const std::vector<e2e::WireDatagram> requests = app.Requests();
        ASSERT_EQ(requests.size(), 6u);
        for (size_t i = 3; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].senderAddress, chosen);
        }
    }
}

// A socket that cannot be opened, made non-blocking or bound: the scan sends nothing and shows
// nothing; the window stays with an empty list, and a later Rescan tries again.
TEST_F(FaultTest, SocketThatCannotOpenOrBindSendsAndShowsNothing) {
    for (const char* fault : {"socket-fails", "nonblocking-fails", "bind-fails"}) {
        SCOPED_TRACE(fault);
        faults_.Set(fault);
        AppSession app;
        ASSERT_TRUE(app.StartThroughChooser());
        EXPECT_TRUE(app.Wire().empty());
        EXPECT_EQ(ListItemCount(app.List()), 0);
        EXPECT_FALSE(IsEnabled(app.Item(IDC_SCAN_CHANGE)));
        EXPECT_FALSE(IsEnabled(app.Item(IDC_SCAN_WEB_CONFIG)));
        EXPECT_FALSE(app.WaitMessageBox(0).has_value());

        faults_.Set("");
        ASSERT_TRUE(app.ClickAndWaitScan(IDC_SCAN_RESCAN));
        EXPECT_EQ(app.Requests().size(), 3u);
        EXPECT_EQ(ListItemCount(app.List()), 3);
        EXPECT_EQ(app.CloseAndWait(), std::optional<DWORD>(0));
    }
}

// A receive error shows the scan's socket error box once (titled with the program's name, the
// exclamation icon, one OK) and receiving stops, while the remaining attempts still send. The
// resets Windows reports for ICMP errors about earlier sends are dropped instead: every device
// is listed and nothing is shown.
TEST_F(FaultTest, ReceiveErrorShowsTheBoxOnceButResetsAreDropped) {
    faults_.Set("recv-resets");
    {
        AppSession app;
        ASSERT_TRUE(app.StartThroughChooser());
        EXPECT_EQ(ListItemCount(app.List()), 3);
        EXPECT_FALSE(app.WaitMessageBox(0).has_value());
        EXPECT_EQ(app.CloseAndWait(), std::optional<DWORD>(0));
    }
    faults_.Set("recv-fails");
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
    EXPECT_EQ(ListItemCount(app.List()), 0);
    EXPECT_FALSE(app.WaitMessageBox(500).has_value()) << "one box per scan";
    EXPECT_EQ(app.Requests().size(), 3u);
}

// The program starts while only ws1 is plugged in, so the chooser decides alone; ws0 then
// appears. "Select Adapter" offers both, and its Cancel keeps the window, its rows and the
// address chosen alone.
TEST_F(FaultTest, CancelAfterAChoiceMadeAloneKeepsTheWindowAndAddress) {
    const std::vector<std::string> addresses = e2e::LabAddresses();
    faults_.Set("interfaces-only ws1");
    AppSession app;
    ASSERT_TRUE(app.Start());
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    ASSERT_EQ(app.Requests().size(), 3u);
    EXPECT_EQ(app.Requests()[0].senderAddress, addresses[1]);

    faults_.Set("");
    Click(app.Item(IDC_SCAN_SELECT_ADAPTER));
    HWND chooser = app.WaitWindow(e2e::kChooserTitle);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ComboItems(Control(chooser, IDC_ADAPTER_COMBO)).size(), 2u);
    Click(Control(chooser, IDC_ADAPTER_CANCEL));
    ASSERT_TRUE(WaitNoTopWindow({e2e::kChooserTitle, "", app.processId()}));
    ASSERT_TRUE(Settle(app.main(), e2e::kScanTimeoutMs));
    EXPECT_TRUE(app.process().Running());
    EXPECT_TRUE(IsEnabled(app.main()));
    EXPECT_EQ(ListItemCount(app.List()), 3);
    const std::vector<e2e::WireDatagram> requests = app.Requests();
    ASSERT_EQ(requests.size(), 6u);
    for (const e2e::WireDatagram& request : requests) {
        EXPECT_EQ(request.senderAddress, addresses[1]);
    }
    EXPECT_EQ(app.CloseAndWait(), std::optional<DWORD>(0));
}

}  // namespace
