// The record's byte layout, the recognition of replies and the naming of refused fields.
#include "protocol/device_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace netsonde {
namespace {

DeviceRecord Filled(std::uint8_t value) {
    DeviceRecord record;
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        record.data()[i] = value;
    }
    return record;
}

TEST(DeviceRecordTest, DiscoveryRequestIsZeroButMarkerAndOpcode) {
    const DeviceRecord request = BuildDiscoveryRequest();
    ASSERT_EQ(request.size(), 612u);
    EXPECT_EQ(request.data()[0], 0xAB);
    EXPECT_EQ(request.data()[1], 0x01);
    for (std::size_t i = 2; i < kRecordSize; ++i) {
        ASSERT_EQ(request.data()[i], 0) << "offset " << i;
    }
}

TEST(DeviceRecordTest, OnlyExactSizeDatagramsBecomeRecords) {
    std::vector<std::uint8_t> bytes(613, 0x5A);
    DeviceRecord record;
    EXPECT_FALSE(DeviceRecord::FromDatagram(bytes.data(), 611, &record));
    EXPECT_FALSE(DeviceRecord::FromDatagram(bytes.data(), 613, &record));
    EXPECT_FALSE(DeviceRecord::FromDatagram(bytes.data(), 0, &record));
    EXPECT_EQ(record, DeviceRecord());
    ASSERT_TRUE(DeviceRecord::FromDatagram(bytes.data(), 612, &record));
    EXPECT_EQ(record, Filled(0x5A));
}

TEST(DeviceRecordTest, NumbersUseTheirByteOrders) {
    DeviceRecord record;
    record.data()[80] = 0x00;
    record.data()[81] = 0x00;
    record.data()[82] = 0x01;
    record.data()[83] = 0x00;
    EXPECT_EQ(record.uptime(), 256u);

    record.setFieldMask(0x07CF);
    EXPECT_EQ(record.data()[2], 0x07);
    EXPECT_EQ(record.data()[3], 0xCF);

    const std::uint8_t ip[] = {0xC0, 0xA8, 0x01, 0x02};
    std::copy(ip, ip + 4, record.data() + 44);
    EXPECT_EQ(record.ipAddress(), (Ipv4Bytes{192, 168, 1, 2}));

    record.setGateway({10, 0, 0, 254});
    EXPECT_EQ(record.data()[604], 10);
    EXPECT_EQ(record.data()[607], 254);
}

TEST(DeviceRecordTest, AddressTypeIsLittleEndianAndOnlyExactlyOneIsStatic) {
    struct Case {
        std::array<std::uint8_t, 4> bytes;
        AddressType expected;
    };
    const Case cases[] = {
        {{1, 0, 0, 0}, AddressType::Static},
        {{2, 0, 0, 0}, AddressType::Dynamic},
        {{1, 0, 0, 1}, AddressType::Dynamic},
        {{0, 0, 0, 0}, AddressType::Dynamic},
        {{0, 0, 0, 1}, AddressType::Dynamic},
    };
    for (const Case& c : cases) {
        DeviceRecord record;
        std::copy(c.bytes.begin(), c.bytes.end(), record.data() + 608);
        EXPECT_EQ(record.ipAddressType(), c.expected) << int(c.bytes[0]) << " " << int(c.bytes[3]);
    }
    DeviceRecord record = Filled(0xFF);
    record.setIpAddressType(AddressType::Dynamic);
    EXPECT_EQ(record.data()[608], 2);
    EXPECT_EQ(record.data()[609], 0);
    EXPECT_EQ(record.data()[611], 0);
    EXPECT_EQ(record.data()[607], 0xFF);
}

TEST(DeviceRecordTest, TextWriteKeepsTheOldTailAndStaysInsideItsField) {
    DeviceRecord record = Filled(0xEE);
    record.writeSystemName("switch-long-name");
    record.writeSystemName("sw");
    EXPECT_EQ(record.systemName(), "sw");
    EXPECT_EQ(record.data()[48 + 2], 0);
    EXPECT_EQ(record.data()[48 + 3], 't');  // tail of the older text kept
    EXPECT_EQ(record.data()[48 + 31], 0xEE);

    // A text too long for its field is cut so that its zero is the field's last byte.
    record.writePassword(std::string(40, 'p'));
    EXPECT_EQ(record.password(), std::string(31, 'p'));
    EXPECT_EQ(record.data()[4 + 31], 0);
    EXPECT_EQ(record.data()[36], 0xEE);  // mac untouched

    record.writePassword("");
    EXPECT_TRUE(record.passwordEmpty());
    EXPECT_EQ(record.data()[5], 'p');
}

TEST(DeviceRecordTest, FullTextFieldWithoutZeroReadsItsWidthOnly) {
    DeviceRecord record = Filled('x');
    EXPECT_EQ(record.systemName(), std::string(32, 'x'));
    EXPECT_EQ(record.systemDescription(), std::string(256, 'x'));
    EXPECT_EQ(record.imageFileName(), std::string(256, 'x'));
}

TEST(DeviceRecordTest, RecognisesRepliesByMarkerAndOpcode) {
    struct Case {
        std::uint8_t marker, opcode;
        bool discovery;
        bool accepted;
    };
    const Case cases[] = {
        {0xAB, 2, true, false}, {0xAC, 2, true, false}, {0x00, 2, false, false},
        {0xAB, 4, false, true}, {0xAC, 4, false, true}, {0x00, 4, false, false},
        {0xAB, 1, false, false}, {0xAD, 4, false, false},
    };
    for (const Case& c : cases) {
        DeviceRecord record;
        record.setMarker(c.marker);
        record.setOpcode(c.opcode);
        EXPECT_EQ(IsDiscoveryReply(record), c.discovery) << int(c.marker) << "/" << int(c.opcode);
        EXPECT_EQ(CheckSetReply(record).accepted, c.accepted) << int(c.marker) << "/" << int(c.opcode);
    }
}

TEST(DeviceRecordTest, SetReplyCarriesTheErrorMaskOnlyWhenRefusing) {
    DeviceRecord reply;
    reply.setMarker(0xAB);
    reply.setOpcode(5);
    reply.data()[2] = 0x01;
    reply.data()[3] = 0x00;
    SetReplyCheck check = CheckSetReply(reply);
    EXPECT_FALSE(check.accepted);
    EXPECT_EQ(check.errorMask, 256);

    reply.setMarker(0x00);  // unknown marker: not accepted, no field named
    check = CheckSetReply(reply);
    EXPECT_FALSE(check.accepted);
    EXPECT_EQ(check.errorMask, 0);

    reply.setMarker(0xAC);
    reply.setOpcode(4);
    check = CheckSetReply(reply);
    EXPECT_TRUE(check.accepted);
    EXPECT_EQ(check.errorMask, 0);
}

TEST(DeviceRecordTest, ErrorMaskNamesWholeValuesOnly) {
    struct Case {
        std::uint16_t mask;
        const char* name;
    };
    const Case cases[] = {
        {1, "read/write password"}, {2, "settings"}, {4, "IP address"}, {8, "settings"},
        {16, "system name"}, {32, "settings"}, {64, "TFTP server IP address"},
        {128, "image file name"}, {256, "subnet mask"}, {512, "gateway IP address"},
        {1024, "IP address type"}, {2048, "settings"}, {0x8000, "settings"}, {0, "settings"},
        {5, "settings"}, {0xFFFF, "settings"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(ErrorMaskName(c.mask), c.name) << c.mask;
    }
}

}  // namespace
}  // namespace netsonde
