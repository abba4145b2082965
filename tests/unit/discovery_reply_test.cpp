// Which scan replies become devices, and what the table, the index and the row then hold.
#include "discovery/device_reply.h"

#include <gtest/gtest.h>

#include <string>

#include "discovery/device_table.h"
#include "protocol/text_forms.h"
#include "tests/unit/discovery_fake_rows.h"

namespace netsonde {
namespace {

DeviceRecord Reply(int serial, const std::string& name = "switch",
                   std::uint8_t marker = kRequestMarker, std::uint8_t opcode = kDiscoveryReply) {
    DeviceRecord record;
    record.setMarker(marker);
    record.setOpcode(opcode);
    record.setMac({0x02, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(serial >> 8),
                   static_cast<std::uint8_t>(serial)});
    record.setIpAddress(
        {10, 0, static_cast<std::uint8_t>(serial >> 8), static_cast<std::uint8_t>(serial)});
    record.writeSystemName(name);
    record.setUptime(12345678);
    record.writeSystemDescription("managed switch");
    return record;
}

class DeviceReplyTest : public ::testing::Test {
  protected:
    void SetUp() override { MacIndex.RemoveAll(); }
    FakeDeviceRows rows;
};

TEST_F(DeviceReplyTest, OnlyDiscoveryRepliesAreKept) {
    struct Case {
        std::uint8_t marker;
        std::uint8_t opcode;
        bool kept;
    };
    const Case cases[] = {
        {0xAB, kDiscoveryReply, true},  {0xAC, kDiscoveryReply, true},
        {0xAB, kSetAccepted, false},    {0xAC, kDiscoveryRequest, false},
        {0xAB, kSetRequest, false},     {0x00, kDiscoveryReply, false},
        {0xAD, kDiscoveryReply, false},
    };
    for (const Case& c : cases) {
        rows.DeleteAllRows();
        MacIndex.RemoveAll();
        EXPECT_EQ(AddDeviceReply(rows, Reply(1, "x", c.marker, c.opcode)), c.kept)
            << int(c.marker) << "/" << int(c.opcode);
        EXPECT_EQ(rows.RowCount(), c.kept ? 1 : 0);
        EXPECT_EQ(MacIndex.size(), c.kept ? 1u : 0u);
    }
}

TEST_F(DeviceReplyTest, RowEntryAndKeyShareTheArrivalNumber) {
    const DeviceRecord first = Reply(7, "core-1");
    const DeviceRecord second = Reply(3, "edge-2", kAlternateMarker);
    AddDeviceReply(rows, first);
    AddDeviceReply(rows, second);

    ASSERT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(DeviceTable[0], first);
    EXPECT_EQ(DeviceTable[1], second);
    const DeviceRowTexts expected = {"02-00-00-00-00-07", "core-1", "10.0.0.7",
                                     "1 d 10 h 17 m 36 s", "managed switch"};
    EXPECT_EQ(rows.rows[0].texts, expected);
    for (int n = 0; n < 2; ++n) {
        int index = -1;
        ASSERT_TRUE(MacIndex.Lookup(rows.rows[static_cast<std::size_t>(n)].texts[0], &index));
        EXPECT_EQ(index, n);
        EXPECT_EQ(rows.rows[static_cast<std::size_t>(n)].data, n);
    }
}

TEST_F(DeviceReplyTest, FirstReplyOfADeviceWins) {
    const DeviceRecord first = Reply(5, "first-name");
    AddDeviceReply(rows, first);
    EXPECT_FALSE(AddDeviceReply(rows, Reply(5, "second-name")));
    EXPECT_FALSE(AddDeviceReply(rows, Reply(5, "third-name", kAlternateMarker)));

    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.rows[0].texts[kNameColumn], "first-name");
    EXPECT_EQ(DeviceTable[0], first);
    EXPECT_EQ(MacIndex.size(), 1u);
}

TEST_F(DeviceReplyTest, ListStopsAtOneThousandDevices) {
    for (int serial = 0; serial < 1000; ++serial) {
        ASSERT_TRUE(AddDeviceReply(rows, Reply(serial)));
    }
    const DeviceRecord entry999 = DeviceTable[999];
    EXPECT_FALSE(AddDeviceReply(rows, Reply(1000)));
    EXPECT_FALSE(AddDeviceReply(rows, Reply(0)));  // known device at the limit: still nothing
    EXPECT_EQ(rows.RowCount(), 1000);
    EXPECT_EQ(MacIndex.size(), 1000u);
    EXPECT_FALSE(MacIndex.Contains(FormatMacText(Reply(1000).mac())));
    EXPECT_EQ(DeviceTable[999], entry999);
}

TEST_F(DeviceReplyTest, LimitCountsRowsNotKeys) {
    // A list already holding 1000 rows refuses a new device even though the index does not
    // know it: the limit is decided before the duplicate test.
    rows.rows.resize(1000);
    EXPECT_FALSE(AddDeviceReply(rows, Reply(1)));
    EXPECT_EQ(MacIndex.size(), 0u);
}

TEST_F(DeviceReplyTest, RefusedRowStoresNothing) {
    rows.capacity = 1;
    AddDeviceReply(rows, Reply(1));
    const DeviceRecord entry1 = DeviceTable[1];
    EXPECT_FALSE(AddDeviceReply(rows, Reply(2)));
    EXPECT_FALSE(MacIndex.Contains(FormatMacText(Reply(2).mac())));
    EXPECT_EQ(DeviceTable[1], entry1);
    // Once the list takes rows again the device is added normally.
    rows.capacity = 2;
    EXPECT_TRUE(AddDeviceReply(rows, Reply(2)));
}

TEST_F(DeviceReplyTest, FullTextFieldsShowTheirWholeWidthAndNoMore) {
    DeviceRecord record = Reply(1);
    const std::string name(32, 'N');
    const std::string description(256, 'D');
    // Fill both fields to the brim: no zero byte inside them; the bytes behind each field are
    // not zero either (uptime follows the name, the TFTP server the description).
    for (std::size_t i = 0; i < 32; ++i) {
        record.data()[field::kSystemName + i] = 'N';
    }
    for (std::size_t i = 0; i < 256; ++i) {
        record.data()[field::kSystemDescription + i] = 'D';
    }
    record.setUptime(0x41414141);
    record.setTftpServer({'T', 'T', 'T', 'T'});
    AddDeviceReply(rows, record);
    EXPECT_EQ(rows.rows[0].texts[kNameColumn], name);
    EXPECT_EQ(rows.rows[0].texts[kDescriptionColumn], description);
}

}  // namespace
}  // namespace netsonde
