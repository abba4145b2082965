// labprobe: a minimal native client for the lab. From inside the lab's workstation namespace it
// broadcasts one request to port 2719 (a discovery request, or any datagram given in hex) and
// counts what comes back, with the receive buffer a test asks for; used by the lab smoke test
// and the reply-burst benchmark.
//   labprobe [--bind ADDR] [--rcvbuf BYTES] [--wait MS] [--quiet MS] [--dump FILE]
//            [--request HEXFILE]
// Prints one line of key=value figures. Exit codes: 0 ran, 1 socket failure, 2 bad command
// line, 3 refused outside the lab.
#include <poll.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "protocol/device_record.h"
#include "tools/devsim/datagram_log.h"
#include "tools/devsim/scenario_values.h"
#include "tools/devsim/udp_endpoint.h"
#include "tools/lab_guard.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string bindAddress;
    std::uint64_t receiveBuffer = 4 << 20;
    std::uint64_t waitMilliseconds = 1000;
    std::uint64_t quietMilliseconds = 0;  // 0: always wait the whole window
    std::string dumpPath;
    std::string requestPath;  // hex of the datagram to send; empty: a discovery request
};

// The bytes written in hex in the file (blanks and newlines ignored), at most 64 KiB.
bool ReadHexFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    std::string digits;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        if (!std::isspace(c)) {
            digits += static_cast<char>(c);
        }
    }
    std::fclose(file);
    if (digits.size() % 2 != 0 || digits.size() > 2 * 65507) {
        return false;
    }
    bytes->clear();
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        std::uint64_t value = 0;
        if (!devsim::ParseNumber("0x" + digits.substr(i, 2), 0xFF, &value)) {
            return false;
        }
        bytes->push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        bool ok = true;
        if (name == "--bind") {
            options->bindAddress = value;
        } else if (name == "--rcvbuf") {
            ok = devsim::ParseUnsigned(value, 1 << 30, &options->receiveBuffer);
        } else if (name == "--wait") {
            ok = devsim::ParseUnsigned(value, 60000, &options->waitMilliseconds);
        } else if (name == "--quiet") {
            ok = devsim::ParseUnsigned(value, 60000, &options->quietMilliseconds);
        } else if (name == "--dump") {
            options->dumpPath = value;
        } else if (name == "--request") {
            options->requestPath = value;
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return argc % 2 == 1;
}

double MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: labprobe [--bind ADDR] [--rcvbuf BYTES] [--wait MS] "
                     "[--quiet MS] [--dump FILE] [--request HEXFILE]\n");
        return 2;
    }
    std::string why;
    if (!netsonde::lab::InsideLabNamespace(&why)) {
        std::fprintf(stderr, "labprobe: refusing to run: %s\n", why.c_str());
        return 3;
    }
    devsim::DatagramLog dump;
    if (!options.dumpPath.empty() && !dump.Open(options.dumpPath)) {
        std::fprintf(stderr, "labprobe: cannot write %s\n", options.dumpPath.c_str());
        return 2;
    }
    devsim::UdpEndpoint endpoint;
    std::string problem;
    if (!endpoint.Open(options.bindAddress, 0, static_cast<int>(options.receiveBuffer), false,
                       &problem)) {
        std::fprintf(stderr, "labprobe: %s\n", problem.c_str());
        return 1;
    }

    const netsonde::DeviceRecord discovery = netsonde::BuildDiscoveryRequest();
    std::vector<std::uint8_t> request(discovery.data(), discovery.data() + discovery.size());
    if (!options.requestPath.empty() && !ReadHexFile(options.requestPath, &request)) {
        std::fprintf(stderr, "labprobe: %s does not hold a datagram in hex\n",
                     options.requestPath.c_str());
        return 2;
    }
    devsim::Peer devices;
    devices.port = netsonde::kDevicePort;
    const Clock::time_point sent = Clock::now();
    if (!endpoint.Send(request.data(), request.size(), devices, true, &problem)) {
        std::fprintf(stderr, "labprobe: send: %s\n", problem.c_str());
        return 1;
    }

    std::uint64_t datagrams = 0, replies = 0;
    std::set<std::uint64_t> macs;
    Clock::time_point first{}, last{};
    const Clock::time_point end = sent + std::chrono::milliseconds(options.waitMilliseconds);
    devsim::ReceivedDatagram datagram;
    for (;;) {
        Clock::time_point now = Clock::now();
        Clock::time_point until = end;
        if (options.quietMilliseconds > 0 && datagrams > 0) {
            until = std::min(end, last + std::chrono::milliseconds(options.quietMilliseconds));
        }
        if (now >= until) {
            break;
        }
        pollfd readable{endpoint.fd(), POLLIN, 0};
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
        ::poll(&readable, 1, static_cast<int>(wait.count()) + 1);
        while (endpoint.Receive(&datagram) == devsim::ReceiveOutcome::Datagram) {
            last = Clock::now();
            if (datagrams++ == 0) {
                first = last;
            }
            dump.Received(devsim::PeerText(datagram.from), datagram.data, datagram.size);
            netsonde::DeviceRecord record;
            if (netsonde::DeviceRecord::FromDatagram(datagram.data, datagram.size, &record) &&
                netsonde::IsDiscoveryReply(record)) {
                ++replies;
                std::uint64_t key = 0;
                for (std::uint8_t byte : record.mac()) {
                    key = key << 8 | byte;
                }
                macs.insert(key);
            }
        }
    }
    std::printf(
        "datagrams=%llu replies=%llu macs=%zu rcvbuf=%d first_ms=%.1f last_ms=%.1f "
        "burst_ms=%.1f\n",
        static_cast<unsigned long long>(datagrams), static_cast<unsigned long long>(replies),
        macs.size(), endpoint.receiveBufferBytes(),
        datagrams ? MillisecondsBetween(sent, first) : 0.0,
        datagrams ? MillisecondsBetween(sent, last) : 0.0,
        datagrams ? MillisecondsBetween(first, last) : 0.0);
    return 0;
}
