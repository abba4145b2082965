// Parsing of scenario files: what each key writes into the device's record or behaviour, how
// generate blocks number their devices, and that every kind of bad line is an error naming its
// line and key.
#include "tools/devsim/scenario.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

namespace devsim {
namespace {

bool Parse(const std::string& text, Scenario* scenario, ParseError* error) {
    std::istringstream input(text);
    return ParseScenario(input, scenario, error);
}

// One device with a MAC and the given extra line.
Scenario ParseDevice(const std::string& line) {
    Scenario scenario;
    ParseError error;
    EXPECT_TRUE(Parse("device\n  mac 02:00:5e:00:00:01\n  " + line + "\n", &scenario, &error))
        << line << ": " << error.message;
    EXPECT_EQ(scenario.devices.size(), 1u);
    return scenario;
}

std::vector<std::uint8_t> BytesAt(const netsonde::DeviceRecord& record, std::size_t offset,
                                  std::size_t count) {
    return std::vector<std::uint8_t>(record.data() + offset, record.data() + offset + count);
}

struct FieldCase {
    const char* line;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

TEST(ScenarioTest, RecordKeysWriteTheirFields) {
    const FieldCase cases[] = {
        {"ip 198.18.0.10", 44, {198, 18, 0, 10}},
        {"mask 255.255.255.0", 600, {255, 255, 255, 0}},
        {"gateway 198.18.0.254", 604, {198, 18, 0, 254}},
        {"tftp 198.18.0.5", 340, {198, 18, 0, 5}},
        {"uptime 256", 80, {0, 0, 1, 0}},
        {"uptime 0xFFFFFFFF", 80, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"type static", 608, {1, 0, 0, 0}},
        {"type dynamic", 608, {2, 0, 0, 0}},
        {"type 0x01000001", 608, {1, 0, 0, 1}},
        {"reserved 12ab", 42, {0x12, 0xAB}},
        {"reserved 0xFF00", 42, {0xFF, 0x00}},
        {"name abc", 48, {'a', 'b', 'c', 0}},
        {"name tab\\x09\\\\", 48, {'t', 'a', 'b', 9, '\\', 0}},
        {"password s3cret", 4, {'s', '3', 'c', 'r', 'e', 't', 0}},
        {"description Lab switch  # not a comment", 84 + 10, {' ', ' ', '#'}},
        {"image boot.img", 344, {'b', 'o', 'o', 't', '.', 'i', 'm', 'g', 0}},
        {"mac 0A-0b-0C-0d-0E-0f", 36, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}},
    };
    for (const FieldCase& c : cases) {
        const Scenario scenario = ParseDevice(c.line);
        if (scenario.devices.size() == 1) {
            EXPECT_EQ(BytesAt(scenario.devices[0].record, c.offset, c.bytes.size()), c.bytes)
                << c.line;
        }
    }
}

TEST(ScenarioTest, UnterminatedFillsTheWholeFieldAndNothingBeyond) {
    const Scenario name = ParseDevice("unterminated name 0123456789abcdef");
    const netsonde::DeviceRecord& record = name.devices[0].record;
    EXPECT_EQ(record.systemName(), "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(record.uptime(), 0u);  // the next field is untouched

    const Scenario description = ParseDevice("unterminated description x");
    EXPECT_EQ(description.devices[0].record.systemDescription(), std::string(256, 'x'));
    EXPECT_EQ(BytesAt(description.devices[0].record, 340, 4), std::vector<std::uint8_t>(4, 0));

    // The longest text the zero still fits behind is fine with the plain key.
    EXPECT_EQ(ParseDevice("name " + std::string(31, 'n')).devices[0].record.systemName(),
              std::string(31, 'n'));
}

TEST(ScenarioTest, BehaviourKeysSetTheDevicesBehaviour) {
    const DeviceSetup defaults = ParseDevice("# only a comment").devices[0];
    EXPECT_EQ(defaults.replyMarker, 0xAB);
    EXPECT_EQ(defaults.discoveryAnswers, kAnswerEvery);
    EXPECT_EQ(defaults.replyTo, ReplyTo::Sender);
    EXPECT_EQ(defaults.setBehaviour, SetBehaviour::Accept);
    EXPECT_TRUE(defaults.strays.empty());

    EXPECT_EQ(ParseDevice("marker 0xAC").devices[0].replyMarker, 0xAC);
    EXPECT_EQ(ParseDevice("discovery first").devices[0].discoveryAnswers, 1);
    EXPECT_EQ(ParseDevice("discovery never").devices[0].discoveryAnswers, 0);
    EXPECT_EQ(ParseDevice("discovery 2").devices[0].discoveryAnswers, 2);
    EXPECT_EQ(ParseDevice("delay 250").devices[0].delayMilliseconds, 250);
    EXPECT_EQ(ParseDevice("jitter 40").devices[0].jitterMilliseconds, 40);
    EXPECT_EQ(ParseDevice("reply broadcast").devices[0].replyTo, ReplyTo::Broadcast);
    EXPECT_EQ(ParseDevice("reject-opcode 6").devices[0].rejectOpcode, 6);
    EXPECT_EQ(ParseDevice("interfaces dev0  dev1").devices[0].interfaces,
              (std::vector<std::string>{"dev0", "dev1"}));

    const DeviceSetup reject = ParseDevice("set reject 256").devices[0];
    EXPECT_EQ(reject.setBehaviour, SetBehaviour::Reject);
    EXPECT_EQ(reject.errorMask, 256);
    const DeviceSetup both = ParseDevice("set accept-then-reject 0x0004").devices[0];
    EXPECT_EQ(both.setBehaviour, SetBehaviour::AcceptThenReject);
    EXPECT_EQ(both.errorMask, 4);
    EXPECT_EQ(ParseDevice("set silent").devices[0].setBehaviour, SetBehaviour::Silent);

    const DeviceSetup strays =
        ParseDevice("strays short answer long empty marker=0 opcode=4").devices[0];
    const std::vector<Stray> expected = {{StrayKind::Short, 0},  {StrayKind::Answer, 0},
                                         {StrayKind::Long, 0},   {StrayKind::Empty, 0},
                                         {StrayKind::Marker, 0}, {StrayKind::Opcode, 4}};
    EXPECT_EQ(strays.strays, expected);
    const DeviceSetup onSet = ParseDevice("strays-on set").devices[0];
    EXPECT_FALSE(onSet.straysOnDiscovery);
    EXPECT_TRUE(onSet.straysOnSet);
}

TEST(ScenarioTest, PaceAcceptsNamedAndNumericRates) {
    const struct {
        const char* text;
        std::uint64_t rate;
    } cases[] = {{"none", 0},        {"100m", 100000000},  {"1g", 1000000000},
                 {"1G", 1000000000}, {"2500000", 2500000}, {"10k", 10000}};
    for (const auto& c : cases) {
        Scenario scenario;
        ParseError error;
        ASSERT_TRUE(Parse(std::string("pace ") + c.text + "\n", &scenario, &error)) << c.text;
        EXPECT_EQ(scenario.paceBitsPerSecond, c.rate) << c.text;
    }
}

TEST(ScenarioTest, GenerateNumbersItsDevices) {
    Scenario scenario;
    ParseError error;
    ASSERT_TRUE(
        Parse("# three at once\r\n"
              "generate 3\r\n"
              "  mac 02:00:5e:00:00:ff\r\n"
              "  ip 198.18.0.255\r\n"
              "  mask 255.255.0.0\r\n"
              "  name unit-{n}/{n}\r\n"
              "\r\n"
              "device\r\n"
              "  mac 02:00:00:00:00:09\r\n",
              &scenario, &error))
        << error.line << ": " << error.message;
    ASSERT_EQ(scenario.devices.size(), 4u);
    const netsonde::MacBytes lastMac = {0x02, 0x00, 0x5e, 0x00, 0x01, 0x01};
    EXPECT_EQ(scenario.devices[2].record.mac(), lastMac);
    const netsonde::Ipv4Bytes lastIp = {198, 18, 1, 1};  // carries into the next byte
    EXPECT_EQ(scenario.devices[2].record.ipAddress(), lastIp);
    const netsonde::Ipv4Bytes mask = {255, 255, 0, 0};
    EXPECT_EQ(scenario.devices[2].record.subnetMask(), mask);
    EXPECT_EQ(scenario.devices[0].record.systemName(), "unit-1/1");
    EXPECT_EQ(scenario.devices[2].record.systemName(), "unit-3/3");
    EXPECT_EQ(scenario.devices[3].record.systemName(), "");
}

struct ErrorCase {
    std::string text;
    int line;
    const char* field;
    const char* fragment;  // part of the message
};

TEST(ScenarioTest, BadLinesAreErrorsNamingLineAndField) {
    const std::string head = "device\nmac 02:00:5e:00:00:01\n";  // lines 1 and 2
    const ErrorCase cases[] = {
        {"\x01\x02 garbage\n", 1, "\x01\x02", "unknown key"},
        {"name lost\n", 1, "name", "outside a 'device'"},
        {"device now\n", 1, "device", "takes no value"},
        {"generate 0\n", 1, "generate", "device count"},
        {"generate 100001\n", 1, "generate", "device count"},
        {"generate lots\n", 1, "generate", "device count"},
        {"pace 2x\n", 1, "pace", "expected"},
        {"pace 0\n", 1, "pace", "expected"},
        {"device\nname x\n", 1, "mac", "no MAC"},
        {head + "mac 02:00:5e:00:00\n", 3, "mac", "six hex pairs"},
        {head + "mac 02:00:5e:00:00:0g\n", 3, "mac", "six hex pairs"},
        {head + "mac 02:00-5e:00:00:01\n", 3, "mac", "six hex pairs"},
        {head + "ip 256.1.1.1\n", 3, "ip", "dotted IPv4"},
        {head + "ip 1.2.3.4.5\n", 3, "ip", "dotted IPv4"},
        {head + "ip 1..2.3\n", 3, "ip", "dotted IPv4"},
        {head + "ip +1.2.3.4\n", 3, "ip", "dotted IPv4"},
        {head + "gateway\n", 3, "gateway", "dotted IPv4"},
        {head + "uptime 4294967296\n", 3, "uptime", "up to 4294967295"},
        {head + "uptime -1\n", 3, "uptime", "up to 4294967295"},
        {head + "type maybe\n", 3, "type", "static"},
        {head + "reserved 12\n", 3, "reserved", "four hex digits"},
        {head + "reserved 12zz\n", 3, "reserved", "four hex digits"},
        {head + "name " + std::string(32, 'n') + "\n", 3, "name", "use 'unterminated'"},
        {head + "image bad\\q\n", 3, "image", "bad escape"},
        {head + "image bad\\x4\n", 3, "image", "bad escape"},
        {head + "unterminated title x\n", 3, "unterminated", "expected 'name'"},
        {head + "unterminated name\n", 3, "unterminated", "expected a text"},
        {head + "marker 256\n", 3, "marker", "byte value"},
        {head + "interfaces dev0 an-interface-name\n", 3, "interfaces", "longer than 15"},
        {head + "discovery sometimes\n", 3, "discovery", "every"},
        {head + "delay 600001\n", 3, "delay", "milliseconds"},
        {head + "reply elsewhere\n", 3, "reply", "sender"},
        {head + "set reject\n", 3, "set", "error mask"},
        {head + "set reject 65536\n", 3, "set", "error mask"},
        {head + "set accept 4\n", 3, "set", "expected 'accept'"},
        {head + "reject-opcode 4\n", 3, "reject-opcode", "other than 4"},
        {head + "strays short bogus\n", 3, "strays", "unknown stray 'bogus'"},
        {head + "strays opcode=999\n", 3, "strays", "unknown stray"},
        {head + "strays-on never\n", 3, "strays-on", "discovery"},
        {head + "colour blue\n", 3, "colour", "unknown key"},
        {head + std::string("name a\0b\n", 9), 3, "", "zero byte"},
        {head + std::string(5000, 'x') + "\n", 3, "", "longer than"},
        {"generate 2\nmac ff:ff:ff:ff:ff:ff\n", 2, "mac", "run past"},
        {"generate 2\nmac 02:00:00:00:00:01\nip 255.255.255.255\n", 3, "ip", "run past"},
        {"generate 1000\nmac 02:00:00:00:00:01\nname " + std::string(28, 'x') + "{n}\n", 3, "name",
         "the field holds 31"},
    };
    for (const ErrorCase& c : cases) {
        Scenario scenario;
        ParseError error;
        EXPECT_FALSE(Parse(c.text, &scenario, &error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.field, c.field) << c.text;
        EXPECT_NE(error.message.find(c.fragment), std::string::npos)
            << c.text << " gave: " << error.message;
    }
}

// Random lines made of real keys and random bytes: every input either parses or gives an error
// with a line number inside the input; run under a sanitizer this also checks the bounds.
TEST(ScenarioTest, RandomInputNeverBreaksTheParser) {
    const char* const keys[] = {"device",       "generate", "mac",      "ip",     "name",
                                "unterminated", "type",     "reserved", "strays", "set",
                                "pace",         "uptime",   "#"};
    std::mt19937 random(2719);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int lines = 1 + static_cast<int>(random() % 12);
        for (int line = 0; line < lines; ++line) {
            text += keys[random() % (sizeof keys / sizeof keys[0])];
            text += ' ';
            const int length = static_cast<int>(random() % 40);
            for (int i = 0; i < length; ++i) {
                text += static_cast<char>(random() % 2 ? "0123456789abcdef:.{}n\\x "[random() % 25]
                                                       : static_cast<char>(random() % 256));
            }
            text += '\n';
        }
        Scenario scenario;
        ParseError error;
        if (!Parse(text, &scenario, &error)) {
            EXPECT_GE(error.line, 1) << text;
            EXPECT_LE(error.line, lines) << text;
            EXPECT_FALSE(error.message.empty()) << text;
        }
    }
}

TEST(ScenarioTest, ErrorTextNamesFileLineAndField) {
    ParseError error;
    error.line = 7;
    error.field = "ip";
    error.message = "bad";
    EXPECT_EQ(FormatParseError("a.scn", error), "a.scn:7: field 'ip': bad");
    error.field.clear();
    EXPECT_EQ(FormatParseError("a.scn", error), "a.scn:7: bad");
}

}  // namespace
}  // namespace devsim
