// Change Several Devices' rules without a window: a batch of one sends the Change dialog's bytes
// (and netsonde-cli set's), the checks stop a batch in the dialog's order with the device named,
// addresses are handed out around the devices left alone, and a run stops between two devices
// and verifies once.
#include "commission/batch_change.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "commission/batch_run.h"
#include "commission/change_plan.h"
#include "config/change_fields.h"
#include "config/set_request.h"
#include "protocol/text_forms.h"

namespace netsonde::commission {
namespace {

DeviceRecord Device(std::uint8_t last, const char* description, AddressType type,
                    Ipv4Bytes gateway = {10, 0, 0, 254}) {
    DeviceRecord record;
    record.setMarker(kRequestMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({0x02, 0x00, 0x5e, 0x40, 0x00, last});
    record.setIpAddress({10, 0, 0, 200});
    record.setSubnetMask({255, 255, 255, 0});
    record.setGateway(gateway);
    record.setTftpServer({10, 0, 0, 5});
    record.writeImageFileName("cam.bin");
    record.writeSystemName("cam");
    record.writeSystemDescription(description);
    record.writePassword("admin");
    record.setIpAddressType(type);
    return record;
}

TEST(BatchChangeTest, BatchOfOneSendsTheChangeDialogsBytes) {
    struct Case {
        DeviceRecord stored;
        BatchSettings settings;
        // What the operator leaves in that device's Change dialog for the same inputs.
        void (*typed)(ChangeFields*);
    };
    BatchSettings all;
    all.type = AddressType::Static;
    all.firstIp = "10.0.0.31";
    all.mask = "255.255.0.0";
    all.gateway = "10.0.0.1";
    all.tftp = "10.0.0.6";
    all.image = "new.bin";
    all.password = "s3cret";
    BatchSettings toDynamic;
    toDynamic.type = AddressType::Dynamic;
    const Case cases[] = {
        {Device(1, "IP camera", AddressType::Static), all,
         [](ChangeFields* f) {
             f->ipText = "10.0.0.31", f->maskText = "255.255.0.0", f->gatewayText = "10.0.0.1";
             f->tftpServerText = "10.0.0.6", f->imageFileText = "new.bin",
             f->passwordText = "s3cret";
         }},
        // A "v" device's dialog does not let the TFTP server and image file be edited.
        {Device(2, "Camera v2", AddressType::Dynamic), all,
         [](ChangeFields* f) {
             f->type = AddressType::Static, f->ipText = "10.0.0.31", f->maskText = "255.255.0.0";
             f->gatewayText = "10.0.0.1", f->passwordText = "s3cret";
         }},
        {Device(3, "IP camera", AddressType::Static), BatchSettings{}, [](ChangeFields*) {}},
        {Device(4, "IP camera", AddressType::Static), toDynamic,
         [](ChangeFields* f) { f->type = AddressType::Dynamic; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatMacText(c.stored.mac()));
        ChangeFields fields = StoredChangeFields(c.stored);
        c.typed(&fields);
        const BatchPlan plan = PlanBatch({{c.stored, true}}, c.settings, {});
        ASSERT_FALSE(plan.problem) << plan.problem->message;
        ASSERT_EQ(plan.entries.size(), 1u);
        EXPECT_TRUE(plan.entries[0].request == BuildSetRequest(c.stored, fields));

        // And what netsonde-cli set sends for the options that apply to that device.
        ChangeOptions options;
        options.type = c.settings.type;
        options.ip = c.settings.firstIp;
        options.mask = c.settings.mask;
        options.gateway = c.settings.gateway;
        options.password = c.settings.password;
        if (!DescriptionHasV(c.stored)) {
            options.tftp = c.settings.tftp;
            options.image = c.settings.image;
        }
        const PlannedChange set = PlanChange(c.stored, options);
        EXPECT_EQ(set.error, "");
        EXPECT_TRUE(set.request == plan.entries[0].request);
    }
}

TEST(BatchChangeTest, ChecksStopTheBatchInTheDialogsOrder) {
    const DeviceRecord a = Device(1, "IP camera", AddressType::Static);
    const DeviceRecord noGateway = Device(2, "IP camera", AddressType::Static, {0, 0, 0, 0});
    const DeviceRecord withV = Device(3, "Camera v2", AddressType::Static);
    struct Case {
        std::vector<BatchDevice> devices;
        BatchSettings settings;
        std::string message;
        BatchSetting setting;
        bool given;
    };
    const auto with = [](auto change) {
        BatchSettings settings;
        change(&settings);
        return settings;
    };
    const Case cases[] = {
        {{{a, false}}, {}, "Check the devices to change.", BatchSetting::Devices, true},
        {{{a, true}},
         with([](BatchSettings* s) { s->firstIp = "10.0.0"; }),
         "02-00-5e-40-00-01: Invalid IP Address\r\n",
         BatchSetting::FirstIp,
         true},
        {{{a, true}},
         with([](BatchSettings* s) { s->firstIp = "10.0.0.9", s->stepText = "256"; }),
         "The step is a number from 1 to 255.",
         BatchSetting::Step,
         true},
        {{{a, true}, {withV, true}, {a, true}},
         with([](BatchSettings* s) { s->firstIp = "10.0.0.253"; }),
         "Only 2 of the 3 devices fit from 10.0.0.253 by step 1 in its subnet (mask "
         "255.255.255.0).",
         BatchSetting::FirstIp,
         true},
        // The stored gateway the operator did not replace: the check box gets the focus.
        {{{a, true}, {noGateway, true}},
         {},
         "02-00-5e-40-00-02: Invalid Gateway IP Address",
         BatchSetting::Gateway,
         false},
        {{{noGateway, true}},
         with([](BatchSettings* s) { s->gateway = "10.0.0.256"; }),
         "02-00-5e-40-00-02: Invalid Gateway IP Address",
         BatchSetting::Gateway,
         true},
        {{{withV, true}, {a, true}},
         with([](BatchSettings* s) { s->tftp = "0.0.0.0"; }),
         "02-00-5e-40-00-01: Invalid TFTP Server IP Address",
         BatchSetting::Tftp,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const BatchPlan plan = PlanBatch(c.devices, c.settings, {});
        ASSERT_TRUE(plan.problem.has_value());
        EXPECT_EQ(plan.problem->message, c.message);
        EXPECT_EQ(plan.problem->setting, c.setting);
        EXPECT_EQ(plan.problem->given, c.given);
        EXPECT_TRUE(plan.entries.empty());
    }
}

TEST(BatchChangeTest, AddressesSkipTheDevicesLeftAloneDynamicOnesAndTheWorkstation) {
    DeviceRecord other = Device(9, "Switch", AddressType::Static);
    other.setIpAddress({10, 0, 0, 11});
    DeviceRecord dynamic = Device(2, "IP camera", AddressType::Dynamic);
    dynamic.setIpAddress({10, 0, 0, 13});  // from its DHCP server; it keeps it
    BatchSettings settings;
    settings.firstIp = "10.0.0.10";
    settings.stepText = "1";
    const BatchPlan plan = PlanBatch({{Device(1, "IP camera", AddressType::Static), true},
                                      {other, false},
                                      {dynamic, true},
                                      {Device(3, "IP camera", AddressType::Static), true}},
                                     settings, {0x0A00000Cu});  // the workstation's 10.0.0.12
    ASSERT_FALSE(plan.problem);
    EXPECT_EQ(plan.newIpTexts, (std::vector<std::string>{"10.0.0.10", "", "dynamic", "10.0.0.14"}));
    ASSERT_EQ(plan.entries.size(), 3u);
    EXPECT_EQ(plan.entries[2].device, 3u);
    EXPECT_EQ(FormatIpText(plan.entries[2].request.ipAddress()), "10.0.0.14");
    EXPECT_EQ(FormatIpText(plan.entries[1].request.ipAddress()), "10.0.0.13") << "dynamic";
}

// Four requests: accepted, refused, then Stop pressed while the third is in flight, so the fourth
// is not sent and nothing is verified; without Stop, one verification tells seen from not seen.
TEST(BatchChangeTest, RunStopsBetweenDevicesAndVerifiesOnce) {
    std::vector<BatchEntry> entries;
    for (std::uint8_t n = 1; n <= 4; ++n) {
        const DeviceRecord stored = Device(n, "IP camera", AddressType::Static);
        ChangeFields fields = StoredChangeFields(stored);
        fields.ipText = "10.0.0." + std::to_string(n);
        entries.push_back({n, stored, BuildSetRequest(stored, fields)});
    }
    const ExchangeOutcome outcomes[] = {{ExchangeResult::Accepted, 0},
                                        {ExchangeResult::Rejected, 256},
                                        {ExchangeResult::NoAnswer, 0},
                                        {ExchangeResult::Accepted, 0}};
    for (const bool pressStop : {true, false}) {
        SCOPED_TRACE(pressStop ? "Stop" : "to the end");
        std::atomic<bool> stop{false};
        std::size_t sent = 0;
        int rescans = 0;
        BatchIo io;
        io.send = [&](const DeviceRecord&) {
            stop = pressStop && sent == 2;
            return outcomes[sent++];
        };
        io.rescan = [&](FoundDevices* heard) {
            ++rescans;
            DeviceRecord reply = entries[0].request;  // device 1 shows its new address
            reply.setOpcode(kDiscoveryReply);
            heard->Add("10.0.0.1", reply);
            return true;
        };
        io.verifyTimeoutSeconds = 0;
        std::vector<std::string> results(entries.size());
        std::string verifying;
        RunBatch(entries, io, stop, [&](const BatchEvent& event) {
            if (event.kind == BatchEvent::Kind::Result) {
                results[event.entry] = BatchResultText(event.result);
            } else if (event.kind == BatchEvent::Kind::Verifying) {
                verifying =
                    std::to_string(event.verified) + " of " + std::to_string(event.accepted);
            }
        });
        EXPECT_EQ(sent, pressStop ? 3u : 4u);
        EXPECT_EQ(rescans, pressStop ? 0 : 1);
        EXPECT_EQ(results, pressStop ? (std::vector<std::string>{"Accepted", "Refused: subnet mask",
                                                                 "No answer", "Not sent"})
                                     : (std::vector<std::string>{"Verified", "Refused: subnet mask",
                                                                 "No answer", "Not seen"}));
        EXPECT_EQ(verifying, pressStop ? "" : "1 of 2");
    }
}

}  // namespace
}  // namespace netsonde::commission
