// The simulator's scenario: the devices it plays, each with its record and its behaviour, and
// the parser of the line-based scenario files (format in SCENARIO.md).
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "protocol/device_record.h"

namespace devsim {

enum class ReplyTo { Sender, Broadcast };

enum class SetBehaviour { Accept, Reject, Silent, AcceptThenReject };

// A datagram a device sends besides (or instead of) its proper answer.
enum class StrayKind {
    Short,   // the answer's first 611 bytes
    Long,    // the answer followed by one zero byte: 613 bytes
    Empty,   // 0 bytes
    Marker,  // the 612-byte answer with another marker byte
    Opcode,  // the 612-byte answer with another opcode
    Answer,  // where the device's proper answer goes in the sequence
};

struct Stray {
    StrayKind kind = StrayKind::Empty;
    std::uint8_t value = 0;  // the marker or opcode for Marker and Opcode
    bool operator==(const Stray& other) const { return kind == other.kind && value == other.value; }
};

constexpr int kAnswerEvery = -1;

struct DeviceSetup {
    netsonde::DeviceRecord record;  // the device's record as its replies carry it
    std::uint8_t replyMarker = netsonde::kRequestMarker;
    int discoveryAnswers = kAnswerEvery;  // how many discovery requests it answers; -1 = all
    int delayMilliseconds = 0;
    int jitterMilliseconds = 0;  // a random 0..jitter added to the delay of each answer
    ReplyTo replyTo = ReplyTo::Sender;
    SetBehaviour setBehaviour = SetBehaviour::Accept;
    std::uint16_t errorMask = 0;
    std::uint8_t rejectOpcode = 5;
    std::vector<Stray> strays;  // empty: the proper answer alone
    bool straysOnDiscovery = true;
    bool straysOnSet = false;
    // The device namespace's interfaces on which the device is heard; empty: all of them.
    std::vector<std::string> interfaces;
};

struct Scenario {
    std::uint64_t paceBitsPerSecond = 0;  // 0: replies go out as fast as they can
    std::vector<DeviceSetup> devices;
};

struct ParseError {
    int line = 0;       // 1-based line number in the file
    std::string field;  // the key the error is about, or empty
    std::string message;
};

constexpr std::size_t kMaxDevices = 100000;
constexpr std::size_t kMaxLineLength = 4096;

// Parses a whole scenario. On an error returns false with the first error in *error; *scenario
// is then unspecified.
bool ParseScenario(std::istream& input, Scenario* scenario, ParseError* error);

// "FILE:LINE: field 'KEY': MESSAGE" (or without the field part).
std::string FormatParseError(const std::string& fileName, const ParseError& error);

}  // namespace devsim
