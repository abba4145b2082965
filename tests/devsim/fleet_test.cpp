// The simulated devices' answers: which requests they answer and how often, the bytes of their
// replies, the effect of set requests on their records, and the stray datagrams they add.
#include "tools/devsim/fleet.h"

#include <gtest/gtest.h>

#include <sstream>

namespace devsim {
namespace {

using netsonde::DeviceRecord;

std::vector<DeviceSetup> Devices(const std::string& text) {
    std::istringstream input(text);
    Scenario scenario;
    ParseError error;
    EXPECT_TRUE(ParseScenario(input, &scenario, &error)) << error.line << ": " << error.message;
    return scenario.devices;
}

std::vector<Outgoing> Send(DeviceFleet& fleet, const DeviceRecord& request) {
    return fleet.Answer(request.data(), request.size());
}

DeviceRecord AsRecord(const Outgoing& outgoing) {
    DeviceRecord record;
    EXPECT_TRUE(DeviceRecord::FromDatagram(outgoing.bytes.data(), outgoing.bytes.size(), &record));
    return record;
}

DeviceRecord SetRequestFor(const DeviceSetup& device) {
    DeviceRecord request = device.record;
    request.setMarker(netsonde::kRequestMarker);
    request.setOpcode(netsonde::kSetRequest);
    request.setFieldMask(0x0716);
    request.writeSystemName("renamed");
    request.setIpAddress({198, 18, 0, 99});
    return request;
}

TEST(FleetTest, DiscoveryBehaviourLimitsAnswers) {
    const struct {
        const char* behaviour;
        std::size_t answers[3];  // to the first, second and third request
    } cases[] = {
        {"every", {1, 1, 1}}, {"first", {1, 0, 0}}, {"never", {0, 0, 0}}, {"2", {1, 1, 0}}};
    for (const auto& c : cases) {
        DeviceFleet fleet(
            Devices(std::string("device\nmac 02:00:00:00:00:01\ndiscovery ") + c.behaviour + "\n"),
            1);
        for (int attempt = 0; attempt < 3; ++attempt) {
            EXPECT_EQ(Send(fleet, netsonde::BuildDiscoveryRequest()).size(), c.answers[attempt])
                << c.behaviour << " attempt " << attempt;
        }
    }
}

TEST(FleetTest, InterfacesLimitWhereADeviceIsHeard) {
    DeviceFleet fleet(Devices("device\nmac 02:00:00:00:00:01\ninterfaces dev1\n"
                              "device\nmac 02:00:00:00:00:02\n"),
                      1);
    const DeviceRecord discovery = netsonde::BuildDiscoveryRequest();
    const DeviceRecord set = SetRequestFor(fleet.device(0));
    const struct {
        const char* arrivedOn;
        std::size_t discoveryAnswers;
        std::size_t setAnswers;
    } cases[] = {{"dev0", 1, 0}, {"dev1", 2, 1}, {"", 2, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(fleet.Answer(discovery.data(), discovery.size(), c.arrivedOn).size(),
                  c.discoveryAnswers)
            << c.arrivedOn;
        EXPECT_EQ(fleet.Answer(set.data(), set.size(), c.arrivedOn).size(), c.setAnswers)
            << c.arrivedOn;
    }
}

TEST(FleetTest, DiscoveryReplyIsTheFullRecordWithItsMarkerAndOpcode2) {
    const std::vector<DeviceSetup> devices = Devices(
        "device\nmac 02:00:00:00:00:01\nname one\nmarker 0xAC\nreply broadcast\n"
        "delay 30\ndevice\nmac 02:00:00:00:00:02\n");
    DeviceFleet fleet(devices, 1);
    const std::vector<Outgoing> out = Send(fleet, netsonde::BuildDiscoveryRequest());
    ASSERT_EQ(out.size(), 2u);
    DeviceRecord expected = devices[0].record;
    expected.setMarker(0xAC);
    expected.setOpcode(2);
    EXPECT_EQ(AsRecord(out[0]), expected);
    EXPECT_EQ(out[0].destination, ReplyTo::Broadcast);
    EXPECT_EQ(out[0].delayMilliseconds, 30);
    EXPECT_EQ(AsRecord(out[1]).marker(), 0xAB);
    EXPECT_EQ(out[1].destination, ReplyTo::Sender);
    EXPECT_EQ(out[1].delayMilliseconds, 0);
}

TEST(FleetTest, OnlyExactRequestsWithMarkerABAreAnswered) {
    DeviceFleet fleet(Devices("device\nmac 02:00:00:00:00:01\n"), 1);
    DeviceRecord request = netsonde::BuildDiscoveryRequest();
    EXPECT_TRUE(fleet.Answer(request.data(), 611).empty());
    EXPECT_TRUE(fleet.Answer(request.data(), 0).empty());
    std::vector<std::uint8_t> longer(request.data(), request.data() + 612);
    longer.push_back(0);
    EXPECT_TRUE(fleet.Answer(longer.data(), longer.size()).empty());
    request.setMarker(0xAC);
    EXPECT_TRUE(Send(fleet, request).empty());
    request.setMarker(0xAB);
    request.setOpcode(2);  // another device's reply seen on the segment
    EXPECT_TRUE(Send(fleet, request).empty());
    request.setOpcode(1);
    EXPECT_EQ(Send(fleet, request).size(), 1u);
}

TEST(FleetTest, AcceptedSetRequestBecomesTheDevicesRecord) {
    const std::vector<DeviceSetup> devices = Devices(
        "device\nmac 02:00:00:00:00:01\nname old\nmarker 0xAC\n"
        "device\nmac 02:00:00:00:00:02\nname other\n");
    DeviceFleet fleet(devices, 1);
    const DeviceRecord request = SetRequestFor(devices[0]);
    const std::vector<Outgoing> out = Send(fleet, request);
    ASSERT_EQ(out.size(), 1u);  // only the device with the request's MAC answers
    DeviceRecord accepted = request;
    accepted.setMarker(0xAC);
    accepted.setOpcode(netsonde::kSetAccepted);
    EXPECT_EQ(AsRecord(out[0]), accepted);

    const std::vector<Outgoing> scan = Send(fleet, netsonde::BuildDiscoveryRequest());
    ASSERT_EQ(scan.size(), 2u);
    DeviceRecord changed = request;
    changed.setMarker(0xAC);
    changed.setOpcode(netsonde::kDiscoveryReply);
    EXPECT_EQ(AsRecord(scan[0]), changed);
    EXPECT_EQ(AsRecord(scan[1]).systemName(), "other");
}

TEST(FleetTest, SetBehavioursAnswerAsConfigured) {
    const struct {
        const char* behaviour;
        std::vector<std::uint8_t> opcodes;
        bool applied;
    } cases[] = {{"accept", {4}, true},
                 {"reject 256", {5}, false},
                 {"silent", {}, false},
                 {"accept-then-reject 256", {4, 5}, true}};
    for (const auto& c : cases) {
        const std::vector<DeviceSetup> devices = Devices(
            std::string("device\nmac 02:00:00:00:00:01\nname old\nset ") + c.behaviour + "\n");
        DeviceFleet fleet(devices, 1);
        const std::vector<Outgoing> out = Send(fleet, SetRequestFor(devices[0]));
        ASSERT_EQ(out.size(), c.opcodes.size()) << c.behaviour;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const DeviceRecord reply = AsRecord(out[i]);
            EXPECT_EQ(reply.opcode(), c.opcodes[i]) << c.behaviour;
            if (reply.opcode() == 5) {
                EXPECT_EQ(out[i].bytes[2], 0x01) << c.behaviour;  // ErrorMask, big-endian
                EXPECT_EQ(out[i].bytes[3], 0x00) << c.behaviour;
            }
        }
        EXPECT_EQ(fleet.device(0).record.systemName(), c.applied ? "renamed" : "old")
            << c.behaviour;
    }
}

TEST(FleetTest, StraysComeInTheirOrderAroundTheAnswer) {
    const struct {
        const char* lines;
        bool set;
        std::vector<std::size_t> sizes;
        std::vector<int> opcodes;  // of the 612-byte datagrams, in order
    } cases[] = {
        {"strays short long empty", false, {611, 613, 0, 612}, {2}},
        {"strays empty answer marker=0", false, {0, 612, 612}, {2, 2}},
        {"strays opcode=4", false, {612, 612}, {4, 2}},
        {"strays short\ndiscovery never", false, {611}, {}},
        {"strays short", true, {612}, {4}},  // strays only answer discovery by default
        {"strays short answer opcode=2\nstrays-on set", true, {611, 612, 612}, {4, 2}},
        {"strays long\nstrays-on set", false, {612}, {2}},
    };
    for (const auto& c : cases) {
        const std::vector<DeviceSetup> devices =
            Devices(std::string("device\nmac 02:00:00:00:00:01\n") + c.lines + "\n");
        DeviceFleet fleet(devices, 1);
        const std::vector<Outgoing> out = c.set ? Send(fleet, SetRequestFor(devices[0]))
                                                : Send(fleet, netsonde::BuildDiscoveryRequest());
        std::vector<std::size_t> sizes;
        std::vector<int> opcodes;
        for (const Outgoing& o : out) {
            sizes.push_back(o.bytes.size());
            if (o.bytes.size() == 612) {
                opcodes.push_back(o.bytes[1]);
            }
        }
        EXPECT_EQ(sizes, c.sizes) << c.lines;
        EXPECT_EQ(opcodes, c.opcodes) << c.lines;
    }
}

TEST(FleetTest, StrayMarkerChangesOnlyTheMarker) {
    const std::vector<DeviceSetup> devices =
        Devices("device\nmac 02:00:00:00:00:01\nname n\nstrays marker=0x00\n");
    DeviceFleet fleet(devices, 1);
    const std::vector<Outgoing> out = Send(fleet, netsonde::BuildDiscoveryRequest());
    ASSERT_EQ(out.size(), 2u);
    DeviceRecord expected = AsRecord(out[1]);
    expected.setMarker(0x00);
    EXPECT_EQ(AsRecord(out[0]), expected);
}

TEST(FleetTest, JitterStaysWithinItsRange) {
    DeviceFleet fleet(Devices("generate 200\nmac 02:00:00:00:00:01\ndelay 10\njitter 20\n"), 7);
    const std::vector<Outgoing> out = Send(fleet, netsonde::BuildDiscoveryRequest());
    ASSERT_EQ(out.size(), 200u);
    int lowest = 1000, highest = 0;
    for (const Outgoing& o : out) {
        lowest = std::min(lowest, o.delayMilliseconds);
        highest = std::max(highest, o.delayMilliseconds);
    }
    EXPECT_GE(lowest, 10);
    EXPECT_LE(highest, 30);
    EXPECT_LT(lowest, highest);  // not all the same
}

}  // namespace
}  // namespace devsim
