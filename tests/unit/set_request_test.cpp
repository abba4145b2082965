// The set request built from a stored record and the Change dialog's texts: the ChangeMask
// rules, the bytes that must go back to the device untouched, and the order in which invalid
// address texts are reported.
#include "config/set_request.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/resource.h"

namespace netsonde {
namespace {

// A stored record with no zero byte anywhere outside what the device's texts end with, so
// every byte the request carries over is recognisable.
DeviceRecord StoredRecord(const char* description, const char* password) {
    DeviceRecord record;
    for (std::size_t i = 0; i < DeviceRecord::size(); ++i) {
        record.data()[i] = static_cast<std::uint8_t>(0x11 + i * 7 % 200);
    }
    record.setMarker(0xAC);
    record.setOpcode(kDiscoveryReply);
    record.setFieldMask(0x1234);
    record.setMac({0x02, 0x1F, 0x00, 0x0A, 0xB3, 0x7C});
    record.setReserved({0x5A, 0xA5});
    record.setIpAddress({192, 168, 1, 20});
    record.writeSystemName("switch-in-the-basement-rack");
    record.setUptime(0x01020304);
    record.writeSystemDescription(description);
    record.setTftpServer({10, 0, 0, 9});
    record.writeImageFileName("images/old-firmware-image.bin");
    record.setSubnetMask({255, 255, 0, 0});
    record.setGateway({192, 168, 1, 1});
    record.writePassword(password);
    record.data()[field::kIpAddressType] = 2;  // dynamic, with stray upper bytes kept below
    return record;
}

ChangeFields TypedFields(AddressType type) {
    ChangeFields fields;
    fields.nameText = "sw2";
    fields.ipText = "10.1.2.3";
    fields.maskText = "255.255.255.0";
    fields.gatewayText = "10.1.2.254";
    fields.tftpServerText = "10.1.2.50";
    fields.imageFileText = "new.bin";
    fields.passwordText = "secret";
    fields.type = type;
    return fields;
}

bool SameBytes(const DeviceRecord& a, const DeviceRecord& b, std::size_t offset, std::size_t size) {
    return std::memcmp(a.data() + offset, b.data() + offset, size) == 0;
}

TEST(SetRequestTest, ChangeMaskForEveryKindOfDevice) {
    struct Case {
        AddressType type;
        bool hasV;
        bool storedPasswordEmpty;
        std::uint16_t mask;
    };
    const Case cases[] = {
        {AddressType::Static, false, false, 0x07CF},  {AddressType::Static, false, true, 0x07CE},
        {AddressType::Static, true, false, 0x070F},   {AddressType::Static, true, true, 0x070E},
        {AddressType::Dynamic, false, false, 0x04CB}, {AddressType::Dynamic, false, true, 0x04CA},
        {AddressType::Dynamic, true, false, 0x040B},  {AddressType::Dynamic, true, true, 0x040A},
    };
    for (const Case& c : cases) {
        const DeviceRecord stored =
            StoredRecord(c.hasV ? "Managed switch rev 2" : "Managed Switch REV 2",
                         c.storedPasswordEmpty ? "" : "public");
        const DeviceRecord request = BuildSetRequest(stored, TypedFields(c.type));
        SCOPED_TRACE(testing::Message() << "static=" << (c.type == AddressType::Static)
                                        << " v=" << c.hasV << " empty=" << c.storedPasswordEmpty);
        EXPECT_EQ(request.data()[2], c.mask >> 8);
        EXPECT_EQ(request.data()[3], c.mask & 0xFF);
        // The typed password is written whether or not its bit is set.
        EXPECT_EQ(request.password(), "secret");
        EXPECT_EQ(request.marker(), 0xAB);
        EXPECT_EQ(request.opcode(), 3);
    }
}

TEST(SetRequestTest, StaticRequestCarriesTypedFieldsAndKeepsTheRest) {
    const DeviceRecord stored = StoredRecord("Managed switch", "public");
    const DeviceRecord request = BuildSetRequest(stored, TypedFields(AddressType::Static));

    EXPECT_EQ(request.ipAddress(), (Ipv4Bytes{10, 1, 2, 3}));
    EXPECT_EQ(request.subnetMask(), (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(request.gateway(), (Ipv4Bytes{10, 1, 2, 254}));
    EXPECT_EQ(request.tftpServer(), (Ipv4Bytes{10, 1, 2, 50}));
    const std::uint8_t type[] = {1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(request.data() + field::kIpAddressType, type, 4), 0);

    // mac, bytes 42-43, uptime and the description go back exactly as the device sent them.
    EXPECT_TRUE(SameBytes(request, stored, field::kMac, 8));
    EXPECT_TRUE(SameBytes(request, stored, field::kUptime, 4));
    EXPECT_TRUE(
        SameBytes(request, stored, field::kSystemDescription, field::kSystemDescriptionSize));
}

TEST(SetRequestTest, DynamicRequestKeepsStoredAddresses) {
    const DeviceRecord stored = StoredRecord("Managed switch", "public");
    const DeviceRecord request = BuildSetRequest(stored, TypedFields(AddressType::Dynamic));

    EXPECT_TRUE(SameBytes(request, stored, field::kIpAddress, 4));
    EXPECT_TRUE(SameBytes(request, stored, field::kSubnetMask, 8));  // mask and gateway
    EXPECT_EQ(request.tftpServer(), (Ipv4Bytes{10, 1, 2, 50}));
    const std::uint8_t type[] = {2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(request.data() + field::kIpAddressType, type, 4), 0);
}

TEST(SetRequestTest, DeviceWithVSendsItsStoredTftpServerBack) {
    const DeviceRecord stored = StoredRecord("Managed switch v2", "public");
    ChangeFields fields = TypedFields(AddressType::Static);
    fields.tftpServerText = "10.0.0.9";  // the dialog shows the stored address, disabled
    const DeviceRecord request = BuildSetRequest(stored, fields);
    EXPECT_TRUE(SameBytes(request, stored, field::kTftpServer, 4));
}

TEST(SetRequestTest, TextWritesKeepTheOldTailBehindTheirZero) {
    const DeviceRecord stored = StoredRecord("Managed switch", "public-and-long");
    const DeviceRecord request = BuildSetRequest(stored, TypedFields(AddressType::Static));

    struct Case {
        std::size_t offset;
        std::size_t size;
        const char* typed;
    };
    const Case cases[] = {
        {field::kSystemName, field::kSystemNameSize, "sw2"},
        {field::kImageFileName, field::kImageFileNameSize, "new.bin"},
        {field::kPassword, field::kPasswordSize, "secret"},
    };
    for (const Case& c : cases) {
        const std::size_t length = std::strlen(c.typed);
        EXPECT_EQ(std::memcmp(request.data() + c.offset, c.typed, length + 1), 0) << c.typed;
        EXPECT_TRUE(SameBytes(request, stored, c.offset + length + 1, c.size - length - 1))
            << c.typed;
    }
}

TEST(SetRequestTest, EmptyPasswordWritesOneZeroByte) {
    const DeviceRecord stored = StoredRecord("Managed switch", "public");
    ChangeFields fields = TypedFields(AddressType::Static);
    fields.passwordText.clear();
    const DeviceRecord request = BuildSetRequest(stored, fields);
    EXPECT_EQ(request.data()[field::kPassword], 0);
    EXPECT_TRUE(SameBytes(request, stored, field::kPassword + 1, field::kPasswordSize - 1));
    EXPECT_EQ(request.fieldMask() & mask::kPassword, mask::kPassword);  // stored one decides
}

TEST(SetRequestTest, DescriptionHasVLooksOnlyAtTheTextInItsField) {
    struct Case {
        std::string description;
        bool hasV;
    };
    const Case cases[] = {
        {"v", true},
        {"Switch ver 1", true},
        {"SWITCH VER 1", false},
        {"", false},
    };
    for (const Case& c : cases) {
        DeviceRecord record;
        record.writeSystemDescription(c.description);
        EXPECT_EQ(DescriptionHasV(record), c.hasV) << c.description;
    }

    DeviceRecord behindZero;  // a 'v' after the text's zero is not part of the text
    behindZero.writeSystemDescription("switch-v");
    behindZero.writeSystemDescription("switch");
    EXPECT_FALSE(DescriptionHasV(behindZero));

    // A full field without a zero is read to its last byte, and not into the field after it.
    DeviceRecord full;
    full.writeSystemDescription(std::string(255, 'x'));
    full.data()[field::kSystemDescription + 255] = 'v';
    EXPECT_TRUE(DescriptionHasV(full));
    full.data()[field::kSystemDescription + 255] = 'x';
    full.writeImageFileName("v");
    EXPECT_FALSE(DescriptionHasV(full));
}

TEST(SetRequestTest, FirstInvalidAddressIsReportedInOrder) {
    struct Case {
        const char* ip;
        const char* mask;
        const char* gateway;
        const char* tftp;
        bool hasV;
        const char* message;  // null: all pass
        int editId;
    };
    const Case cases[] = {
        {"1.2.3.4", "255.0.0.0", "1.2.3.1", "1.2.3.9", false, nullptr, 0},
        {"bad", "bad", "bad", "bad", false, "Invalid IP Address\r\n", IDC_CHANGE_IP_ADDRESS},
        {"1.2.3.4", "255.0.255.0", "bad", "bad", false, "Invalid Subnet Mask",
         IDC_CHANGE_SUBNET_MASK},
        {"1.2.3.4", "255.0.0.0", "0.0.0.0", "bad", false, "Invalid Gateway IP Address",
         IDC_CHANGE_GATEWAY},
        {"1.2.3.4", "255.0.0.0", "1.2.3.1", "0.0.0.0", false, "Invalid TFTP Server IP Address",
         IDC_CHANGE_TFTP_SERVER},
        {"1.2.3.4", "255.0.0.0", "1.2.3.1", "0.0.0.0", true, nullptr, 0},
        // Too long for an address edit: refused rather than tested as its first 15 characters.
        {"192.168.100.1234", "255.0.0.0", "1.2.3.1", "1.2.3.9", false, "Invalid IP Address\r\n",
         IDC_CHANGE_IP_ADDRESS},
        {"1.2.3.4", "255.255.255.0000", "1.2.3.1", "1.2.3.9", false, "Invalid Subnet Mask",
         IDC_CHANGE_SUBNET_MASK},
    };
    for (AddressType type : {AddressType::Static, AddressType::Dynamic}) {
        for (const Case& c : cases) {
            ChangeFields fields;
            fields.ipText = c.ip;
            fields.maskText = c.mask;
            fields.gatewayText = c.gateway;
            fields.tftpServerText = c.tftp;
            fields.type = type;
            const auto failure = FirstInvalidAddress(fields, c.hasV);
            if (c.message == nullptr) {
                EXPECT_FALSE(failure.has_value()) << c.ip << ' ' << failure->message;
                continue;
            }
            ASSERT_TRUE(failure.has_value()) << c.ip;
            EXPECT_STREQ(failure->message, c.message);
            EXPECT_EQ(failure->editId, c.editId);
        }
    }
}

}  // namespace
}  // namespace netsonde
