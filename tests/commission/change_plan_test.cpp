// The set command's request against the Change dialog's for the same inputs, the usage errors
// that stop a request that would not be applied, argument checks, and verification.
#include "commission/change_plan.h"

#include <gtest/gtest.h>

#include "config/change_fields.h"

namespace netsonde::commission {
namespace {

DeviceRecord Stored(AddressType type, const char* description, const char* password = "") {
    DeviceRecord record;
    record.setMarker(kRequestMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({2, 0, 0x5e, 0, 0, 1});
    record.writeSystemName("core-sw");
    record.setIpAddress({198, 18, 0, 10});
    record.setSubnetMask({255, 255, 255, 0});
    record.setGateway({198, 18, 0, 254});
    record.setTftpServer({198, 18, 0, 5});
    record.writeImageFileName("core.bin");
    record.writeSystemDescription(description);
    record.writePassword(password);
    record.setIpAddressType(type);
    return record;
}

TEST(ChangePlanTest, RequestIsTheDialogsAndRefusalsSayWhy) {
    const DeviceRecord staticSwitch = Stored(AddressType::Static, "Switch", "old");
    const DeviceRecord withV = Stored(AddressType::Static, "Camera v2");
    DeviceRecord noGateway = Stored(AddressType::Dynamic, "AP");
    noGateway.setGateway({0, 0, 0, 0});

    struct Case {
        const char* what;
        const DeviceRecord* stored;
        ChangeOptions options;
        std::uint16_t mask;      // expected ChangeMask when no error
        const char* errorStart;  // expected start of the error, or nullptr
    };
    ChangeOptions ip;
    ip.ip = "198.18.0.20";
    ChangeOptions dynamicWithIp = ip;
    dynamicWithIp.type = AddressType::Dynamic;
    ChangeOptions tftp;
    tftp.tftp = "198.18.0.6";
    ChangeOptions badMaskAndIp;
    badMaskAndIp.ip = "0.1.2.3";
    badMaskAndIp.mask = "255.0.255.0";
    ChangeOptions badMask;
    badMask.mask = "255.0.255.0";
    ChangeOptions makeStatic;
    makeStatic.type = AddressType::Static;
    const std::vector<Case> cases = {
        {"nothing given", &staticSwitch, {}, 1999, nullptr},
        {"new address", &staticSwitch, ip, 1999, nullptr},
        {"v device", &withV, ip, 1806, nullptr},
        {"dynamic with address", &staticSwitch, dynamicWithIp, 0, "an IP address, subnet mask"},
        {"v device with tftp", &withV, tftp, 0, "the device's description contains \"v\""},
        {"ip checked first", &staticSwitch, badMaskAndIp, 0, "Invalid IP Address"},
        {"typed mask", &staticSwitch, badMask, 0, "Invalid Subnet Mask"},
        {"stored gateway", &noGateway, makeStatic, 0,
         "Invalid Gateway IP Address (the device's stored value 0.0.0.0; give a new gateway)"},
    };
    for (const Case& c : cases) {
        const PlannedChange plan = PlanChange(*c.stored, c.options);
        if (c.errorStart != nullptr) {
            EXPECT_EQ(plan.error.rfind(c.errorStart, 0), 0u) << c.what << ": " << plan.error;
            continue;
        }
        ASSERT_EQ(plan.error, "") << c.what;
        // The dialog, opened on the same record, with the same typing.
        ChangeFields dialog = StoredChangeFields(*c.stored);
        dialog.ipText = c.options.ip.value_or(dialog.ipText);
        EXPECT_EQ(plan.request, BuildSetRequest(*c.stored, dialog)) << c.what;
        EXPECT_EQ(plan.request.fieldMask(), c.mask) << c.what;
    }
}

TEST(ChangePlanTest, ArgumentsAreCheckedBeforeAnythingIsSent) {
    struct MacCase {
        const char* text;
        bool ok;
    };
    for (const MacCase c : {MacCase{"02-1F-00-0a-b3-7c", true},
                            {"02:1f:00:0A:B3:7C", true},
                            {"02-1f:00-0a-b3-7c", false},
                            {"021f000ab37c", false},
                            {"02-1f-00-0a-b3-7", false},
                            {"02-1f-00-0a-b3-7g", false}}) {
        MacBytes mac{};
        EXPECT_EQ(ParseMacArgument(c.text, &mac), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(mac, (MacBytes{0x02, 0x1f, 0x00, 0x0a, 0xb3, 0x7c})) << c.text;
        }
    }
    ChangeOptions options;
    options.name = std::string(31, 'n');
    options.image = "caf\xC3\xA9.bin";  // UTF-8 in, Latin-1 in the record
    EXPECT_EQ(CheckOptionTexts(&options), "");
    EXPECT_EQ(*options.image, "caf\xE9.bin");
    options.name = std::string(32, 'n');
    EXPECT_EQ(CheckOptionTexts(&options), "the name holds at most 31 characters");
    options.name.reset();
    options.password = "\xE2\x82\xAC";  // the euro sign has no Latin-1 byte
    EXPECT_NE(CheckOptionTexts(&options).find("Latin-1"), std::string::npos);
}

TEST(ChangePlanTest, VerificationComparesTheFlaggedFieldsOnly) {
    const DeviceRecord stored = Stored(AddressType::Static, "Switch", "old");
    ChangeOptions options;
    options.ip = "198.18.0.20";
    options.password = "new-secret";
    options.name = "renamed";
    const DeviceRecord request = PlanChange(stored, options).request;
    EXPECT_EQ(UnverifiedFields(request, stored), (std::vector<std::string>{"ip"}));

    DeviceRecord seen = request;  // the password and name are not looked at
    seen.writePassword("");
    seen.writeSystemName("device kept its name");
    seen.setUptime(5);
    EXPECT_TRUE(UnverifiedFields(request, seen).empty());

    const std::vector<FieldChange> changes = RequestedChanges(stored, request);
    for (const FieldChange& change : changes) {
        EXPECT_EQ(change.before.find("old"), std::string::npos);
        EXPECT_EQ(change.after.find("new-secret"), std::string::npos) << "never the password";
    }
    EXPECT_EQ(changes.front().key, "password");
    EXPECT_EQ(changes.back().key, "name");
    EXPECT_EQ(MaskText(0x0105), "0x0105 (261): password ipAddress subnetMask");
}

}  // namespace
}  // namespace netsonde::commission
