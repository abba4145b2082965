// Checks of the IPv4 address texts typed into the Change dialog, and their conversion into the
// four bytes an address field of the device record carries. Pure functions: no window, socket
// or global is touched.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/device_record.h"

namespace netsonde {

using AddressKind = std::uint8_t;
constexpr AddressKind HostAddressKind = 1;  // IP address, gateway, TFTP server
constexpr AddressKind SubnetMaskKind = 2;   // subnet mask

// Longest text the check looks at; anything longer is refused.
constexpr std::size_t kMaxCheckedAddressText = 255;

// Returns 1 when text is exactly four dot-separated groups of decimal digits, each 0 to 255,
// and fits the kind: a host address may not start with 0 or 255; a mask must be a run of
// one-bits from the top followed only by zero-bits (0.0.0.0 and 255.255.255.255 included).
// Any other kind gets the common rules only. Returns 0 otherwise, and for a null text, a text
// of more than four groups or one longer than kMaxCheckedAddressText characters.
int CheckAddressText(const char* text, AddressKind kind);

// Reads four decimal numbers separated by single dots, in the manner of "%d.%d.%d.%d", and
// stores each number modulo 256 in (*out)[0] to (*out)[3]. Made for texts CheckAddressText
// accepted and for FormatIpText output. Any other text is still read safely: reading stops at
// the first point where a number or a dot is missing, and every byte not read is set to 0.
// Characters after the fourth number are ignored. A null text gives 0.0.0.0.
void ParseDottedQuad(const char* text, Ipv4Bytes* out);
Ipv4Bytes ParseDottedQuad(const char* text);

}  // namespace netsonde
