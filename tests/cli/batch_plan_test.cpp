// The plan command's choice of devices and its rows: filters, MAC order, addresses skipped
// because others hold them, devices that keep theirs, and the plans it must refuse to write.
#include "cli/batch_plan.h"

#include <gtest/gtest.h>

#include "config/address_check.h"
#include "protocol/ipv4_number.h"

namespace netsonde::cli {
namespace {

commission::FoundDevice Device(std::uint8_t macEnd, const char* name, const char* ip,
                               AddressType type, const char* description,
                               const char* mask = "255.255.255.0") {
    DeviceRecord record;
    record.setMarker(kRequestMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({2, 0, 0x5e, 0x40, 0, macEnd});
    record.writeSystemName(name);
    record.setIpAddress(ParseDottedQuad(ip));
    record.setSubnetMask(ParseDottedQuad(mask));
    record.setGateway({198, 18, 0, 254});
    record.setTftpServer({198, 18, 0, 5});
    record.writeSystemDescription(description);
    record.setIpAddressType(type);
    return {record, {"198.18.0.1"}};
}

std::vector<DeviceMatch> Matches(const std::vector<const char*>& texts) {
    std::vector<DeviceMatch> matches;
    for (const char* text : texts) {
        DeviceMatch match;
        std::string error;
        EXPECT_TRUE(ParseDeviceMatch(text, &match, &error)) << text;
        matches.push_back(match);
    }
    return matches;
}

TEST(BatchPlanTest, Filters) {
    const commission::FoundDevice cam =
        Device(0x0a, "Cam-01", "198.18.0.200", AddressType::Static, "IP camera v2");
    const struct {
        std::vector<const char*> matches;
        bool expected;
    } cases[] = {
        {{}, true},
        {{"mac=02:00:5E:40:00:0A"}, true},
        {{"mac=02-00-5e-40-*"}, true},
        {{"name=cam-*"}, true},
        {{"name=cam"}, false},
        {{"name=*"}, true},
        {{"name="}, false},
        {{"description=*camera*"}, true},
        {{"description=*camera"}, false},
        {{"description=*a*a*"}, true},
        {{"ip=198.18.0.2*"}, true},
        {{"ip=198.18.0.2"}, false},
        {{"type=static"}, true},
        {{"name=cam-*", "type=dynamic"}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeviceMatches(cam, Matches(c.matches)), c.expected)
            << (c.matches.empty() ? "" : c.matches.back());
    }
    DeviceMatch match;
    std::string error;
    EXPECT_FALSE(ParseDeviceMatch("colour=red", &match, &error));
    EXPECT_FALSE(ParseDeviceMatch("name", &match, &error));
}

TEST(BatchPlanTest, RowsAndRefusals) {
    commission::FoundDevices found;
    const commission::FoundDevice devices[] = {
        Device(3, "cam-c", "198.18.0.200", AddressType::Static, "IP camera"),
        Device(1, "cam-a", "198.18.0.200", AddressType::Static, "IP camera"),
        Device(2, "cam-b", "198.18.0.12", AddressType::Static, "IP camera"),
        Device(9, "core", "198.18.0.11", AddressType::Static, "Switch"),
        Device(5, "cam-d", "198.18.0.200", AddressType::Dynamic, "IP camera", "255.255.0.0"),
    };
    for (const commission::FoundDevice& device : devices) {
        found.Add("198.18.0.1", device.record);
    }
    const auto settings = [](const char* first, const char* mask, std::optional<AddressType> type) {
        BatchSettings s;
        if (first != nullptr) {
            s.first = Ipv4Number(ParseDottedQuad(first));
        }
        if (mask != nullptr) {
            s.common.mask = mask;
        }
        s.common.type = type;
        return s;
    };
    const std::vector<const char*> staticCams = {"description=IP camera", "type=static"};
    const struct {
        const char* what;
        std::vector<const char*> matches;
        BatchSettings settings;
        std::vector<std::string>
            expected;  // "MAC-END IP MASK" per row, or the first problem's start
    } cases[] = {
        {"by MAC, past the switch and this workstation; cam-b keeps its address",
         staticCams,
         settings("198.18.0.10", nullptr, {}),
         {"01 198.18.0.10 -", "02 - -", "03 198.18.0.14 -"}},
        {"a given mask is the subnet and goes to every row",
         staticCams,
         settings("198.18.0.254", "255.255.0.0", {}),
         {"01 198.18.0.254 255.255.0.0", "02 198.18.0.255 255.255.0.0",
          "03 198.18.1.0 255.255.0.0"}},
        {"running out",
         staticCams,
         settings("198.18.0.253", nullptr, {}),
         {"only 2 of the 3 devices fit"}},
        {"the devices' masks differ",
         {"name=cam-*"},
         settings("198.18.0.10", nullptr, {}),
         {"the devices hold different subnet masks (255.255.255.0, 255.255.0.0)"}},
        {"an address for a device that stays dynamic",
         {"name=cam-*"},
         settings("198.18.0.10", "255.255.255.0", {}),
         {"02-00-5e-40-00-05: an IP address"}},
        {"made static, it gets one",
         {"name=cam-*"},
         settings("198.18.0.10", "255.255.255.0", AddressType::Static),
         {"01 198.18.0.10 255.255.255.0", "02 - 255.255.255.0", "03 198.18.0.14 255.255.255.0",
          "05 198.18.0.15 255.255.255.0"}},
        {"made dynamic, addresses left alone",
         {"name=cam-d"},
         settings(nullptr, nullptr, AddressType::Dynamic),
         {"05 - -"}},
        {"nothing matched", {"name=printer"}, settings("198.18.0.10", nullptr, {}), {}},
    };
    const std::vector<std::uint32_t> own = {Ipv4Number({198, 18, 0, 13})};
    for (const auto& c : cases) {
        const BatchPlan plan = PlanBatch(found, Matches(c.matches), c.settings, own);
        std::vector<std::string> got;
        for (const commission::PlanRow& row : plan.rows) {
            got.push_back(row.mac.substr(15) + " " + row.options.ip.value_or("-") + " " +
                          row.options.mask.value_or("-"));
        }
        if (!plan.problems.empty()) {
            got.push_back(plan.problems.front().substr(0, c.expected.front().size()));
        }
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace netsonde::cli
