// Choosing adapters and running the discovery exchange on them; see scan_run.h.
#include "cli/scan_run.h"

#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/platform.h"
#include "protocol/multi_exchange.h"

namespace netsonde::cli {

int ResolveAdapters(const std::vector<std::string>& wanted, std::vector<LocalAdapter>* chosen) {
    std::vector<LocalAdapter> all;
    std::string error;
    if (!ReadLocalAdapters(&all, &error)) {
        Complain(error);
        return kExitSockets;
    }
    std::vector<std::string> unknown;
    *chosen = ChooseAdapters(all, wanted, &unknown);
    for (const std::string& name : unknown) {
        Complain("no adapter " + name + " (see: " + kProgramName + " adapters)");
    }
    if (!unknown.empty()) {
        return kExitSockets;
    }
    if (chosen->empty()) {
        Complain("no usable network adapter (an IPv4 address other than 0.0.0.0 and 127.0.0.1)");
        return kExitSockets;
    }
    const std::string privilege = BindPrivilegeProblem(*chosen);
    if (!privilege.empty()) {
        Complain(privilege);
        return kExitSockets;
    }
    return kExitDone;
}

ScanRun ScanAdapters(const std::vector<LocalAdapter>& adapters) {
    ScanRun run;
    run.at = std::time(nullptr);
    std::vector<std::string> addresses;
    for (const LocalAdapter& adapter : adapters) {
        addresses.push_back(adapter.address);
    }
    const MultiExchangeOutcome outcome = MultiBroadcastExchange(
        BuildDiscoveryRequest(), addresses,
        [&](std::size_t adapter, const DeviceRecord& datagram) {
            run.devices.Add(addresses[adapter], datagram);
        },
        PlatformExchangeIo(nullptr), [] { return Interrupted(); });
    run.cancelled = outcome.cancelled;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const std::string name = adapters[i].address + " (" + adapters[i].interface + ")";
        if (!outcome.started[i]) {
            Complain("cannot open or bind a socket on " + name + "; nothing was sent there");
            run.status = kExitSockets;
        } else if (outcome.receiveError[i] != nullptr) {
            Complain(std::string(outcome.receiveError[i]) + " on " + name +
                     "; replies after it were not read");
            run.status = kExitSockets;
        }
    }
    return run;
}

commission::Rescan RescanAdapters(const std::vector<LocalAdapter>& adapters) {
    return [adapters](commission::FoundDevices* heard) {
        ScanRun run = ScanAdapters(adapters);
        *heard = std::move(run.devices);
        return !run.cancelled && !Interrupted();
    };
}

int ScanBeforeSending(const std::vector<std::string>& wanted, std::vector<LocalAdapter>* adapters,
                      ScanRun* scan) {
    const int resolved = ResolveAdapters(wanted, adapters);
    if (resolved != kExitDone) {
        return resolved;
    }
    *scan = ScanAdapters(*adapters);
    if (scan->cancelled) {
        Complain("interrupted during the scan; nothing was sent");
        return kExitInterrupted;
    }
    return kExitDone;
}

}  // namespace netsonde::cli
