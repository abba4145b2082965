// The 612-byte device record: at once the datagram on the wire, the stored copy of a found
// device and the buffer the Change dialog edits. Fields are read and written only through the
// accessors below, at fixed offsets and with explicit byte order; the bytes the program does not
// interpret travel through untouched.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace netsonde {

constexpr std::size_t kRecordSize = 612;
constexpr std::uint16_t kDevicePort = 2719;

constexpr std::uint8_t kRequestMarker = 0xAB;      // every request carries it
constexpr std::uint8_t kAlternateMarker = 0xAC;    // some devices answer with it instead

enum Opcode : std::uint8_t {
    kDiscoveryRequest = 1,
    kDiscoveryReply = 2,
    kSetRequest = 3,
    kSetAccepted = 4,
};

// Byte offsets and sizes of the fields; the fields follow one another without gaps.
namespace field {
constexpr std::size_t kMarker = 0;
constexpr std::size_t kOpcode = 1;
constexpr std::size_t kFieldMask = 2;
constexpr std::size_t kPassword = 4, kPasswordSize = 32;
constexpr std::size_t kMac = 36, kMacSize = 6;
constexpr std::size_t kReserved = 42, kReservedSize = 2;  // meaning unknown: carried unchanged
constexpr std::size_t kIpAddress = 44;
constexpr std::size_t kSystemName = 48, kSystemNameSize = 32;
constexpr std::size_t kUptime = 80;
constexpr std::size_t kSystemDescription = 84, kSystemDescriptionSize = 256;
constexpr std::size_t kTftpServer = 340;
constexpr std::size_t kImageFileName = 344, kImageFileNameSize = 256;
constexpr std::size_t kSubnetMask = 600;
constexpr std::size_t kGateway = 604;
constexpr std::size_t kIpAddressType = 608;
}  // namespace field

// Bits of the 16-bit field mask: in a set request the fields to apply (ChangeMask), in a
// rejecting set reply the field refused (ErrorMask).
namespace mask {
constexpr std::uint16_t kPassword = 1u << 0;
constexpr std::uint16_t kUnknown1 = 1u << 1;
constexpr std::uint16_t kIpAddress = 1u << 2;
constexpr std::uint16_t kUnknown3 = 1u << 3;
constexpr std::uint16_t kSystemName = 1u << 4;
constexpr std::uint16_t kUnknown5 = 1u << 5;
constexpr std::uint16_t kTftpServer = 1u << 6;
constexpr std::uint16_t kImageFileName = 1u << 7;
constexpr std::uint16_t kSubnetMask = 1u << 8;
constexpr std::uint16_t kGateway = 1u << 9;
constexpr std::uint16_t kIpAddressType = 1u << 10;
}  // namespace mask

using MacBytes = std::array<std::uint8_t, 6>;
using Ipv4Bytes = std::array<std::uint8_t, 4>;  // first number of the dotted form first

enum class AddressType { Static = 1, Dynamic = 2 };

class DeviceRecord {
public:
    DeviceRecord() : bytes_{} {}

    // Copies a received datagram. Only an exact 612-byte datagram is a record; anything else
    // gives false and leaves *out untouched.
    static bool FromDatagram(const std::uint8_t* data, std::size_t size, DeviceRecord* out);

    const std::uint8_t* data() const { return bytes_.data(); }
    std::uint8_t* data() { return bytes_.data(); }
    static constexpr std::size_t size() { return kRecordSize; }

    std::uint8_t marker() const { return bytes_[field::kMarker]; }
    void setMarker(std::uint8_t value) { bytes_[field::kMarker] = value; }
    std::uint8_t opcode() const { return bytes_[field::kOpcode]; }
    void setOpcode(std::uint8_t value) { bytes_[field::kOpcode] = value; }

    std::uint16_t fieldMask() const { return ReadBigEndian16(field::kFieldMask); }
    void setFieldMask(std::uint16_t value) { WriteBigEndian16(field::kFieldMask, value); }

    std::string password() const { return ReadText(field::kPassword, field::kPasswordSize); }
    bool passwordEmpty() const { return bytes_[field::kPassword] == 0; }
    void writePassword(std::string_view text) {
        WriteText(field::kPassword, field::kPasswordSize, text);
    }

    MacBytes mac() const;
    void setMac(const MacBytes& mac);

    std::array<std::uint8_t, 2> reserved() const;
    void setReserved(const std::array<std::uint8_t, 2>& value);

    Ipv4Bytes ipAddress() const { return ReadIpv4(field::kIpAddress); }
    void setIpAddress(const Ipv4Bytes& value) { WriteIpv4(field::kIpAddress, value); }

    std::string systemName() const { return ReadText(field::kSystemName, field::kSystemNameSize); }
    void writeSystemName(std::string_view text) {
        WriteText(field::kSystemName, field::kSystemNameSize, text);
    }

    // Hundredths of a second since the device started.
    std::uint32_t uptime() const { return ReadBigEndian32(field::kUptime); }
    void setUptime(std::uint32_t value) { WriteBigEndian32(field::kUptime, value); }

    std::string systemDescription() const {
        return ReadText(field::kSystemDescription, field::kSystemDescriptionSize);
    }
    void writeSystemDescription(std::string_view text) {
        WriteText(field::kSystemDescription, field::kSystemDescriptionSize, text);
    }

    Ipv4Bytes tftpServer() const { return ReadIpv4(field::kTftpServer); }
    void setTftpServer(const Ipv4Bytes& value) { WriteIpv4(field::kTftpServer, value); }

    std::string imageFileName() const {
        return ReadText(field::kImageFileName, field::kImageFileNameSize);
    }
    void writeImageFileName(std::string_view text) {
        WriteText(field::kImageFileName, field::kImageFileNameSize, text);
    }

    Ipv4Bytes subnetMask() const { return ReadIpv4(field::kSubnetMask); }
    void setSubnetMask(const Ipv4Bytes& value) { WriteIpv4(field::kSubnetMask, value); }
    Ipv4Bytes gateway() const { return ReadIpv4(field::kGateway); }
    void setGateway(const Ipv4Bytes& value) { WriteIpv4(field::kGateway, value); }

    // The one little-endian field. Exactly 1 is Static; every other value reads as Dynamic.
    std::uint32_t ipAddressTypeValue() const;
    AddressType ipAddressType() const {
        return ipAddressTypeValue() == 1 ? AddressType::Static : AddressType::Dynamic;
    }
    void setIpAddressType(AddressType type);

    bool operator==(const DeviceRecord& other) const { return bytes_ == other.bytes_; }
    bool operator!=(const DeviceRecord& other) const { return bytes_ != other.bytes_; }

private:
    std::uint16_t ReadBigEndian16(std::size_t offset) const;
    void WriteBigEndian16(std::size_t offset, std::uint16_t value);
    std::uint32_t ReadBigEndian32(std::size_t offset) const;
    void WriteBigEndian32(std::size_t offset, std::uint32_t value);
    Ipv4Bytes ReadIpv4(std::size_t offset) const;
    void WriteIpv4(std::size_t offset, const Ipv4Bytes& value);
    // A text runs to its first zero byte, and never past the end of its field: a field that is
    // full without a zero is read at its full width.
    std::string ReadText(std::size_t offset, std::size_t capacity) const;
    // Writes the text and its terminating zero, leaving the bytes behind the zero as they were.
    // A text longer than the field holds is cut so that the zero still fits inside the field.
    void WriteText(std::size_t offset, std::size_t capacity, std::string_view text);

    std::array<std::uint8_t, kRecordSize> bytes_;
};

// A zero-filled record with the request marker and the discovery opcode.
DeviceRecord BuildDiscoveryRequest();

bool IsKnownMarker(std::uint8_t marker);

// marker 0xAB or 0xAC and opcode 2.
bool IsDiscoveryReply(const DeviceRecord& record);

struct SetReplyCheck {
    bool accepted = false;
    std::uint16_t errorMask = 0;
};

// A reply with a known marker and opcode 4 accepts the change; one with a known marker and any
// other opcode refuses it and names the field in its mask; an unknown marker is neither
// accepted nor names a field.
SetReplyCheck CheckSetReply(const DeviceRecord& reply);

// The field name shown for an ErrorMask; the value is compared as a whole, so 0 and any mix of
// several bits give "settings".
const char* ErrorMaskName(std::uint16_t errorMask);

}  // namespace netsonde
