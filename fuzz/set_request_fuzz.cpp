// The set request from an arbitrary stored record and arbitrary dialog texts and choices: the
// bytes the program does not write go out as stored, each text lands in its field cut to fit
// with its zero, the mask follows its fixed rules, and addresses that passed their checks go out
// as the addresses typed.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "config/address_check.h"
#include "config/set_request.h"
#include "protocol/text_forms.h"
#include "fuzz/fuzz_check.h"

using namespace netsonde;

namespace {

// A dialog text: what the edit control hands over, a C string, so it ends at its first zero.
std::string DialogText(FuzzedDataProvider& input, std::size_t maxLength) {
    return input.ConsumeRandomLengthString(maxLength).c_str();
}

// A typed text as its field reads it back: cut to leave room for the zero.
std::string AsWritten(const std::string& typed, std::size_t capacity) {
    return typed.substr(0, capacity - 1);
}

// Behind a written text's zero the field keeps the stored record's bytes.
void CheckTail(const DeviceRecord& request, const DeviceRecord& working, std::size_t offset,
               std::size_t capacity, const std::string& written) {
    for (std::size_t i = offset + written.size() + 1; i < offset + capacity; ++i) {
        FUZZ_CHECK(request.data()[i] == working.data()[i]);
    }
}

bool IsBitSet(std::uint16_t value, std::uint16_t bit) {
    return (value & bit) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    DeviceRecord working;
    std::vector<std::uint8_t> stored = input.ConsumeBytes<std::uint8_t>(kRecordSize);
    stored.resize(kRecordSize);
    DeviceRecord::FromDatagram(stored.data(), stored.size(), &working);

    ChangeFields fields;
    fields.type = input.ConsumeBool() ? AddressType::Static : AddressType::Dynamic;
    for (std::string* text : {&fields.ipText, &fields.maskText, &fields.gatewayText,
                              &fields.tftpServerText, &fields.nameText, &fields.passwordText}) {
        *text = DialogText(input, 64);
    }
    fields.imageFileText = DialogText(input, 400);

    const bool hasV = DescriptionHasV(working);
    const auto failure = FirstInvalidAddress(fields, hasV);
    const DeviceRecord request = BuildSetRequest(working, fields);

    FUZZ_CHECK(request.marker() == kRequestMarker && request.opcode() == kSetRequest);
    // MAC, bytes 42-43, uptime and description: exactly as stored.
    for (std::size_t i = field::kMac; i < field::kIpAddress; ++i) {
        FUZZ_CHECK(request.data()[i] == working.data()[i]);
    }
    for (std::size_t i = field::kUptime; i < field::kTftpServer; ++i) {
        FUZZ_CHECK(request.data()[i] == working.data()[i]);
    }

    const bool isStatic = fields.type == AddressType::Static;
    FUZZ_CHECK(request.ipAddressTypeValue() == (isStatic ? 1u : 2u));
    if (!isStatic) {
        FUZZ_CHECK(request.ipAddress() == working.ipAddress());
        FUZZ_CHECK(request.subnetMask() == working.subnetMask());
        FUZZ_CHECK(request.gateway() == working.gateway());
    }

    const std::string name = AsWritten(fields.nameText, field::kSystemNameSize);
    const std::string image = AsWritten(fields.imageFileText, field::kImageFileNameSize);
    const std::string password = AsWritten(fields.passwordText, field::kPasswordSize);
    FUZZ_CHECK(request.systemName() == name);
    FUZZ_CHECK(request.imageFileName() == image);
    FUZZ_CHECK(request.password() == password);
    CheckTail(request, working, field::kSystemName, field::kSystemNameSize, name);
    CheckTail(request, working, field::kImageFileName, field::kImageFileNameSize, image);
    CheckTail(request, working, field::kPassword, field::kPasswordSize, password);

    const std::uint16_t sent = request.fieldMask();
    FUZZ_CHECK(IsBitSet(sent, mask::kUnknown1) && IsBitSet(sent, mask::kUnknown3));
    FUZZ_CHECK(!IsBitSet(sent, mask::kUnknown5) && !IsBitSet(sent, mask::kSystemName));
    FUZZ_CHECK((sent & 0xF800) == 0);
    FUZZ_CHECK(IsBitSet(sent, mask::kPassword) == !working.passwordEmpty());
    FUZZ_CHECK(IsBitSet(sent, mask::kTftpServer) == !hasV);
    FUZZ_CHECK(IsBitSet(sent, mask::kImageFileName) == !hasV);
    for (std::uint16_t bit : {mask::kIpAddress, mask::kSubnetMask, mask::kGateway}) {
        FUZZ_CHECK(IsBitSet(sent, bit) == isStatic);
    }

    if (!failure) {
        // What passed the checks goes out as valid addresses of their kinds.
        const std::pair<Ipv4Bytes, AddressKind> sentAddresses[] = {
            {request.ipAddress(), HostAddressKind},
            {request.subnetMask(), SubnetMaskKind},
            {request.gateway(), HostAddressKind}};
        for (const auto& [address, kind] : sentAddresses) {
            FUZZ_CHECK(!isStatic || CheckAddressText(FormatIpText(address).c_str(), kind) == 1);
        }
        if (!hasV) {
            FUZZ_CHECK(
                CheckAddressText(FormatIpText(request.tftpServer()).c_str(), HostAddressKind) == 1);
        }
    }
    return 0;
}
