// Byte-level accessors of the device record and the recognition rules for device replies.
#include "protocol/device_record.h"

#include <algorithm>
#include <cstring>

namespace netsonde {

bool DeviceRecord::FromDatagram(const std::uint8_t* data, std::size_t size, DeviceRecord* out) {
    if (data == nullptr || out == nullptr || size != kRecordSize) {
        return false;
    }
    std::memcpy(out->bytes_.data(), data, kRecordSize);
    return true;
}

MacBytes DeviceRecord::mac() const {
    MacBytes mac{};
    std::copy_n(bytes_.begin() + field::kMac, field::kMacSize, mac.begin());
    return mac;
}

void DeviceRecord::setMac(const MacBytes& mac) {
    std::copy(mac.begin(), mac.end(), bytes_.begin() + field::kMac);
}

std::array<std::uint8_t, 2> DeviceRecord::reserved() const {
    return {bytes_[field::kReserved], bytes_[field::kReserved + 1]};
}

void DeviceRecord::setReserved(const std::array<std::uint8_t, 2>& value) {
    bytes_[field::kReserved] = value[0];
    bytes_[field::kReserved + 1] = value[1];
}

std::uint32_t DeviceRecord::ipAddressTypeValue() const {
    const std::size_t at = field::kIpAddressType;
    return static_cast<std::uint32_t>(bytes_[at]) | static_cast<std::uint32_t>(bytes_[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes_[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
}

void DeviceRecord::setIpAddressType(AddressType type) {
    const std::size_t at = field::kIpAddressType;
    bytes_[at] = static_cast<std::uint8_t>(type);
    bytes_[at + 1] = 0;
    bytes_[at + 2] = 0;
    bytes_[at + 3] = 0;
}

std::uint16_t DeviceRecord::ReadBigEndian16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes_[offset] << 8 | bytes_[offset + 1]);
}

void DeviceRecord::WriteBigEndian16(std::size_t offset, std::uint16_t value) {
    bytes_[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes_[offset + 1] = static_cast<std::uint8_t>(value);
}

std::uint32_t DeviceRecord::ReadBigEndian32(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes_[offset]) << 24 |
           static_cast<std::uint32_t>(bytes_[offset + 1]) << 16 |
           static_cast<std::uint32_t>(bytes_[offset + 2]) << 8 |
           static_cast<std::uint32_t>(bytes_[offset + 3]);
}

void DeviceRecord::WriteBigEndian32(std::size_t offset, std::uint32_t value) {
    bytes_[offset] = static_cast<std::uint8_t>(value >> 24);
    bytes_[offset + 1] = static_cast<std::uint8_t>(value >> 16);
    bytes_[offset + 2] = static_cast<std::uint8_t>(value >> 8);
    bytes_[offset + 3] = static_cast<std::uint8_t>(value);
}

Ipv4Bytes DeviceRecord::ReadIpv4(std::size_t offset) const {
    return {bytes_[offset], bytes_[offset + 1], bytes_[offset + 2], bytes_[offset + 3]};
}

void DeviceRecord::WriteIpv4(std::size_t offset, const Ipv4Bytes& value) {
    std::copy(value.begin(), value.end(), bytes_.begin() + offset);
}

std::string DeviceRecord::ReadText(std::size_t offset, std::size_t capacity) const {
    const auto begin = bytes_.begin() + offset;
    const auto end = std::find(begin, begin + capacity, std::uint8_t{0});
    return std::string(begin, end);
}

void DeviceRecord::WriteText(std::size_t offset, std::size_t capacity, std::string_view text) {
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), length, bytes_.begin() + offset);
    bytes_[offset + length] = 0;
}

DeviceRecord BuildDiscoveryRequest() {
    DeviceRecord request;
    request.setMarker(kRequestMarker);
    request.setOpcode(kDiscoveryRequest);
    return request;
}

bool IsKnownMarker(std::uint8_t marker) {
    return marker == kRequestMarker || marker == kAlternateMarker;
}

bool IsDiscoveryReply(const DeviceRecord& record) {
    return IsKnownMarker(record.marker()) && record.opcode() == kDiscoveryReply;
}

SetReplyCheck CheckSetReply(const DeviceRecord& reply) {
    SetReplyCheck check;
    if (!IsKnownMarker(reply.marker())) {
        return check;
    }
    if (reply.opcode() == kSetAccepted) {
        check.accepted = true;
    } else {
        check.errorMask = reply.fieldMask();
    }
    return check;
}

const char* ErrorMaskName(std::uint16_t errorMask) {
    switch (errorMask) {
        case mask::kPassword: return "read/write password";
        case mask::kIpAddress: return "IP address";
        case mask::kSystemName: return "system name";
        case mask::kTftpServer: return "TFTP server IP address";
        case mask::kImageFileName: return "image file name";
        case mask::kSubnetMask: return "subnet mask";
        case mask::kGateway: return "gateway IP address";
        case mask::kIpAddressType: return "IP address type";
        default: return "settings";
    }
}

}  // namespace netsonde
