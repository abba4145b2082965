// A datagram received during a change: judged as a set reply and, when it refuses, named in the
// operator's message. Whatever it holds, it is accepted only as marker 0xAB/0xAC with opcode 4,
// and the field name always fits the message the Change dialog builds around it.
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "protocol/device_record.h"

using namespace netsonde;

namespace {

// The Change dialog's refusal message and the buffer it is formatted into.
constexpr char kRefusalPrefix[] = "Device returned error\r\nPlease check ";
constexpr std::size_t kRefusalBufferSize = 128;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DeviceRecord reply;
    if (!DeviceRecord::FromDatagram(data, size, &reply)) {
        FUZZ_CHECK(size != kRecordSize);
        return 0;
    }
    const SetReplyCheck check = CheckSetReply(reply);
    const bool knownMarker = data[0] == 0xAB || data[0] == 0xAC;
    const std::uint16_t wireMask = static_cast<std::uint16_t>(data[2] << 8 | data[3]);
    FUZZ_CHECK(check.accepted == (knownMarker && data[1] == kSetAccepted));
    FUZZ_CHECK(check.errorMask == (knownMarker && !check.accepted ? wireMask : 0));

    const char* name = ErrorMaskName(check.errorMask);
    FUZZ_CHECK(name != nullptr && name[0] != '\0');
    FUZZ_CHECK(std::strlen(kRefusalPrefix) + std::strlen(name) < kRefusalBufferSize);
    // Only a mask of exactly one known field bit is named after a field.
    const bool oneBit = check.errorMask != 0 && (check.errorMask & (check.errorMask - 1)) == 0;
    const std::uint16_t unnamedBits = mask::kUnknown1 | mask::kUnknown3 | mask::kUnknown5 | 0xF800;
    const bool named = std::strcmp(name, "settings") != 0;
    FUZZ_CHECK(named == (oneBit && (check.errorMask & unnamedBits) == 0));
    return 0;
}
