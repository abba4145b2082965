// The text forms a device's fields take in the list and the Change dialog.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/device_record.h"

namespace netsonde {

// Six lowercase hexadecimal pairs joined by "-": 02-1f-00-0a-b3-7c. Always 17 characters.
std::string FormatMacText(const MacBytes& mac);

// Four decimal numbers joined by ".", first byte first: 192.168.1.20.
std::string FormatIpText(const Ipv4Bytes& address);

// Hundredths of a second as "%d d %d h %d m %d s"; the remainder below a second is dropped.
std::string FormatUptimeText(std::uint32_t hundredths);

}  // namespace netsonde
