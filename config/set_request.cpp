// Address checks and the set request of the Change dialog; see set_request.h.
#include "config/set_request.h"

#include "config/address_check.h"
#include "res/resource.h"

namespace netsonde {

namespace {

// Dotted IPv4 text at its longest (255.255.255.255); the typed address edits hold no more.
constexpr std::size_t kAddressTextLimit = 15;

// Copies the text into a 16-byte buffer and tests it there. A text that does not fit is no
// IPv4 address, and cutting it could make the test pass on characters the request never uses.
bool AddressTextPasses(const std::string& text, AddressKind kind) {
    if (text.size() > kAddressTextLimit) {
        return false;
    }
    char buffer[kAddressTextLimit + 1] = {};
    text.copy(buffer, kAddressTextLimit);
    return CheckAddressText(buffer, kind) == 1;
}

}  // namespace

bool DescriptionHasV(const DeviceRecord& record) {
    return record.systemDescription().find('v') != std::string::npos;
}

std::optional<AddressCheckFailure> FirstInvalidAddress(const ChangeFields& fields,
                                                       bool descriptionHasV) {
    if (!AddressTextPasses(fields.ipText, HostAddressKind)) {
        return AddressCheckFailure{"Invalid IP Address\r\n", IDC_CHANGE_IP_ADDRESS};
    }
    if (!AddressTextPasses(fields.maskText, SubnetMaskKind)) {
        return AddressCheckFailure{"Invalid Subnet Mask", IDC_CHANGE_SUBNET_MASK};
    }
    if (!AddressTextPasses(fields.gatewayText, HostAddressKind)) {
        return AddressCheckFailure{"Invalid Gateway IP Address", IDC_CHANGE_GATEWAY};
    }
    if (!descriptionHasV && !AddressTextPasses(fields.tftpServerText, HostAddressKind)) {
        return AddressCheckFailure{"Invalid TFTP Server IP Address", IDC_CHANGE_TFTP_SERVER};
    }
    return std::nullopt;
}

DeviceRecord BuildSetRequest(const DeviceRecord& working, const ChangeFields& fields) {
    DeviceRecord request = working;
    request.setMarker(kRequestMarker);
    request.setOpcode(kSetRequest);
    request.writeSystemName(fields.nameText);
    request.setIpAddressType(fields.type);

    std::uint16_t changeMask = kDynamicChangeMask;
    if (fields.type == AddressType::Static) {
        request.setIpAddress(ParseDottedQuad(fields.ipText.c_str()));
        request.setSubnetMask(ParseDottedQuad(fields.maskText.c_str()));
        request.setGateway(ParseDottedQuad(fields.gatewayText.c_str()));
        changeMask = kStaticChangeMask;
    }
    if (DescriptionHasV(request)) {
        changeMask &= static_cast<std::uint16_t>(~(mask::kTftpServer | mask::kImageFileName));
    }
    // Decided by the password stored for the device, before the typed one is written.
    if (request.passwordEmpty()) {
        changeMask &= static_cast<std::uint16_t>(~mask::kPassword);
    }
    // The name travels in every request but is never flagged for the device to apply.
    changeMask &= static_cast<std::uint16_t>(~mask::kSystemName);
    request.setFieldMask(changeMask);

    request.setTftpServer(ParseDottedQuad(fields.tftpServerText.c_str()));
    request.writeImageFileName(fields.imageFileText);
    request.writePassword(fields.passwordText);
    return request;
}

}  // namespace netsonde
