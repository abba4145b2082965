// End-to-end cases of the Change dialog against the devices of change_devices.scn: what a set
// request carries on the wire, how acceptance, refusal and silence are reported, the checks of
// typed addresses, and that only an accepted change reaches the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/app_session_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;
using Bytes = std::vector<std::uint8_t>;

constexpr char kSuccess[] =
    "Device update successful.\r\nThe device will now reboot\r\nfor changes to take effect.";
// Three receive windows of up to a second each, plus the time to open the box.
constexpr DWORD kExchangeTimeoutMs = 8000;

struct Device {
    const char* macText;
    std::uint8_t mac[6];
};
const Device kStatic = {"02-00-5e-20-00-01", {0x02, 0x00, 0x5e, 0x20, 0x00, 0x01}};
const Device kDynamicV = {"02-00-5e-20-00-02", {0x02, 0x00, 0x5e, 0x20, 0x00, 0x02}};
const Device kRefusesMask = {"02-00-5e-20-00-03", {0x02, 0x00, 0x5e, 0x20, 0x00, 0x03}};
const Device kRefusesTwo = {"02-00-5e-20-00-04", {0x02, 0x00, 0x5e, 0x20, 0x00, 0x04}};
const Device kSilent = {"02-00-5e-20-00-05", {0x02, 0x00, 0x5e, 0x20, 0x00, 0x05}};
const Device kNoGateway = {"02-00-5e-20-00-06", {0x02, 0x00, 0x5e, 0x20, 0x00, 0x06}};

// The set requests (612 bytes, marker 0xAB, opcode 3) that reached the device since the
// session started the program.
//
// A device that answers at once gets one request. A second one only goes out when the first
// left in the last milliseconds of a second, so that its receive window closed before the
// answer came; an exchange that went on after the answer sends all three.
bool AnsweredWithoutFurtherAttempts(std::size_t requestCount) {
    return requestCount == 1 || requestCount == 2;
}

std::vector<Bytes> SetRequestsFor(const AppSession& app, const Device& device) {
    std::vector<Bytes> requests;
    for (const e2e::WireDatagram& datagram : app.Wire()) {
        const Bytes& b = datagram.bytes;
        if (b.size() == 612 && b[0] == 0xAB && b[1] == 3 &&
            std::memcmp(b.data() + 36, device.mac, 6) == 0) {
            requests.push_back(b);
        }
    }
    return requests;
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + offset, bytes.begin() + offset + size);
}

// A text field's bytes: the text and its zero.
Bytes TextBytes(const std::string& text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

class ChangeTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(app_.StartThroughChooser()); }

    int RowOf(const Device& device) {
        const std::vector<std::string> macs = app_.Column(0);
        const auto at = std::find(macs.begin(), macs.end(), device.macText);
        return at == macs.end() ? -1 : static_cast<int>(at - macs.begin());
    }

    // Selects the device's row and presses Change; the dialog, or null.
    HWND OpenChange(const Device& device) {
        const int row = RowOf(device);
        if (row < 0 || !ClickListRow(app_.List(), row) || !Settle(app_.main())) {
            return nullptr;
        }
        Click(app_.Item(IDC_SCAN_CHANGE));
        change_ = app_.WaitWindow(e2e::kChangeTitle, 5000);
        if (change_ != nullptr) {
            Settle(change_);
        }
        return change_;
    }

    HWND Edit(int id) const { return Control(change_, id); }
    std::string Text(int id) const { return WindowText(Edit(id)); }

    void Type(int id, const std::string& text) {
        ASSERT_TRUE(TypeText(Edit(id), text));
        ASSERT_TRUE(Settle(change_));
    }

    // Presses OK and reads the message box that follows; the box is then dismissed.
    std::string PressOkAndReadMessage() {
        Click(Control(change_, IDOK));
        const auto box = app_.WaitMessageBox(kExchangeTimeoutMs);
        if (!box) {
            return "(no message box)";
        }
        EXPECT_EQ(box->title, e2e::kAppTitle);
        PressMessageBoxButton(box->hwnd);
        Settle(change_);
        return box->text;
    }

    bool ChangeClosed() { return WaitNoTopWindow({e2e::kChangeTitle, "", app_.processId()}, 5000); }

    AppSession app_;
    HWND change_ = nullptr;
};

// A static device without v: the typed settings go out in one request with ChangeMask 0x07CF,
// every byte the operator did not edit goes back as the device reported it, and the row and a
// rescan show the new address.
TEST_F(ChangeTest, StaticDeviceTakesTypedSettings) {
    ASSERT_NE(OpenChange(kStatic), nullptr);
    EXPECT_EQ(CheckState(Edit(IDC_CHANGE_STATIC)), BST_CHECKED);
    EXPECT_EQ(Text(IDC_CHANGE_TFTP_SERVER), "198.18.0.5");
    Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.41");
    Type(IDC_CHANGE_SUBNET_MASK, "255.255.0.0");
    Type(IDC_CHANGE_GATEWAY, "198.18.0.253");
    Type(IDC_CHANGE_TFTP_SERVER, "198.18.0.7");
    Type(IDC_CHANGE_IMAGE_FILE, "sw.bin");
    Type(IDC_CHANGE_PASSWORD, "s3cret");

    EXPECT_EQ(PressOkAndReadMessage(), kSuccess);
    EXPECT_TRUE(ChangeClosed());

    const std::vector<Bytes> requests = SetRequestsFor(app_, kStatic);
    ASSERT_TRUE(AnsweredWithoutFurtherAttempts(requests.size())) << requests.size();
    EXPECT_EQ(requests.front(), requests.back()) << "every attempt sends the same bytes";
    const Bytes& r = requests.back();
    EXPECT_EQ(Slice(r, 2, 2), (Bytes{0x07, 0xCF}));
    EXPECT_EQ(Slice(r, 44, 4), (Bytes{198, 18, 0, 41}));
    EXPECT_EQ(Slice(r, 600, 4), (Bytes{255, 255, 0, 0}));
    EXPECT_EQ(Slice(r, 604, 4), (Bytes{198, 18, 0, 253}));
    EXPECT_EQ(Slice(r, 340, 4), (Bytes{198, 18, 0, 7}));
    EXPECT_EQ(Slice(r, 608, 4), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(Slice(r, 344, 7), TextBytes("sw.bin"));
    EXPECT_EQ(Slice(r, 351, 4), TextBytes("bin")) << "the old name's tail behind the zero";
    EXPECT_EQ(Slice(r, 4, 7), TextBytes("s3cret"));
    EXPECT_EQ(Slice(r, 48, 10), TextBytes("sw-static"));
    // As the device reported them: bytes 42-43, uptime, description.
    EXPECT_EQ(Slice(r, 42, 2), (Bytes{0x12, 0xAB}));
    EXPECT_EQ(Slice(r, 80, 4), (Bytes{0x00, 0xBC, 0x61, 0x4E}));  // 12345678
    EXPECT_EQ(Slice(r, 84, 24), TextBytes("Managed switch 24 ports"));

    const int row = RowOf(kStatic);
    ASSERT_GE(row, 0);
    EXPECT_EQ(ListItemText(app_.List(), row, 2), "198.18.0.41");
    EXPECT_EQ(ListItemText(app_.List(), row, 3), "1 d 10 h 17 m 36 s");

    ASSERT_TRUE(app_.ClickAndWaitScan(IDC_SCAN_RESCAN));
    const int rescanned = RowOf(kStatic);
    ASSERT_GE(rescanned, 0);
    EXPECT_EQ(ListItemText(app_.List(), rescanned, 2), "198.18.0.41");
    ASSERT_NE(OpenChange(kStatic), nullptr);
    EXPECT_EQ(Text(IDC_CHANGE_SUBNET_MASK), "255.255.0.0");
    EXPECT_EQ(Text(IDC_CHANGE_GATEWAY), "198.18.0.253");
    EXPECT_EQ(Text(IDC_CHANGE_TFTP_SERVER), "198.18.0.7");
    EXPECT_EQ(Text(IDC_CHANGE_IMAGE_FILE), "sw.bin");
    Click(Control(change_, IDCANCEL));
    EXPECT_TRUE(ChangeClosed());
}

// A dynamic device with v and no stored password: its address, TFTP and image edits are
// disabled and keep their texts (also a typed address across a Static/Dynamic round trip), and
// the request carries ChangeMask 0x040A with the stored addresses.
TEST_F(ChangeTest, DynamicDeviceWithVKeepsStoredFields) {
    ASSERT_NE(OpenChange(kDynamicV), nullptr);
    EXPECT_EQ(CheckState(Edit(IDC_CHANGE_DYNAMIC)), BST_CHECKED);
    EXPECT_EQ(CheckState(Edit(IDC_CHANGE_STATIC)), BST_UNCHECKED);
    struct Expected {
        int id;
        const char* text;
        bool enabled;
    };
    const Expected shown[] = {
        {IDC_CHANGE_IP_ADDRESS, "198.18.0.32", false},
        {IDC_CHANGE_SUBNET_MASK, "255.255.0.0", false},
        {IDC_CHANGE_GATEWAY, "198.18.0.1", false},
        {IDC_CHANGE_TFTP_SERVER, "198.18.0.6", false},
        {IDC_CHANGE_IMAGE_FILE, "ap-fw.img", false},
        {IDC_CHANGE_PASSWORD, "", true},
    };
    for (const Expected& e : shown) {
        EXPECT_EQ(Text(e.id), e.text) << e.id;
        EXPECT_EQ(IsEnabled(Edit(e.id)), e.enabled) << e.id;
    }

    Click(Edit(IDC_CHANGE_STATIC));
    ASSERT_TRUE(Settle(change_));
    EXPECT_TRUE(IsEnabled(Edit(IDC_CHANGE_IP_ADDRESS)));
    EXPECT_FALSE(IsEnabled(Edit(IDC_CHANGE_TFTP_SERVER)));
    Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.99");
    Click(Edit(IDC_CHANGE_DYNAMIC));
    ASSERT_TRUE(Settle(change_));
    EXPECT_EQ(CheckState(Edit(IDC_CHANGE_STATIC)), BST_UNCHECKED);
    EXPECT_FALSE(IsEnabled(Edit(IDC_CHANGE_IP_ADDRESS)));
    EXPECT_EQ(Text(IDC_CHANGE_IP_ADDRESS), "198.18.0.99");
    Type(IDC_CHANGE_PASSWORD, "pw");

    EXPECT_EQ(PressOkAndReadMessage(), kSuccess);
    EXPECT_TRUE(ChangeClosed());
    const std::vector<Bytes> requests = SetRequestsFor(app_, kDynamicV);
    ASSERT_TRUE(AnsweredWithoutFurtherAttempts(requests.size())) << requests.size();
    EXPECT_EQ(requests.front(), requests.back()) << "every attempt sends the same bytes";
    const Bytes& r = requests.back();
    EXPECT_EQ(Slice(r, 2, 2), (Bytes{0x04, 0x0A}));
    EXPECT_EQ(Slice(r, 44, 4), (Bytes{198, 18, 0, 32}));
    EXPECT_EQ(Slice(r, 600, 4), (Bytes{255, 255, 0, 0}));
    EXPECT_EQ(Slice(r, 604, 4), (Bytes{198, 18, 0, 1}));
    EXPECT_EQ(Slice(r, 340, 4), (Bytes{198, 18, 0, 6}));
    EXPECT_EQ(Slice(r, 344, 10), TextBytes("ap-fw.img"));
    EXPECT_EQ(Slice(r, 608, 4), (Bytes{2, 0, 0, 0}));
    EXPECT_EQ(Slice(r, 4, 3), TextBytes("pw"));

    // The row keeps the address the request carried: the stored one.
    EXPECT_EQ(ListItemText(app_.List(), RowOf(kDynamicV), 2), "198.18.0.32");
}

// A refusal names the refused field (one bit) or "settings" (two bits); the dialog stays open
// with what was typed and the list does not change.
TEST_F(ChangeTest, RefusalNamesTheFieldAndChangesNothing) {
    struct Case {
        const Device* device;
        const char* message;
    };
    const Case cases[] = {
        {&kRefusesMask, "Device returned error\r\nPlease check subnet mask"},
        {&kRefusesTwo, "Device returned error\r\nPlease check settings"},
    };
    const auto rowsBefore = app_.Rows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device->macText);
        ASSERT_NE(OpenChange(*c.device), nullptr);
        Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.77");
        EXPECT_EQ(PressOkAndReadMessage(), c.message);
        EXPECT_TRUE(IsVisible(change_));
        EXPECT_EQ(Text(IDC_CHANGE_IP_ADDRESS), "198.18.0.77");
        EXPECT_TRUE(AnsweredWithoutFurtherAttempts(SetRequestsFor(app_, *c.device).size()));
        Click(Control(change_, IDCANCEL));
        EXPECT_TRUE(ChangeClosed());
    }
    EXPECT_EQ(app_.Rows(), rowsBefore);
}

// Silence: the request goes out three times, then "No response from device"; the dialog stays
// open with the typed text.
TEST_F(ChangeTest, SilentDeviceGetsThreeRequests) {
    ASSERT_NE(OpenChange(kSilent), nullptr);
    Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.78");
    EXPECT_EQ(PressOkAndReadMessage(), "No response from device\r\n");
    EXPECT_EQ(SetRequestsFor(app_, kSilent).size(), 3u);
    EXPECT_TRUE(IsVisible(change_));
    EXPECT_EQ(Text(IDC_CHANGE_IP_ADDRESS), "198.18.0.78");
}

// Invalid typed addresses: only the first failing check is reported, the focus goes to its
// edit, and nothing is sent. A dynamic device whose stored gateway is 0.0.0.0 is refused even
// though its gateway edit is disabled.
TEST_F(ChangeTest, InvalidAddressesAreReportedInOrderAndNothingIsSent) {
    ASSERT_NE(OpenChange(kRefusesMask), nullptr);
    Type(IDC_CHANGE_IP_ADDRESS, "300.1.1.1");
    Type(IDC_CHANGE_SUBNET_MASK, "255.0.255.0");
    EXPECT_EQ(PressOkAndReadMessage(), "Invalid IP Address\r\n");
    EXPECT_EQ(FocusedWindow(change_), Edit(IDC_CHANGE_IP_ADDRESS));
    Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.33");
    EXPECT_EQ(PressOkAndReadMessage(), "Invalid Subnet Mask");
    EXPECT_EQ(FocusedWindow(change_), Edit(IDC_CHANGE_SUBNET_MASK));
    EXPECT_TRUE(SetRequestsFor(app_, kRefusesMask).empty());
    Click(Control(change_, IDCANCEL));
    ASSERT_TRUE(ChangeClosed());

    ASSERT_NE(OpenChange(kNoGateway), nullptr);
    EXPECT_FALSE(IsEnabled(Edit(IDC_CHANGE_GATEWAY)));
    EXPECT_EQ(Text(IDC_CHANGE_GATEWAY), "0.0.0.0");
    EXPECT_EQ(PressOkAndReadMessage(), "Invalid Gateway IP Address");
    EXPECT_TRUE(SetRequestsFor(app_, kNoGateway).empty());
}

// The address edits take at most 15 characters as typed, name and password 31, image 255.
TEST_F(ChangeTest, EditsStopAtTheirLimits) {
    ASSERT_NE(OpenChange(kRefusesTwo), nullptr);
    struct Case {
        int id;
        std::size_t limit;
    };
    const Case cases[] = {
        {IDC_CHANGE_IP_ADDRESS, 15},  {IDC_CHANGE_SUBNET_MASK, 15}, {IDC_CHANGE_GATEWAY, 15},
        {IDC_CHANGE_TFTP_SERVER, 15}, {IDC_CHANGE_PASSWORD, 31},    {IDC_CHANGE_IMAGE_FILE, 255},
    };
    for (const Case& c : cases) {
        Type(c.id, std::string(c.limit + 5, '1'));
        EXPECT_EQ(Text(c.id), std::string(c.limit, '1')) << c.id;
    }
}

// Web Configuration opens the browser on the address in the edit, typed but never sent, and
// leaves the dialog open.
TEST_F(ChangeTest, WebConfigurationOpensTheTypedAddress) {
    ASSERT_NE(OpenChange(kRefusesTwo), nullptr);
    Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.55");
    Click(Control(change_, IDC_CHANGE_WEB_CONFIG));
    ASSERT_TRUE(WaitUntil([] { return !e2e::BrowserStarts().empty(); }, 5000));
    EXPECT_EQ(e2e::BrowserStarts(), std::vector<std::string>{"198.18.0.55"});
    EXPECT_TRUE(IsVisible(change_));
    EXPECT_TRUE(SetRequestsFor(app_, kRefusesTwo).empty());
}

// Cancel after edits and a type change leaves the row and the stored record as they were.
TEST_F(ChangeTest, CancelAfterEditsChangesNothing) {
    const auto rowsBefore = app_.Rows();
    ASSERT_NE(OpenChange(kRefusesTwo), nullptr);
    Type(IDC_CHANGE_IP_ADDRESS, "198.18.0.90");
    Type(IDC_CHANGE_IMAGE_FILE, "other.bin");
    Click(Edit(IDC_CHANGE_DYNAMIC));
    ASSERT_TRUE(Settle(change_));
    Click(Control(change_, IDCANCEL));
    ASSERT_TRUE(ChangeClosed());
    EXPECT_EQ(app_.Rows(), rowsBefore);

    ASSERT_NE(OpenChange(kRefusesTwo), nullptr);
    EXPECT_EQ(Text(IDC_CHANGE_IP_ADDRESS), "198.18.0.34");
    EXPECT_EQ(Text(IDC_CHANGE_IMAGE_FILE), "rt.bin");
    EXPECT_EQ(CheckState(Edit(IDC_CHANGE_STATIC)), BST_CHECKED);
}

}  // namespace
