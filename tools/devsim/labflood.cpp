// labflood: a hostile host on the lab's device side. It waits until the simulator's wire log
// shows a discovery request, then sends stray datagrams at a steady rate to the port that request
// came from, for a set time: random lengths 0 to --max-length (1400) with random bytes, a share
// of whole 612-byte records with a valid marker and any opcode but 2 (so none of them is a device
// reply), a share of giants of 1401 to 65,000 bytes (--giants, sent as IP fragments), and a
// share of ICMP port unreachables that quote a datagram the scanning socket sent to this host
// (--icmp, from a raw socket). Every one of them longer than 612 bytes must be dropped by the
// receiver like any other stray, and so must the ICMP errors.
// --burst N first sends N of them as fast as the link takes them.
//   labflood --log SIMLOG --rate PER_SECOND [--burst N] [--seconds S] [--from ADDR]
//            [--records PERCENT] [--max-length N] [--giants PERCENT] [--icmp PERCENT] [--seed N]
// Prints one line: how many datagrams went out and over how long. Exit codes: 0 sent, 1 socket
// failure or no request seen within 30 s, 2 bad command line, 3 refused outside the lab.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "protocol/device_record.h"
#include "tools/devsim/scenario_values.h"
#include "tools/devsim/udp_endpoint.h"
#include "tools/lab_guard.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kLongestGiant = 65000;
constexpr std::size_t kShortestGiant = 1401;

struct Options {
    std::string logPath;
    std::uint64_t rate = 0;
    std::uint64_t burst = 0;
    std::uint64_t milliseconds = 4000;
    std::string fromAddress;
    std::uint64_t recordPercent = 25;
    std::uint64_t maxLength = 1400;
    std::uint64_t giantPercent = 0;
    std::uint64_t icmpPercent = 0;
    std::uint64_t seed = 1;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        std::uint64_t seconds = 0;
        bool ok = true;
        if (name == "--log") {
            options->logPath = value;
        } else if (name == "--rate") {
            ok = devsim::ParseUnsigned(value, 1000000, &options->rate);
        } else if (name == "--burst") {
            ok = devsim::ParseUnsigned(value, 10000000, &options->burst);
        } else if (name == "--seconds") {
            ok = devsim::ParseUnsigned(value, 600, &seconds);
            options->milliseconds = seconds * 1000;
        } else if (name == "--from") {
            options->fromAddress = value;
        } else if (name == "--records") {
            ok = devsim::ParseUnsigned(value, 100, &options->recordPercent);
        } else if (name == "--max-length") {
            ok = devsim::ParseUnsigned(value, kLongestGiant, &options->maxLength);
        } else if (name == "--giants") {
            ok = devsim::ParseUnsigned(value, 100, &options->giantPercent);
        } else if (name == "--icmp") {
            ok = devsim::ParseUnsigned(value, 100, &options->icmpPercent);
        } else if (name == "--seed") {
            ok = devsim::ParseUnsigned(value, 0xFFFFFFFF, &options->seed);
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return argc % 2 == 1 && !options->logPath.empty() && (options->rate > 0 || options->burst > 0);
}

// The sender of the first discovery request in the wire log ("TIME ADDR:PORT 612 ab01..."),
// waiting for it to appear.
bool WaitForRequest(const std::string& logPath, devsim::Peer* workstation) {
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < giveUp) {
        std::ifstream log(logPath);
        std::string time, sender, length, hex;
        while (log >> time >> sender >> length >> hex) {
            const std::size_t colon = sender.find(':');
            std::uint64_t port = 0;
            if (length == "612" && hex.compare(0, 4, "ab01") == 0 && colon != std::string::npos &&
                ::inet_pton(AF_INET, sender.substr(0, colon).c_str(), &workstation->address) == 1 &&
                devsim::ParseUnsigned(sender.substr(colon + 1), 0xFFFF, &port)) {
                workstation->port = static_cast<std::uint16_t>(port);
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// One stray datagram into *bytes. A random 612-byte one never passes as a device reply.
void MakeStray(std::mt19937& random, const Options& options, std::vector<std::uint8_t>* bytes) {
    const bool record = random() % 100 < options.recordPercent;
    if (record) {
        bytes->resize(netsonde::kRecordSize);
    } else if (random() % 100 < options.giantPercent) {
        bytes->resize(kShortestGiant + random() % (kLongestGiant - kShortestGiant + 1));
    } else {
        bytes->resize(random() % (options.maxLength + 1));
    }
    for (std::uint8_t& byte : *bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    if (record) {
        (*bytes)[0] = random() % 2 ? 0xAB : 0xAC;
    }
    if (bytes->size() == netsonde::kRecordSize && ((*bytes)[0] == 0xAB || (*bytes)[0] == 0xAC) &&
        (*bytes)[1] == netsonde::kDiscoveryReply) {
        (*bytes)[1] = netsonde::kDiscoveryReply + 1;
    }
}

std::uint16_t InternetChecksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

void PutBig16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

// An ICMP port unreachable (type 3, code 3) as this host's kernel would send it for a datagram
// from the workstation's scanning socket to this host's device port: the ICMP header, then the
// quoted IPv4 header and the first 8 bytes (the UDP header) of that datagram.
std::vector<std::uint8_t> PortUnreachable(const devsim::Peer& workstation, in_addr_t self) {
    std::vector<std::uint8_t> packet(8 + 20 + 8, 0);
    packet[0] = 3;
    packet[1] = 3;
    std::uint8_t* ip = packet.data() + 8;
    ip[0] = 0x45;
    PutBig16(ip + 2, 20 + 8 + netsonde::kRecordSize);
    ip[8] = 64;  // time to live
    ip[9] = IPPROTO_UDP;
    std::memcpy(ip + 12, &workstation.address, 4);
    std::memcpy(ip + 16, &self, 4);
    PutBig16(ip + 10, InternetChecksum(ip, 20));
    std::uint8_t* udp = ip + 20;
    PutBig16(udp, workstation.port);
    PutBig16(udp + 2, netsonde::kDevicePort);
    PutBig16(udp + 4, 8 + netsonde::kRecordSize);
    PutBig16(packet.data() + 2, InternetChecksum(packet.data(), packet.size()));
    return packet;
}

// A raw ICMP socket sending from the given address (root only, as the lab runs).
int OpenIcmpSender(in_addr_t self, std::string* problem) {
    const int fd = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = self;
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        *problem = std::string("raw ICMP socket: ") + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: labflood --log SIMLOG --rate PER_SECOND [--burst N] [--seconds S] "
                     "[--from ADDR] [--records PERCENT] [--max-length N] [--giants PERCENT] "
                     "[--icmp PERCENT] [--seed N]\n");
        return 2;
    }
    std::string why;
    if (!netsonde::lab::InsideLabNamespace(&why)) {
        std::fprintf(stderr, "labflood: refusing to run: %s\n", why.c_str());
        return 3;
    }
    devsim::UdpEndpoint endpoint;
    std::string problem;
    if (!endpoint.Open(options.fromAddress, 0, 4 << 20, true, &problem)) {
        std::fprintf(stderr, "labflood: %s\n", problem.c_str());
        return 1;
    }
    const in_addr_t self = inet_addr(options.fromAddress.c_str());
    int icmpSender = -1;
    if (options.icmpPercent > 0 &&
        (self == INADDR_NONE || (icmpSender = OpenIcmpSender(self, &problem)) < 0)) {
        std::fprintf(stderr, "labflood: --icmp needs --from and %s\n", problem.c_str());
        return 1;
    }
    devsim::Peer workstation;
    if (!WaitForRequest(options.logPath, &workstation)) {
        std::fprintf(stderr, "labflood: no discovery request in %s within 30 s\n",
                     options.logPath.c_str());
        return 1;
    }

    std::mt19937 random(static_cast<std::mt19937::result_type>(options.seed));
    constexpr std::size_t kBatch = 64;
    std::vector<std::vector<std::uint8_t>> strays(kBatch);
    std::vector<devsim::OutDatagram> batch(kBatch);
    const Clock::time_point start = Clock::now();
    const auto length = std::chrono::milliseconds(options.milliseconds);
    std::uint64_t sent = 0;
    std::uint64_t icmpSent = 0;
    std::vector<std::uint8_t> unreachable;
    sockaddr_in toWorkstation{};
    if (icmpSender >= 0) {
        unreachable = PortUnreachable(workstation, self);
        toWorkstation.sin_family = AF_INET;
        toWorkstation.sin_addr.s_addr = workstation.address;
    }
    for (Clock::time_point now = start; now - start < length; now = Clock::now()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - start);
        const std::uint64_t due =
            options.burst + options.rate * static_cast<std::uint64_t>(elapsed.count()) / 1000000 -
            sent;
        if (due == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            continue;
        }
        const std::size_t count = due < kBatch ? static_cast<std::size_t>(due) : kBatch;
        std::size_t datagrams = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (icmpSender >= 0 && random() % 100 < options.icmpPercent) {
                // Counted as sent either way: a full raw queue only thins the flood.
                icmpSent += sendto(icmpSender, unreachable.data(), unreachable.size(), 0,
                                   reinterpret_cast<const sockaddr*>(&toWorkstation),
                                   sizeof toWorkstation) > 0;
                ++sent;
                continue;
            }
            MakeStray(random, options, &strays[datagrams]);
            batch[datagrams] = devsim::OutDatagram{strays[datagrams].data(),
                                                   strays[datagrams].size(), workstation, false};
            ++datagrams;
        }
        const std::size_t done = endpoint.SendMany(batch.data(), datagrams, &problem);
        sent += done;
        if (done < datagrams) {
            std::fprintf(stderr, "labflood: send: %s\n", problem.c_str());
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent=%llu icmp=%llu seconds=%.2f rate=%.0f to=%s\n",
                static_cast<unsigned long long>(sent), static_cast<unsigned long long>(icmpSent),
                seconds, sent / seconds, devsim::PeerText(workstation).c_str());
    return 0;
}
