// The order of a scan's steps, the adapter chooser's place in it, and what the window shows
// when the scan ends.
#include "discovery/scan_devices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "adapter/selected_adapter.h"
#include "discovery/device_table.h"
#include "protocol/text_forms.h"
#include "tests/unit/discovery_fake_rows.h"

namespace netsonde {
namespace {

DeviceRecord Reply(std::uint8_t serial) {
    DeviceRecord record;
    record.setMarker(kRequestMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({0x02, 0, 0, 0, 0, serial});
    record.writeSystemName("dev-" + std::to_string(serial));
    return record;
}

// Records every step the scan takes, and answers the chooser and the exchange as told.
class FakeScanWindow : public ScanWindow {
  public:
    DeviceRowList& Rows() override { return rows; }
    void EnableDeviceCommands(bool enable) override {
        commandsEnabled = enable;
        log.push_back(enable ? "enable" : "disable");
    }
    void RepaintList() override { log.push_back("repaint"); }
    bool RunAdapterChooser() override {
        log.push_back("chooser");
        indexEmptyAtChooser = MacIndex.size() == 0 && rows.RowCount() == 0;
        return chooserHasAdapter;
    }
    void EndForNoAdapter() override { log.push_back("end"); }
    ExchangeResult RunDiscoveryExchange(const DeviceRecord& request,
                                        const std::string& localAddress,
                                        const ReplyHandler& onReply) override {
        log.push_back("exchange");
        sentRequest = request;
        boundAddress = localAddress;
        if (exchangeResult != ExchangeResult::NotStarted) {
            for (const DeviceRecord& reply : replies) {
                onReply(reply);
            }
        }
        return exchangeResult;
    }
    void SelectFirstRow() override {
        log.push_back("select");
        selectedFirstRow = true;
    }

    FakeDeviceRows rows;
    std::vector<std::string> log;
    bool chooserHasAdapter = true;
    bool indexEmptyAtChooser = false;
    ExchangeResult exchangeResult = ExchangeResult::Completed;
    std::vector<DeviceRecord> replies;
    DeviceRecord sentRequest;
    std::string boundAddress = "unset";
    bool commandsEnabled = true;
    bool selectedFirstRow = false;
};

class ScanDevicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MacIndex.RemoveAll();
        AdapterChooserPending = 0;
        SelectedAdapter = SelectedAdapterState{};
    }
    void TearDown() override {
        AdapterChooserPending = 1;
        SelectedAdapter = SelectedAdapterState{};
    }
    FakeScanWindow window;
};

TEST_F(ScanDevicesTest, StepOrderForEachChooserAndExchangeOutcome) {
    struct Case {
        const char* name;
        bool pending;
        bool chooserHasAdapter;
        ExchangeResult result;
        int replies;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {"rescan, devices answer",
         false,
         true,
         ExchangeResult::Completed,
         2,
         {"disable", "repaint", "exchange", "select", "enable"}},
        {"rescan, silence",
         false,
         true,
         ExchangeResult::Completed,
         0,
         {"disable", "repaint", "exchange"}},
        {"socket not opened",
         false,
         true,
         ExchangeResult::NotStarted,
         2,
         {"disable", "repaint", "exchange"}},
        {"chooser first",
         true,
         true,
         ExchangeResult::Completed,
         1,
         {"disable", "repaint", "chooser", "exchange", "select", "enable"}},
        {"no adapter: ended, scan still completes",
         true,
         false,
         ExchangeResult::Completed,
         1,
         {"disable", "repaint", "chooser", "end", "exchange", "select", "enable"}},
        {"no adapter, socket not opened",
         true,
         false,
         ExchangeResult::NotStarted,
         0,
         {"disable", "repaint", "chooser", "end", "exchange"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScanWindow w;
        w.rows.rows.resize(3);  // rows of an earlier scan
        MacIndex.Set("stale", 0);
        AdapterChooserPending = c.pending ? 1 : 0;
        w.chooserHasAdapter = c.chooserHasAdapter;
        w.exchangeResult = c.result;
        for (int i = 0; i < c.replies; ++i) {
            w.replies.push_back(Reply(static_cast<std::uint8_t>(i)));
        }

        ScanDevices(w);

        EXPECT_EQ(w.log, c.log);
        EXPECT_EQ(AdapterChooserPending, 0);
        const bool listed = c.result != ExchangeResult::NotStarted && c.replies > 0;
        EXPECT_EQ(w.rows.RowCount(), listed ? c.replies : 0);
        EXPECT_EQ(w.commandsEnabled, listed);
        EXPECT_EQ(w.selectedFirstRow, listed);
        EXPECT_FALSE(MacIndex.Contains("stale"));
        if (c.pending) {
            EXPECT_TRUE(w.indexEmptyAtChooser);
        }
    }
}

TEST_F(ScanDevicesTest, SendsTheDiscoveryRequestFromTheSelectedAddress) {
    std::strcpy(SelectedAdapter.addressText, "10.0.0.5");
    ScanDevices(window);
    EXPECT_EQ(window.sentRequest, BuildDiscoveryRequest());
    EXPECT_EQ(window.boundAddress, "10.0.0.5");

    SelectedAdapter = SelectedAdapterState{};
    ScanDevices(window);
    EXPECT_EQ(window.boundAddress, "");
}

TEST_F(ScanDevicesTest, AddressWithoutTerminatorIsReadWithinItsField) {
    std::memset(SelectedAdapter.addressText, '1', sizeof SelectedAdapter.addressText);
    ScanDevices(window);
    EXPECT_EQ(window.boundAddress, std::string(kAddressTextSize, '1'));
}

TEST_F(ScanDevicesTest, NextScanAfterASortListsInArrivalOrderAgain) {
    // Arrival order 9, 4, 6: a sort by MAC reorders the rows but not the table or the index.
    window.replies = {Reply(9), Reply(4), Reply(6)};
    ScanDevices(window);
    window.rows.SortByColumn(kMacColumn);
    ASSERT_EQ(window.rows.rows[0].texts[kNameColumn], "dev-4");

    window.replies = {Reply(6), Reply(9), Reply(4), Reply(9)};
    ScanDevices(window);

    ASSERT_EQ(window.rows.RowCount(), 3);
    const char* names[] = {"dev-6", "dev-9", "dev-4"};
    for (int n = 0; n < 3; ++n) {
        const auto& row = window.rows.rows[static_cast<std::size_t>(n)];
        EXPECT_EQ(row.texts[kNameColumn], names[n]);
        EXPECT_EQ(row.data, n);
        EXPECT_EQ(DeviceTable[static_cast<std::size_t>(n)].systemName(), names[n]);
        int index = -1;
        ASSERT_TRUE(MacIndex.Lookup(row.texts[kMacColumn], &index));
        EXPECT_EQ(index, n);
    }
    EXPECT_EQ(MacIndex.size(), 3u);
}

}  // namespace
}  // namespace netsonde
