// End-to-end cases of Change Several Devices against the thirty cameras of batch_30.scn, all on
// one factory address: the keyboard path from the row menu to Close, the checks that stop a
// batch before anything is sent, Stop between two devices, and a whole batch with refusals and a
// silent device, its verification, the saved report, the Scan List afterwards and the wire. The
// cases share one simulator and run in this order: the later ones start from what the earlier
// ones changed. The whole batch prints its wall time and the dialog's longest unanswered moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr char kSeveralTitle[] = "Change Several Devices";
constexpr int kCameras = 30;
constexpr int kSwitchRow = 30;  // core-sw sorts after the cameras
constexpr int kResultColumn = 4;
constexpr int kNewIpColumn = 3;

std::string CameraMac(int n) {
    char text[24];
    std::snprintf(text, sizeof text, "02-00-5e-40-00-%02x", n);
    return text;
}

// The address the batch from 198.18.0.9 gives camera n: 198.18.0.10 is the switch's.
std::string CameraAddress(int n) {
    return "198.18.0." + std::to_string(n == 1 ? 9 : 9 + n);
}

std::vector<Bytes> SetRequests(const std::vector<e2e::WireDatagram>& wire) {
    std::vector<Bytes> requests;
    for (const e2e::WireDatagram& datagram : wire) {
        const Bytes& b = datagram.bytes;
        if (b.size() == 612 && b[0] == 0xAB && b[1] == 3) {
            requests.push_back(b);
        }
    }
    return requests;
}

std::string MacOf(const Bytes& request) {
    char text[24];
    std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", request[36], request[37],
                  request[38], request[39], request[40], request[41]);
    return text;
}

// Asks a window every 10 ms to answer an empty message and keeps the longest wait, until stopped.
class AnswerSampler {
  public:
    explicit AnswerSampler(HWND window)
        : thread_([this, window] {
              while (running_) {
                  const auto start = Clock::now();
                  DWORD_PTR answer = 0;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
                  const long long ms =
                      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                          .count();
                  if (ms > longest_) {
                      longest_ = ms;
                      at_ = std::chrono::duration_cast<std::chrono::milliseconds>(start - begin_)
                                .count();
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~AnswerSampler() { Stop(); }
    // When the longest wait began, in ms after the sampler started.
    long long at() const { return at_; }
    long long Stop() {
        running_ = false;
        if (thread_.joinable()) {
            thread_.join();
        }
        return longest_;
    }

  private:
    std::atomic<bool> running_{true};
    std::atomic<long long> longest_{0};
    std::atomic<long long> at_{0};
    const Clock::time_point begin_ = Clock::now();
    std::thread thread_;
};

class ChangeSeveralTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app_.StartThroughChooser());
        // MAC order, so the cameras come first and in their numbers' order.
        ASSERT_TRUE(ClickListHeading(app_.List(), 0));
        ASSERT_TRUE(Settle(app_.main()));
        ASSERT_EQ(ListItemCount(app_.List()), kCameras + 1);
    }

    // Opens the dialog with Ctrl+Shift+Enter on the first row.
    HWND Open() {
        if (!ClickListRow(app_.List(), 0) || !Settle(app_.main()) ||
            !PressKeyChord(app_.main(), {VK_CONTROL, VK_SHIFT, VK_RETURN})) {
            return nullptr;
        }
        dialog_ = app_.WaitWindow(kSeveralTitle, 5000);
        if (dialog_ != nullptr) {
            Settle(dialog_);
        }
        return dialog_;
    }

    HWND Item(int id) const { return Control(dialog_, id); }
    HWND Rows() const { return Item(IDC_SEVERAL_DEVICE_LIST); }
    std::string Result(int row) const { return ListItemText(Rows(), row, kResultColumn); }
    bool RowChecked(int row) const {
        return (ListItemState(Rows(), row, LVIS_STATEIMAGEMASK) >> 12) == 2;
    }

    // Checks every camera and leaves the switch out.
    void CheckCameras() {
        Click(Item(IDC_SEVERAL_CHECK_ALL));
        ASSERT_TRUE(Settle(dialog_));
        // The switch is the last row, below the visible ones: End, then Space.
        ASSERT_TRUE(ClickListRow(Rows(), 0));
        for (const WORD key : {VK_END, VK_SPACE}) {
            ASSERT_TRUE(PressKeyChord(dialog_, {key}));
            ASSERT_TRUE(Settle(dialog_));
        }
        for (int row = 0; row <= kSwitchRow; ++row) {
            ASSERT_EQ(RowChecked(row), row != kSwitchRow) << row;
        }
    }

    void Give(int checkId, int editId, const std::string& text) {
        Click(Item(checkId));
        ASSERT_TRUE(Settle(dialog_));
        ASSERT_TRUE(IsEnabled(Item(editId)));
        ASSERT_TRUE(TypeText(Item(editId), text));
        ASSERT_TRUE(Settle(dialog_));
    }

    // Presses a button and reads the message box it brings, pressing `answer`.
    std::string PressAndRead(int buttonId, const std::string& answer = "OK") {
        Click(Item(buttonId));
        const auto box = app_.WaitMessageBox(5000);
        if (!box) {
            return "(no message box)";
        }
        EXPECT_EQ(box->title, e2e::kAppTitle);
        EXPECT_TRUE(PressMessageBoxButton(box->hwnd, answer)) << answer;
        Settle(dialog_);
        return box->text;
    }

    // Applies, answers the confirmation and waits until the batch has ended.
    bool ApplyAndWait(const std::string& question, DWORD timeoutMs) {
        EXPECT_EQ(PressAndRead(IDC_SEVERAL_APPLY, "&Yes"), question);
        return WaitUntil(
            [&] { return WindowText(Item(IDC_SEVERAL_STATUS)).rfind("Done.", 0) == 0; }, timeoutMs);
    }

    bool Closed() { return WaitNoTopWindow({kSeveralTitle, "", app_.processId()}, 5000); }

    AppSession app_;
    HWND dialog_ = nullptr;
};

// No mouse: the row menu from Shift+F10 and its access key, Space on a row, a setting's access
// key, Tab, typing, Enter for Preview and Escape to close. Nothing is sent.
TEST_F(ChangeSeveralTest, KeyboardOnlyFromRowMenuToClose) {
    ASSERT_TRUE(ClickListRow(app_.List(), 0));
    ASSERT_TRUE(Settle(app_.main()));
    ASSERT_TRUE(PressKeyChord(app_.main(), {VK_SHIFT, VK_F10}));
    ASSERT_TRUE(WaitUntil([&] { return !PopupMenus(app_.processId()).empty(); }, 5000));
    PostChar(app_.main(), 's');
    dialog_ = app_.WaitWindow(kSeveralTitle, 5000);
    ASSERT_NE(dialog_, nullptr);
    ASSERT_TRUE(Settle(dialog_));
    EXPECT_EQ(FocusedWindow(dialog_), Rows());
    EXPECT_TRUE(RowChecked(0)) << "the row the menu was opened on";
    EXPECT_FALSE(RowChecked(1));
    EXPECT_FALSE(IsEnabled(Item(IDC_SEVERAL_FIRST_IP)));

    for (const std::initializer_list<WORD>& keys :
         {std::initializer_list<WORD>{VK_DOWN}, {VK_SPACE}, {VK_MENU, 'F'}, {VK_TAB}}) {
        ASSERT_TRUE(PressKeyChord(dialog_, keys));
        ASSERT_TRUE(Settle(dialog_));
    }
    EXPECT_TRUE(RowChecked(1));
    ASSERT_EQ(FocusedWindow(dialog_), Item(IDC_SEVERAL_FIRST_IP));
    ASSERT_TRUE(TypeText(Item(IDC_SEVERAL_FIRST_IP), "198.18.0.50"));
    ASSERT_TRUE(PressKeyChord(dialog_, {VK_RETURN}));
    ASSERT_TRUE(Settle(dialog_));
    EXPECT_EQ(ListItemText(Rows(), 0, kNewIpColumn), "198.18.0.50");
    EXPECT_EQ(ListItemText(Rows(), 1, kNewIpColumn), "198.18.0.51");
    EXPECT_EQ(ListItemText(Rows(), 2, kNewIpColumn), "");
    ASSERT_TRUE(PressKeyChord(dialog_, {VK_ESCAPE}));
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(SetRequests(app_.Wire()).empty());
}

// A range that cannot hold the devices and a device whose Change dialog would refuse the texts:
// each stops the batch with its message and the focus on the setting, and nothing is sent.
TEST_F(ChangeSeveralTest, ChecksStopTheBatchBeforeAnythingIsSent) {
    ASSERT_NE(Open(), nullptr);
    CheckCameras();
    Give(IDC_SEVERAL_FIRST_IP_SET, IDC_SEVERAL_FIRST_IP, "198.18.0.240");
    EXPECT_EQ(PressAndRead(IDC_SEVERAL_APPLY),
              "Only 15 of the 30 devices fit from 198.18.0.240 by step 1 in its subnet (mask "
              "255.255.255.0).");
    EXPECT_EQ(FocusedWindow(dialog_), Item(IDC_SEVERAL_FIRST_IP));

    ASSERT_TRUE(TypeText(Item(IDC_SEVERAL_FIRST_IP), "198.18.0.100"));
    Give(IDC_SEVERAL_GATEWAY_SET, IDC_SEVERAL_GATEWAY, "0.0.0.0");
    EXPECT_EQ(PressAndRead(IDC_SEVERAL_PREVIEW), CameraMac(1) + ": Invalid Gateway IP Address");
    EXPECT_EQ(FocusedWindow(dialog_), Item(IDC_SEVERAL_GATEWAY));
    EXPECT_EQ(ListItemText(Rows(), 29, kNewIpColumn), "198.18.0.129");

    Click(Item(IDCANCEL));
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(SetRequests(app_.Wire()).empty());
}

// Stop while the fifth device's request is in flight (cam-05 never answers, so it is in flight
// for three receive windows): it finishes, and nothing after it goes out.
TEST_F(ChangeSeveralTest, StopAfterTheFifthDeviceSendsNothingMore) {
    ASSERT_NE(Open(), nullptr);
    CheckCameras();
    Give(IDC_SEVERAL_FIRST_IP_SET, IDC_SEVERAL_FIRST_IP, "198.18.0.9");
    Click(Item(IDC_SEVERAL_APPLY));
    const auto box = app_.WaitMessageBox(5000);
    ASSERT_TRUE(box.has_value());
    ASSERT_TRUE(PressMessageBoxButton(box->hwnd, "&Yes"));
    ASSERT_TRUE(WaitUntil([&] { return !Result(3).empty(); }, 15000));
    ASSERT_TRUE(IsEnabled(Item(IDC_SEVERAL_STOP)));
    Click(Item(IDC_SEVERAL_STOP));
    ASSERT_TRUE(WaitUntil(
        [&] { return WindowText(Item(IDC_SEVERAL_STATUS)).rfind("Stopped.", 0) == 0; }, 15000));
    for (int row = 0; row < kCameras; ++row) {
        EXPECT_EQ(Result(row), row < 4 ? "Accepted" : row == 4 ? "No answer" : "Not sent") << row;
    }
    std::vector<std::string> sent;
    for (const Bytes& request : SetRequests(app_.Wire())) {
        sent.push_back(MacOf(request));
    }
    sent.erase(std::unique(sent.begin(), sent.end()), sent.end());
    EXPECT_EQ(sent, (std::vector<std::string>{CameraMac(1), CameraMac(2), CameraMac(3),
                                              CameraMac(4), CameraMac(5)}));
    Click(Item(IDCANCEL));
    EXPECT_TRUE(Closed());
}

// All thirty cameras from 198.18.0.9 with a new password: one request per device in list order
// (three for the silent one), each flagged and addressed right; the Result column, one
// verification, the report read back, and the Scan List showing the new addresses.
TEST_F(ChangeSeveralTest, ThirtyDevicesOnOneFactoryAddress) {
    ASSERT_NE(Open(), nullptr);
    CheckCameras();
    Give(IDC_SEVERAL_FIRST_IP_SET, IDC_SEVERAL_FIRST_IP, "198.18.0.9");
    Give(IDC_SEVERAL_PASSWORD_SET, IDC_SEVERAL_PASSWORD, "s3cret");
    const std::size_t wireBefore = app_.Wire().size();

    // How long the dialog takes to answer when idle, then during the batch.
    long long idleMs = 0;
    {
        AnswerSampler idle(dialog_);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        idleMs = idle.Stop();
    }
    Click(Item(IDC_SEVERAL_APPLY));
    const auto box = app_.WaitMessageBox(5000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Change 30 devices?");
    AnswerSampler sampler(dialog_);
    const auto applied = Clock::now();
    ASSERT_TRUE(PressMessageBoxButton(box->hwnd, "&Yes"));
    const bool done = WaitUntil(
        [&] { return WindowText(Item(IDC_SEVERAL_STATUS)).rfind("Done.", 0) == 0; }, 120000);
    const auto ended = Clock::now();
    const long long longestMs = sampler.Stop();
    ASSERT_TRUE(done) << WindowText(Item(IDC_SEVERAL_STATUS));
    std::printf(
        "figure: 30-device batch, Apply to the last Verified: %lld ms; longest the dialog "
        "did not answer: %lld ms, %lld ms after Apply (idle before it: %lld ms)\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(ended - applied).count()),
        longestMs, sampler.at(), idleMs);
    EXPECT_LT(longestMs, 1000) << "the exchanges run off the window's thread";

    for (int n = 1; n <= kCameras; ++n) {
        const std::string want = n == 5    ? "No answer"
                                 : n == 12 ? "Refused: subnet mask"
                                 : n == 20 ? "Refused: read/write password"
                                           : "Verified";
        EXPECT_EQ(Result(n - 1), want) << n;
        EXPECT_EQ(ListItemText(Rows(), n - 1, kNewIpColumn), CameraAddress(n)) << n;
    }
    EXPECT_EQ(Result(kSwitchRow), "");
    EXPECT_EQ(WindowText(Item(IDC_SEVERAL_STATUS)),
              "Done. 27 verified, 0 not verified, 2 refused, 1 no answer, 0 not sent.");

    // The wire: in list order, one request per device, the silent one's repeated.
    std::vector<e2e::WireDatagram> wire = app_.Wire();
    wire.erase(wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(wireBefore));
    std::vector<std::string> order;
    for (const Bytes& r : SetRequests(wire)) {
        const std::string mac = MacOf(r);
        const int n = std::stoi(mac.substr(15), nullptr, 16);
        SCOPED_TRACE(mac);
        // Cameras 1-4 took an empty password in the Stop case: their ChangeMask leaves it out.
        EXPECT_EQ(Bytes(r.begin() + 2, r.begin() + 4),
                  (Bytes{0x07, std::uint8_t(n <= 4 ? 0xCE : 0xCF)}));
        char ip[16];
        std::snprintf(ip, sizeof ip, "%u.%u.%u.%u", r[44], r[45], r[46], r[47]);
        EXPECT_EQ(ip, CameraAddress(n));
        EXPECT_EQ(Bytes(r.begin() + 600, r.begin() + 612),
                  (Bytes{255, 255, 255, 0, 198, 18, 0, 254, 1, 0, 0, 0}));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[4])), "s3cret");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[48])),
                  "cam-" + std::string(n < 10 ? "0" : "") + std::to_string(n));
        order.push_back(mac);
    }
    std::vector<std::string> once = order;
    once.erase(std::unique(once.begin(), once.end()), once.end());
    std::vector<std::string> cameras;
    for (int n = 1; n <= kCameras; ++n) {
        cameras.push_back(CameraMac(n));
    }
    EXPECT_EQ(once, cameras);
    EXPECT_EQ(std::count(order.begin(), order.end(), CameraMac(5)), 3);

    // The report, saved through the Save dialog and read back.
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "netsonde-batch-report.csv";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(IsEnabled(Item(IDC_SEVERAL_SAVE_REPORT)));
    Click(Item(IDC_SEVERAL_SAVE_REPORT));
    HWND save = app_.WaitWindow("Save Report", 10000);
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(Settle(save));
    // The file name is the dialog's one edit (inside a combo box in some versions).
    HWND nameEdit = nullptr;
    EnumChildWindows(
        save,
        [](HWND child, LPARAM found) {
            if (ClassName(child) == "Edit" && IsWindowVisible(child)) {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&nameEdit));
    ASSERT_NE(nameEdit, nullptr);
    ASSERT_TRUE(SetText(nameEdit, path));
    Click(Control(save, IDOK));
    ASSERT_TRUE(WaitNoTopWindow({"Save Report", "", app_.processId()}, 10000));
    ASSERT_TRUE(WaitUntil(
        [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000));
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string report = text.str();
    EXPECT_EQ(report.find("s3cret"), std::string::npos) << "never a password";
    EXPECT_EQ(report.substr(0, report.find("\r\n")),
              "line,mac,outcome,detail,type_old,type_new,ip_old,ip_new,mask_old,mask_new,"
              "gateway_old,gateway_new,tftp_old,tftp_new,image_old,image_new,name_old,name_new");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), kCameras + 1) << "CRLF lines";
    EXPECT_NE(report.find("12," + CameraMac(12) +
                          ",refused,Refused: subnet mask,static,static,"
                          "198.18.0.200,198.18.0.21,"),
              std::string::npos);
    EXPECT_NE(report.find("1," + CameraMac(1) + ",\"accepted, verified\",Verified,"),
              std::string::npos);
    DeleteFileA(path.c_str());

    Click(Item(IDCANCEL));
    ASSERT_TRUE(Closed());
    // The Scan List shows what each device now holds, without a rescan.
    for (int n = 1; n <= kCameras; ++n) {
        const bool moved = n != 5 && n != 12 && n != 20;
        EXPECT_EQ(ListItemText(app_.List(), n - 1, 2), moved ? CameraAddress(n) : "198.18.0.200")
            << n;
    }
}

}  // namespace
