// A --since file of any bytes: the saved-scan reader never crashes (depth and size bounded),
// and what it accepts is compared with a scan as --since does: every current device once, in
// order, as new, changed or same; every earlier device not heard after them as gone; the CSV
// reads back row for row; the table holds no control character; the document written again
// reads back as the same document.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "cli/saved_scan.h"
#include "cli/scan_table.h"
#include "commission/csv.h"
#include "commission/scan_document.h"
#include "fuzz/fuzz_check.h"

using namespace netsonde;
using namespace netsonde::commission;

namespace {

// Three devices whose MACs the seed corpus also lists, so comparisons find matches.
const ScanDocument& CurrentScan() {
    static const ScanDocument scan = [] {
        FoundDevices found;
        for (std::uint8_t tag = 1; tag <= 3; ++tag) {
            DeviceRecord record;
            record.setMarker(kRequestMarker);
            record.setOpcode(kDiscoveryReply);
            record.setMac({0x02, 0x00, 0x5e, 0x00, 0x00, tag});
            record.setIpAddress({198, 18, 0, 10});
            record.writeSystemName("core-sw");
            found.Add("198.18.0.1", record);
        }
        return MakeScanDocument({{"198.18.0.1", "ws0"}}, found, 0);
    }();
    return scan;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScanDocument earlier;
    std::string error;
    if (!cli::ParseScanDocument(std::string(reinterpret_cast<const char*>(data), size), &earlier,
                                &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    const ScanDocument& current = CurrentScan();
    std::vector<DeviceEntry> compared = CompareWithEarlier(current.devices, earlier.devices);
    std::unordered_set<std::string> heard;
    for (const DeviceEntry& device : current.devices) {
        heard.insert(device.mac);
    }
    std::size_t gone = 0;
    for (const DeviceEntry& device : earlier.devices) {
        gone += heard.count(device.mac) == 0 ? 1 : 0;
    }
    FUZZ_CHECK(compared.size() == current.devices.size() + gone);
    for (std::size_t i = 0; i < compared.size(); ++i) {
        const DeviceEntry& entry = compared[i];
        FUZZ_CHECK(entry.change.has_value());
        if (i < current.devices.size()) {
            FUZZ_CHECK(entry.mac == current.devices[i].mac);
            FUZZ_CHECK(*entry.change != "gone");
            FUZZ_CHECK((*entry.change == "changed") == !entry.changedFields.empty());
        } else {
            FUZZ_CHECK(*entry.change == "gone" && entry.changedFields.empty());
        }
    }

    OrderDevices(&compared, size % 2 == 0);
    std::vector<CsvRow> rows;
    FUZZ_CHECK(ParseCsv(FormatCsv(compared, true), &rows, &error));
    FUZZ_CHECK(rows.size() == compared.size() + 1);
    for (const CsvRow& row : rows) {
        FUZZ_CHECK(row.fields.size() == kDeviceKeys.size() + 2);
    }
    for (std::size_t i = 0; i < compared.size(); ++i) {
        FUZZ_CHECK(rows[i + 1].fields[1] == compared[i].name);
    }
    const std::string table = cli::FormatTable(compared, true);
    std::size_t lines = 0;
    for (const char c : table) {
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
        lines += c == '\n' ? 1 : 0;
    }
    FUZZ_CHECK(lines == compared.size() + 1);

    const std::string json = ScanJson(earlier);
    ScanDocument again;
    FUZZ_CHECK(cli::ParseScanDocument(json, &again, &error));
    FUZZ_CHECK(ScanJson(again) == json);
    return 0;
}
