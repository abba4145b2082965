// Parser of scenario files: `device` and `generate N` blocks of "key value" lines, plus the
// scenario-wide `pace`. Every error names its line and key; nothing in the input can make the
// parser read out of bounds or allocate without limit.
#include "tools/devsim/scenario.h"

#include <sstream>
#include <string_view>

#include "tools/devsim/raw_fields.h"
#include "tools/devsim/scenario_values.h"

namespace devsim {
namespace {

using netsonde::DeviceRecord;

constexpr std::uint64_t kMaxDelayMilliseconds = 600000;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

// Replaces every "{n}" with the device's 1-based number inside its generate block.
std::string SubstituteNumber(std::string_view text, std::uint64_t number) {
    std::string result;
    const std::string digits = std::to_string(number);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "{n}") {
            result += digits;
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// Where a device's values come from: its block, and its place in a generate block.
struct Placement {
    bool generated = false;
    std::uint64_t index = 0;  // 0-based position inside a generate block
};

class KeyApplier {
  public:
    KeyApplier(const Placement& placement, DeviceSetup* setup, std::string* message)
        : placement_(placement), setup_(setup), message_(message) {}

    bool Apply(std::string_view key, std::string_view value) {
        TextField textField;
        if (TextFieldFromName(key, &textField)) {
            return ApplyText(textField, value);
        }
        if (key == "unterminated") {
            return ApplyUnterminated(value);
        }
        if (key == "mac") {
            return ApplyMac(value);
        }
        if (key == "ip" || key == "mask" || key == "gateway" || key == "tftp") {
            return ApplyAddress(key, value);
        }
        if (key == "uptime") {
            std::uint64_t number = 0;
            if (!ParseNumber(value, 0xFFFFFFFFull, &number)) {
                return Fail("expected a number of hundredths of a second up to 4294967295");
            }
            setup_->record.setUptime(static_cast<std::uint32_t>(number));
            return true;
        }
        if (key == "type") {
            return ApplyType(value);
        }
        if (key == "reserved") {
            return ApplyReserved(value);
        }
        if (key == "marker") {
            std::uint64_t number = 0;
            if (!ParseNumber(value, 0xFF, &number)) {
                return Fail("expected a byte value such as 0xAB or 0xAC");
            }
            setup_->replyMarker = static_cast<std::uint8_t>(number);
            return true;
        }
        if (key == "discovery") {
            return ApplyDiscovery(value);
        }
        if (key == "delay" || key == "jitter") {
            std::uint64_t number = 0;
            if (!ParseUnsigned(value, kMaxDelayMilliseconds, &number)) {
                return Fail("expected milliseconds from 0 to 600000");
            }
            (key == "delay" ? setup_->delayMilliseconds : setup_->jitterMilliseconds) =
                static_cast<int>(number);
            return true;
        }
        if (key == "reply") {
            return ApplyReplyTo(value);
        }
        if (key == "set") {
            return ApplySet(value);
        }
        if (key == "reject-opcode") {
            std::uint64_t number = 0;
            if (!ParseNumber(value, 0xFF, &number) || number == netsonde::kSetAccepted) {
                return Fail("expected an opcode from 0 to 255 other than 4");
            }
            setup_->rejectOpcode = static_cast<std::uint8_t>(number);
            return true;
        }
        if (key == "strays") {
            return ApplyStrays(value);
        }
        if (key == "strays-on") {
            return ApplyStraysOn(value);
        }
        if (key == "interfaces") {
            return ApplyInterfaces(value);
        }
        return Fail("unknown key");
    }

  private:
    bool Fail(const std::string& message) {
        *message_ = message;
        return false;
    }

    // The value with {n} replaced (generate blocks only) and escapes expanded.
    bool ExpandText(std::string_view value, std::string* text) {
        const std::string substituted = placement_.generated
                                            ? SubstituteNumber(value, placement_.index + 1)
                                            : std::string(value);
        if (!UnescapeText(substituted, text)) {
            return Fail("bad escape: only \\\\ and \\xHH are known");
        }
        return true;
    }

    bool ApplyText(TextField field, std::string_view value) {
        std::string text;
        if (!ExpandText(value, &text)) {
            return false;
        }
        const std::size_t limit = TextFieldCapacity(field) - 1;
        if (text.size() > limit) {
            return Fail("text of " + std::to_string(text.size()) + " bytes; the field holds " +
                        std::to_string(limit) +
                        " and its zero (use 'unterminated' to fill it completely)");
        }
        DeviceRecord& record = setup_->record;
        switch (field) {
            case TextField::Password:
                record.writePassword(text);
                break;
            case TextField::SystemName:
                record.writeSystemName(text);
                break;
            case TextField::SystemDescription:
                record.writeSystemDescription(text);
                break;
            case TextField::ImageFileName:
                record.writeImageFileName(text);
                break;
        }
        return true;
    }

    bool ApplyUnterminated(std::string_view value) {
        const std::size_t space = value.find_first_of(" \t");
        TextField field;
        if (!TextFieldFromName(value.substr(0, space), &field)) {
            return Fail("expected 'name', 'password', 'description' or 'image' and a text");
        }
        if (space == std::string_view::npos) {
            return Fail("expected a text after the field name");
        }
        std::string text;
        if (!ExpandText(Trim(value.substr(space)), &text)) {
            return false;
        }
        if (text.empty()) {
            return Fail("expected a text after the field name");
        }
        FillTextField(setup_->record, field, text);
        return true;
    }

    bool ApplyMac(std::string_view value) {
        netsonde::MacBytes base{}, mac{};
        if (!ParseMac(value, &base)) {
            return Fail("expected six hex pairs such as 02:00:5e:00:00:01");
        }
        if (!OffsetMac(base, placement_.index, &mac)) {
            return Fail("the generated MAC addresses run past ff:ff:ff:ff:ff:ff");
        }
        setup_->record.setMac(mac);
        return true;
    }

    bool ApplyAddress(std::string_view key, std::string_view value) {
        netsonde::Ipv4Bytes address{};
        if (!ParseIpv4(value, &address)) {
            return Fail("expected a dotted IPv4 address such as 198.18.0.10");
        }
        DeviceRecord& record = setup_->record;
        if (key == "ip") {
            netsonde::Ipv4Bytes offset{};
            if (!OffsetIpv4(address, placement_.index, &offset)) {
                return Fail("the generated IP addresses run past 255.255.255.255");
            }
            record.setIpAddress(offset);
        } else if (key == "mask") {
            record.setSubnetMask(address);
        } else if (key == "gateway") {
            record.setGateway(address);
        } else {
            record.setTftpServer(address);
        }
        return true;
    }

    bool ApplyType(std::string_view value) {
        std::uint64_t number = 0;
        if (value == "static") {
            number = 1;
        } else if (value == "dynamic") {
            number = 2;
        } else if (!ParseNumber(value, 0xFFFFFFFFull, &number)) {
            return Fail("expected 'static', 'dynamic' or a 32-bit number");
        }
        WriteAddressTypeValue(setup_->record, static_cast<std::uint32_t>(number));
        return true;
    }

    bool ApplyReserved(std::string_view value) {
        if (value.size() == 6 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
            value.remove_prefix(2);
        }
        std::uint64_t number = 0;
        if (value.size() != 4 || !ParseNumber("0x" + std::string(value), 0xFFFF, &number)) {
            return Fail("expected four hex digits: bytes 42 and 43, such as 12ab");
        }
        setup_->record.setReserved(
            {static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)});
        return true;
    }

    bool ApplyDiscovery(std::string_view value) {
        std::uint64_t number = 0;
        if (value == "every") {
            setup_->discoveryAnswers = kAnswerEvery;
        } else if (value == "first") {
            setup_->discoveryAnswers = 1;
        } else if (value == "never") {
            setup_->discoveryAnswers = 0;
        } else if (ParseUnsigned(value, 1000000, &number)) {
            setup_->discoveryAnswers = static_cast<int>(number);
        } else {
            return Fail("expected 'every', 'first', 'never' or a number of answers");
        }
        return true;
    }

    bool ApplyReplyTo(std::string_view value) {
        if (value == "sender" || value == "unicast") {
            setup_->replyTo = ReplyTo::Sender;
        } else if (value == "broadcast") {
            setup_->replyTo = ReplyTo::Broadcast;
        } else {
            return Fail("expected 'sender' or 'broadcast'");
        }
        return true;
    }

    bool ApplySet(std::string_view value) {
        const std::vector<std::string_view> words = SplitWords(value);
        const std::string_view mode = words.empty() ? std::string_view() : words[0];
        if ((mode == "accept" || mode == "silent") && words.size() == 1) {
            setup_->setBehaviour = mode == "accept" ? SetBehaviour::Accept : SetBehaviour::Silent;
            setup_->errorMask = 0;
            return true;
        }
        if (mode == "reject" || mode == "accept-then-reject") {
            std::uint64_t mask = 0;
            if (words.size() != 2 || !ParseNumber(words[1], 0xFFFF, &mask)) {
                return Fail("expected an error mask from 0 to 65535 after '" + std::string(mode) +
                            "'");
            }
            setup_->setBehaviour =
                mode == "reject" ? SetBehaviour::Reject : SetBehaviour::AcceptThenReject;
            setup_->errorMask = static_cast<std::uint16_t>(mask);
            return true;
        }
        return Fail("expected 'accept', 'silent', 'reject MASK' or 'accept-then-reject MASK'");
    }

    bool ApplyStrays(std::string_view value) {
        std::vector<Stray> strays;
        const std::vector<std::string_view> words = SplitWords(value);
        if (words.size() == 1 && words[0] == "none") {
            setup_->strays.clear();
            return true;
        }
        if (words.empty() || words.size() > 64) {
            return Fail("expected 1 to 64 stray kinds, or 'none'");
        }
        for (std::string_view word : words) {
            Stray stray;
            std::uint64_t number = 0;
            if (word == "short") {
                stray.kind = StrayKind::Short;
            } else if (word == "long") {
                stray.kind = StrayKind::Long;
            } else if (word == "empty") {
                stray.kind = StrayKind::Empty;
            } else if (word == "answer") {
                stray.kind = StrayKind::Answer;
            } else if (word.substr(0, 7) == "marker=" &&
                       ParseNumber(word.substr(7), 0xFF, &number)) {
                stray.kind = StrayKind::Marker;
                stray.value = static_cast<std::uint8_t>(number);
            } else if (word.substr(0, 7) == "opcode=" &&
                       ParseNumber(word.substr(7), 0xFF, &number)) {
                stray.kind = StrayKind::Opcode;
                stray.value = static_cast<std::uint8_t>(number);
            } else {
                return Fail("unknown stray '" + std::string(word) +
                            "': expected short, long, empty, marker=N, opcode=N or answer");
            }
            strays.push_back(stray);
        }
        setup_->strays = strays;
        return true;
    }

    bool ApplyInterfaces(std::string_view value) {
        std::vector<std::string> names;
        std::istringstream words{std::string(value)};
        for (std::string word; words >> word;) {
            if (word.size() >= 16) {  // IFNAMSIZ, with its zero
                return Fail("interface name '" + word + "' is longer than 15 characters");
            }
            names.push_back(word);
        }
        if (names.empty()) {
            return Fail("expected interface names such as dev0 dev1");
        }
        setup_->interfaces = names;
        return true;
    }

    bool ApplyStraysOn(std::string_view value) {
        if (value == "discovery" || value == "set" || value == "both") {
            setup_->straysOnDiscovery = value != "set";
            setup_->straysOnSet = value != "discovery";
            return true;
        }
        return Fail("expected 'discovery', 'set' or 'both'");
    }

    Placement placement_;
    DeviceSetup* setup_;
    std::string* message_;
};

struct KeyLine {
    int line = 0;
    std::string key;
    std::string value;
};

class ScenarioParser {
  public:
    ScenarioParser(Scenario* scenario, ParseError* error) : scenario_(scenario), error_(error) {}

    bool Run(std::istream& input) {
        *scenario_ = Scenario();
        std::string text;
        int line = 0;
        while (std::getline(input, text)) {
            ++line;
            if (!HandleLine(line, text)) {
                return false;
            }
        }
        return CloseBlock();
    }

  private:
    enum class Block { None, Device, Generate };

    bool Fail(int line, std::string_view field, const std::string& message) {
        error_->line = line;
        error_->field = std::string(field);
        error_->message = message;
        return false;
    }

    bool HandleLine(int line, std::string text) {
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (text.size() > kMaxLineLength) {
            return Fail(line, "", "line longer than " + std::to_string(kMaxLineLength) + " bytes");
        }
        if (text.find('\0') != std::string::npos) {
            return Fail(line, "", "line holds a zero byte (write it as \\x00)");
        }
        const std::string_view content = Trim(text);
        if (content.empty() || content.front() == '#') {
            return true;
        }
        std::size_t keyEnd = 0;
        while (keyEnd < content.size() && !IsBlank(content[keyEnd])) {
            ++keyEnd;
        }
        const std::string_view key = content.substr(0, keyEnd);
        const std::string_view value = Trim(content.substr(keyEnd));
        if (key == "device" || key == "generate") {
            return CloseBlock() && OpenBlock(line, key, value);
        }
        if (key == "pace") {
            if (!ParseLinkRate(value, &scenario_->paceBitsPerSecond)) {
                return Fail(line, key, "expected 'none', '100m', '1g' or bits per second");
            }
            return true;
        }
        if (block_ == Block::None) {
            return Fail(
                line, key,
                IsDeviceKey(key) ? "outside a 'device' or 'generate' block" : "unknown key");
        }
        if (key == "mac") {
            macSeen_ = true;
        }
        std::string message;
        if (block_ == Block::Device) {
            KeyApplier applier(Placement{}, &current_, &message);
            return applier.Apply(key, value) || Fail(line, key, message);
        }
        // In a generate block the key is checked now for the first and the last device, which
        // covers the values that grow with the device number; it is applied to all of them when
        // the block ends.
        DeviceSetup scratch;
        for (std::uint64_t index : {std::uint64_t{0}, generateCount_ - 1}) {
            KeyApplier applier(Placement{true, index}, &scratch, &message);
            if (!applier.Apply(key, value)) {
                return Fail(line, key, message);
            }
        }
        generateLines_.push_back(KeyLine{line, std::string(key), std::string(value)});
        return true;
    }

    static bool IsDeviceKey(std::string_view key) {
        DeviceSetup scratch;
        std::string message;
        KeyApplier applier(Placement{}, &scratch, &message);
        applier.Apply(key, "");
        return message != "unknown key";
    }

    bool OpenBlock(int line, std::string_view key, std::string_view value) {
        blockLine_ = line;
        macSeen_ = false;
        if (key == "device") {
            if (!value.empty()) {
                return Fail(line, key, "'device' takes no value; put each key on its own line");
            }
            if (scenario_->devices.size() >= kMaxDevices) {
                return Fail(line, key, "more than " + std::to_string(kMaxDevices) + " devices");
            }
            block_ = Block::Device;
            current_ = DeviceSetup();
            return true;
        }
        std::uint64_t count = 0;
        const std::uint64_t room = kMaxDevices - scenario_->devices.size();
        if (!ParseUnsigned(value, kMaxDevices, &count) || count == 0 || count > room) {
            return Fail(line, key,
                        "expected a device count from 1 to " + std::to_string(room) + " (at most " +
                            std::to_string(kMaxDevices) + " devices in all)");
        }
        block_ = Block::Generate;
        generateCount_ = count;
        generateLines_.clear();
        return true;
    }

    bool CloseBlock() {
        const Block block = block_;
        block_ = Block::None;
        if (block == Block::None) {
            return true;
        }
        if (!macSeen_) {
            return Fail(blockLine_, "mac", "the block sets no MAC address");
        }
        if (block == Block::Device) {
            scenario_->devices.push_back(current_);
            return true;
        }
        for (std::uint64_t index = 0; index < generateCount_; ++index) {
            DeviceSetup setup;
            for (const KeyLine& keyLine : generateLines_) {
                std::string message;
                KeyApplier applier(Placement{true, index}, &setup, &message);
                if (!applier.Apply(keyLine.key, keyLine.value)) {
                    return Fail(keyLine.line, keyLine.key, message);
                }
            }
            scenario_->devices.push_back(setup);
        }
        return true;
    }

    Scenario* scenario_;
    ParseError* error_;
    Block block_ = Block::None;
    int blockLine_ = 0;
    bool macSeen_ = false;
    DeviceSetup current_;
    std::uint64_t generateCount_ = 0;
    std::vector<KeyLine> generateLines_;
};

}  // namespace

bool ParseScenario(std::istream& input, Scenario* scenario, ParseError* error) {
    ScenarioParser parser(scenario, error);
    return parser.Run(input);
}

std::string FormatParseError(const std::string& fileName, const ParseError& error) {
    std::ostringstream text;
    text << fileName << ':' << error.line << ": ";
    if (!error.field.empty()) {
        text << "field '" << error.field << "': ";
    }
    text << error.message;
    return text.str();
}

}  // namespace devsim
