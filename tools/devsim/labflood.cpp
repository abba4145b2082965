// labflood: a hostile host on the lab's device side. It waits until the simulator's wire log
// shows a discovery request, then sends stray datagrams at a steady rate to the port that request
// came from, for a set time: random lengths 0-612 with random bytes, and a share of whole
// 612-byte records with a valid marker and any opcode but 2 (so none of them is a device reply).
// --burst N first sends N of them as fast as the link takes them.
//   labflood --log SIMLOG --rate PER_SECOND [--burst N] [--seconds S] [--from ADDR]
//            [--records PERCENT] [--seed N]
// Prints one line: how many datagrams went out and over how long. Exit codes: 0 sent, 1 socket
// failure or no request seen within 30 s, 2 bad command line, 3 refused outside the lab.
#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
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

struct Options {
    std::string logPath;
    std::uint64_t rate = 0;
    std::uint64_t burst = 0;
    std::uint64_t milliseconds = 4000;
    std::string fromAddress;
    std::uint64_t recordPercent = 25;
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
void MakeStray(std::mt19937& random, std::uint64_t recordPercent,
               std::vector<std::uint8_t>* bytes) {
    const bool record = random() % 100 < recordPercent;
    bytes->resize(record ? netsonde::kRecordSize : random() % (netsonde::kRecordSize + 1));
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

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: labflood --log SIMLOG --rate PER_SECOND [--burst N] [--seconds S] "
                     "[--from ADDR] [--records PERCENT] [--seed N]\n");
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
        for (std::size_t i = 0; i < count; ++i) {
            MakeStray(random, options.recordPercent, &strays[i]);
            batch[i] = devsim::OutDatagram{strays[i].data(), strays[i].size(), workstation, false};
        }
        const std::size_t done = endpoint.SendMany(batch.data(), count, &problem);
        sent += done;
        if (done < count) {
            std::fprintf(stderr, "labflood: send: %s\n", problem.c_str());
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent=%llu seconds=%.2f rate=%.0f to=%s\n", static_cast<unsigned long long>(sent),
                seconds, sent / seconds, devsim::PeerText(workstation).c_str());
    return 0;
}
