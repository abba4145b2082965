// Measures the cost of one scan reply through AddDeviceReply into an in-memory list: every
// device answers all three attempts, so each scan sees each device once new and twice
// repeated. Two scans are timed: 1000 devices (repeats then meet the full list and stop at the
// row limit) and 999 devices (repeats reach the duplicate test against 999 listed devices, its
// worst case). Usage: bench_scan [rounds]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "discovery/device_reply.h"
#include "discovery/device_table.h"
#include "tests/unit/discovery_fake_rows.h"

namespace {

using Clock = std::chrono::steady_clock;

netsonde::DeviceRecord Reply(int serial) {
    netsonde::DeviceRecord record;
    record.setMarker(netsonde::kRequestMarker);
    record.setOpcode(netsonde::kDiscoveryReply);
    record.setMac({0x02, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(serial >> 8),
                   static_cast<std::uint8_t>(serial)});
    record.setIpAddress(
        {10, 1, static_cast<std::uint8_t>(serial >> 8), static_cast<std::uint8_t>(serial)});
    record.writeSystemName("bench-device");
    record.setUptime(static_cast<std::uint32_t>(serial) * 997u);
    record.writeSystemDescription("simulated managed switch");
    return record;
}

// Runs rounds scans of devices devices; returns false if a scan listed the wrong number.
bool TimeScan(int devices, int rounds) {
    std::vector<netsonde::DeviceRecord> replies;
    for (int attempt = 0; attempt < 3; ++attempt) {
        for (int serial = 0; serial < devices; ++serial) {
            replies.push_back(Reply(serial));
        }
    }
    const std::size_t firstAttempt = static_cast<std::size_t>(devices);

    netsonde::FakeDeviceRows rows;
    bool listedAll = true;
    Clock::duration newTime{}, repeatTime{};
    for (int round = 0; round < rounds; ++round) {
        rows.DeleteAllRows();
        netsonde::MacIndex.RemoveAll();
        const auto start = Clock::now();
        for (std::size_t i = 0; i < firstAttempt; ++i) {
            netsonde::AddDeviceReply(rows, replies[i]);
        }
        const auto middle = Clock::now();
        for (std::size_t i = firstAttempt; i < replies.size(); ++i) {
            netsonde::AddDeviceReply(rows, replies[i]);
        }
        const auto end = Clock::now();
        newTime += middle - start;
        repeatTime += end - middle;
        listedAll = listedAll && rows.RowCount() == devices;
    }
    const auto perReply = [rounds](Clock::duration total, std::size_t count) {
        return std::chrono::duration<double, std::nano>(total).count() /
               (static_cast<double>(rounds) * static_cast<double>(count));
    };
    std::printf(
        "%4d devices x 3 attempts, %d rounds: new %.0f ns/reply, repeated %.0f ns/reply, "
        "mean %.0f ns/reply (%.2f ms per scan)\n",
        devices, rounds, perReply(newTime, firstAttempt),
        perReply(repeatTime, replies.size() - firstAttempt),
        perReply(newTime + repeatTime, replies.size()), perReply(newTime + repeatTime, 1) / 1e6);
    return listedAll;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 100;
    if (rounds <= 0) {
        std::fprintf(stderr, "usage: bench_scan [rounds > 0]\n");
        return 2;
    }
    const bool full = TimeScan(1000, rounds);
    const bool almostFull = TimeScan(999, rounds);
    return full && almostFull ? 0 : 1;
}
