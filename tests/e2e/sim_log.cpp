// Reads the device simulator's wire log; see sim_log.h.
//   2026-12-08T14:50:01.123Z 198.18.0.1:40000 612 ab0100...   (received)
//   2026-12-08T14:50:01.124Z > 198.18.0.1:40000 612 ab0200...  (sent, when logged)
#include "tests/e2e/sim_log.h"

#include "tools/hex_digit.h"

#include <cstdlib>
#include <sstream>

namespace e2e {

namespace {

using netsonde::HexDigit;

bool ParseHex(const std::string& hex, std::vector<std::uint8_t>* bytes) {
    if (hex == "-") {
        return true;
    }
    if (hex.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes->push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

}  // namespace

std::vector<WireDatagram> ParseSimLog(const std::string& text) {
    std::vector<WireDatagram> datagrams;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string time, peer, length, hex;
        if (!(fields >> time >> peer >> length >> hex) || peer == ">") {
            continue;
        }
        const size_t colon = peer.rfind(':');
        WireDatagram datagram;
        if (colon == std::string::npos || !ParseHex(hex, &datagram.bytes) ||
            std::to_string(datagram.bytes.size()) != length) {
            continue;
        }
        datagram.senderAddress = peer.substr(0, colon);
        datagram.senderPort = std::atoi(peer.c_str() + colon + 1);
        datagrams.push_back(std::move(datagram));
    }
    return datagrams;
}

}  // namespace e2e
