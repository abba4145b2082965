// An IPv4 address as one number, for arithmetic on address ranges (counting, masking, order):
// the first number of the dotted form is the top byte, as the record carries it.
#pragma once

#include <cstdint>

#include "protocol/device_record.h"

namespace netsonde {

inline std::uint32_t Ipv4Number(const Ipv4Bytes& address) {
    return static_cast<std::uint32_t>(address[0]) << 24 |
           static_cast<std::uint32_t>(address[1]) << 16 |
           static_cast<std::uint32_t>(address[2]) << 8 | static_cast<std::uint32_t>(address[3]);
}

inline Ipv4Bytes Ipv4FromNumber(std::uint32_t number) {
    return {static_cast<std::uint8_t>(number >> 24), static_cast<std::uint8_t>(number >> 16),
            static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)};
}

}  // namespace netsonde
