// Measures what a netsonde-cli scan costs in memory per device heard: N different MACs, each
// with every text field full (as a flood of fake devices would send them), go through the scan's
// device list, then the document and the JSON output the scan command makes from it (written to
// a stream that keeps nothing). Prints the heap held per device after the scan and while the
// output is written, and the peak resident size.
// Native Linux only (glibc's mallinfo2). Usage: bench_cli_memory [devices]
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>

#include "commission/found_devices.h"
#include "commission/scan_document.h"

namespace {

// Counts what is written and keeps nothing, as a terminal or file would take it away.
struct CountingBuffer : std::streambuf {
    std::size_t bytes = 0;
    int_type overflow(int_type c) override {
        ++bytes;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
};

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;  // small blocks and mmapped ones
}

netsonde::DeviceRecord Reply(unsigned serial) {
    netsonde::DeviceRecord record;
    record.setMarker(netsonde::kRequestMarker);
    record.setOpcode(netsonde::kDiscoveryReply);
    record.setMac({0x02, 0x00, static_cast<std::uint8_t>(serial >> 24),
                   static_cast<std::uint8_t>(serial >> 16), static_cast<std::uint8_t>(serial >> 8),
                   static_cast<std::uint8_t>(serial)});
    record.setIpAddress({10, static_cast<std::uint8_t>(serial >> 16),
                         static_cast<std::uint8_t>(serial >> 8),
                         static_cast<std::uint8_t>(serial)});
    // Full fields, high Latin-1 letters (two UTF-8 bytes each in the output).
    record.writeSystemName(std::string(netsonde::field::kSystemNameSize - 1, '\xE9'));
    record.writeSystemDescription(std::string(netsonde::field::kSystemDescriptionSize - 1, '\xE9'));
    record.writeImageFileName(std::string(netsonde::field::kImageFileNameSize - 1, '\xE9'));
    record.setUptime(serial * 997u);
    return record;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned devices = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 50000;
    if (devices == 0) {
        std::fprintf(stderr, "usage: bench_cli_memory [devices]\n");
        return 2;
    }
    const std::size_t start = HeapInUse();
    netsonde::commission::FoundDevices found;
    for (unsigned serial = 0; serial < devices; ++serial) {
        found.Add("198.18.0.1", Reply(serial));
    }
    const std::size_t listed = HeapInUse();
    std::size_t output = 0;
    {
        // As the scan command does: the document ordered, then written out a device at a time.
        namespace commission = netsonde::commission;
        commission::ScanDocument document =
            commission::MakeScanDocument({{"198.18.0.1", "ws0"}}, found, 0);
        commission::OrderDevices(&document.devices, false);
        CountingBuffer counter;
        std::ostream out(&counter);
        commission::WriteScanJson(document, out);
        output = HeapInUse();
        std::printf("%u devices: %zu bytes of JSON\n", devices, counter.bytes);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double per = static_cast<double>(devices);
    std::printf(
        "heap per device: %.0f bytes after the scan (%zu devices kept), %.0f bytes at the "
        "output; peak resident %.1f MiB (%.0f bytes per device)\n",
        static_cast<double>(listed - start) / per, found.devices().size(),
        static_cast<double>(output - start) / per, usage.ru_maxrss / 1024.0,
        usage.ru_maxrss * 1024.0 / per);
    return 0;
}
