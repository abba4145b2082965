// The set request made from the Change dialog: the checks of the typed addresses in the order
// the operator is told about them, and the 612-byte request built from the device's stored
// record and the dialog's texts. Portable, so the rules can be tested without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/device_record.h"

namespace netsonde {

// The dialog's members that go into a request, as the operator left them.
struct ChangeFields {
    std::string nameText;
    std::string ipText;
    std::string maskText;
    std::string gatewayText;
    std::string tftpServerText;
    std::string imageFileText;
    std::string passwordText;
    AddressType type = AddressType::Static;
};

// ChangeMask before the per-device bits are cleared.
constexpr std::uint16_t kStaticChangeMask = 2015;   // 0x07DF
constexpr std::uint16_t kDynamicChangeMask = 1243;  // 0x04DB

// True when the record's system description (up to its zero, within its field) contains a
// lowercase 'v'. Such a device keeps its TFTP server and image file name: the dialog disables
// them and the request neither tests nor flags them.
bool DescriptionHasV(const DeviceRecord& record);

// The first address text that fails its check: the message shown and the edit that then gets
// the focus.
struct AddressCheckFailure {
    const char* message;
    int editId;
};

// Tests the IP address, subnet mask, gateway and (unless the description has a 'v') TFTP
// server texts, in that order, whatever the address type; gives the first failure, or nothing
// when all pass. Each text is tested as the 15 characters an address field can hold: a longer
// text is refused rather than cut, so what is tested is what the request is built from.
std::optional<AddressCheckFailure> FirstInvalidAddress(const ChangeFields& fields,
                                                       bool descriptionHasV);

// The request for fields whose addresses passed FirstInvalidAddress: a copy of the working
// record with marker 0xAB, opcode 3, the ChangeMask, the name, type, addresses (static only),
// TFTP server, image file name and password written in. Texts are written with their zero and
// leave the old tail of their field in place; every other byte goes out as stored.
DeviceRecord BuildSetRequest(const DeviceRecord& working, const ChangeFields& fields);

}  // namespace netsonde
