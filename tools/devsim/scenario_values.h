// Conversions of the value texts in scenario files: numbers, MAC and IPv4 addresses, escaped
// texts, link rates. Each returns false for a text that is not exactly such a value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/device_record.h"

namespace devsim {

// Decimal digits only, at most maxValue.
bool ParseUnsigned(std::string_view text, std::uint64_t maxValue, std::uint64_t* value);

// Decimal, or hexadecimal with a 0x prefix, at most maxValue.
bool ParseNumber(std::string_view text, std::uint64_t maxValue, std::uint64_t* value);

// Six pairs of hex digits separated by ':' or '-'.
bool ParseMac(std::string_view text, netsonde::MacBytes* mac);

// Four decimal numbers 0..255 separated by '.', no leading '+', no spaces.
bool ParseIpv4(std::string_view text, netsonde::Ipv4Bytes* address);

// Expands \\ and \xHH; any other backslash sequence is an error.
bool UnescapeText(std::string_view text, std::string* out);

// "none", "100m", "1g", or a number of bits per second with an optional k, m or g suffix.
bool ParseLinkRate(std::string_view text, std::uint64_t* bitsPerSecond);

// Adds an offset to an address read as one big number; false when it runs past the top.
bool OffsetMac(const netsonde::MacBytes& base, std::uint64_t offset, netsonde::MacBytes* out);
bool OffsetIpv4(const netsonde::Ipv4Bytes& base, std::uint64_t offset, netsonde::Ipv4Bytes* out);

}  // namespace devsim
