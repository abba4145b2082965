// The adapters and scan commands.
#include <iostream>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/saved_scan.h"
#include "cli/scan_run.h"
#include "cli/scan_table.h"

namespace netsonde::cli {

using namespace commission;

namespace {

std::vector<DocumentAdapter> DocumentAdapters(const std::vector<LocalAdapter>& adapters) {
    std::vector<DocumentAdapter> listed;
    for (const LocalAdapter& adapter : adapters) {
        listed.push_back({adapter.address, adapter.interface});
    }
    return listed;
}

// The line for standard error when the scan shows conflicts; none otherwise.
std::vector<std::string> ConflictsSummary(const std::vector<DeviceEntry>& devices) {
    std::size_t sharedIp = 0, twoRecords = 0;
    for (const DeviceEntry& device : devices) {
        for (const std::string& kind : device.conflicts) {
            ++(kind == "ip" ? sharedIp : twoRecords);
        }
    }
    if (sharedIp + twoRecords == 0) {
        return {};
    }
    return {"conflicts: " + std::to_string(sharedIp) +
            " device(s) report an IP address another device also reports, " +
            std::to_string(twoRecords) + " MAC address(es) answered with different records"};
}

}  // namespace

int RunAdaptersCommand(bool json) {
    std::vector<LocalAdapter> adapters;
    std::string error;
    if (!ReadLocalAdapters(&adapters, &error)) {
        Complain(error);
        return kExitSockets;
    }
    if (json) {
        JsonWriter list;
        WriteAdapters(DocumentAdapters(adapters), &list);
        std::cout << list.text() << '\n';
    } else {
        for (const LocalAdapter& adapter : adapters) {
            std::cout << adapter.address << "  " << adapter.interface << '\n';
        }
    }
    if (adapters.empty()) {
        Complain("no usable network adapter (an IPv4 address other than 0.0.0.0 and 127.0.0.1)");
    }
    return kExitDone;
}

int RunScanCommand(const ScanOptions& options) {
    // The earlier scan is read first: a bad file is a usage error, found before anything is sent.
    ScanDocument earlier;
    if (!options.since.empty()) {
        std::string text, error;
        if (!ReadTextFile(options.since, &text, &error)) {
            Complain(error);
            return kExitUsage;
        }
        if (!ParseScanDocument(text, &earlier, &error)) {
            Complain(options.since + ": " + error);
            return kExitUsage;
        }
    }
    std::vector<LocalAdapter> adapters;
    const int resolved = ResolveAdapters(options.adapters, &adapters);
    if (resolved != kExitDone) {
        return resolved;
    }
    const ScanRun run = ScanAdapters(adapters);
    if (run.cancelled) {
        Complain("interrupted: the scan was not finished; nothing was printed or saved");
        return kExitInterrupted;
    }
    ScanDocument document = MakeScanDocument(DocumentAdapters(adapters), run.devices, run.at);
    // Saved in the order printed, so a saved scan and the printed one read alike.
    OrderDevices(&document.devices, options.newest);
    if (!options.save.empty()) {
        std::string error;
        // The scan was made: it is still printed, and the exit code stays the scan's.
        if (!WriteTextFile(
                options.save, [&](std::ostream& out) { WriteScanJson(document, out); }, &error)) {
            Complain(error + "; the scan was not saved");
        }
    }
    const std::vector<std::string> conflicts = ConflictsSummary(document.devices);
    // The listing replaces the document's devices rather than copying them, and goes out a
    // device at a time: a scan of many devices is held once.
    const bool compared = !options.since.empty();
    if (compared) {
        document.devices =
            CompareWithEarlier(document.devices, earlier.devices, &run.listened);
        OrderDevices(&document.devices, options.newest);
    }
    if (options.format == "json") {
        WriteScanJson(document, std::cout);
    } else if (options.format == "csv") {
        WriteCsv(document.devices, compared, std::cout);
    } else {
        std::cout << FormatTable(document.devices, compared);
    }
    std::cout.flush();
    if (document.truncated) {
        Complain("more than " + std::to_string(kMaxScanDevices) +
                 " devices answered; the list was cut to the first " +
                 std::to_string(kMaxScanDevices) + " heard");
    }
    for (const std::string& line : conflicts) {
        Complain(line);
    }
    if (run.devices.devices().empty()) {
        std::string where;
        for (const LocalAdapter& adapter : adapters) {
            where += (where.empty() ? "" : ", ") + adapter.address;
        }
        Complain("no device answered on " + where);
    }
    return run.status;
}

}  // namespace netsonde::cli
