// Text forms of MAC addresses, IPv4 addresses and uptimes.
#include "protocol/text_forms.h"

#include <cstdio>

namespace netsonde {

std::string FormatMacText(const MacBytes& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%2.2x-%2.2x-%2.2x-%2.2x-%2.2x-%2.2x", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string FormatIpText(const Ipv4Bytes& address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
    return text;
}

std::string FormatUptimeText(std::uint32_t hundredths) {
    const std::uint32_t seconds = hundredths / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%u d %u h %u m %u s", seconds / 86400, seconds % 86400 / 3600,
                  seconds % 3600 / 60, seconds % 60);
    return text;
}

}  // namespace netsonde
