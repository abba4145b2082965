// Reads the device simulator's wire log: the datagrams that reached the simulated devices, so an
// end-to-end case can check exactly what the program put on the wire.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct WireDatagram {
    std::string senderAddress;  // dotted IPv4 text
    int senderPort = 0;
    std::vector<std::uint8_t> bytes;
};

// The received datagrams of a log's text, in log order. Lines of sent datagrams and lines that
// do not parse are skipped.
std::vector<WireDatagram> ParseSimLog(const std::string& text);

}  // namespace e2e
