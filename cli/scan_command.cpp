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
        if (!WriteTextFile(options.save, ScanJson(document), &error)) {
            Complain(error);
            return kExitUsage;
        }
    }
    const bool compared = !options.since.empty();
    std::vector<DeviceEntry> devices =
        compared ? CompareWithEarlier(document.devices, earlier.devices) : document.devices;
    OrderDevices(&devices, options.newest);
    if (options.format == "json") {
        document.devices = devices;
        std::cout << ScanJson(document);
    } else if (options.format == "csv") {
        std::cout << FormatCsv(devices, compared);
    } else {
        std::cout << FormatTable(devices, compared);
    }
    std::cout.flush();
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
