// One scan as the commands run it: the adapters chosen from the workstation's, the discovery
// exchange on all of them at once, and what was heard.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "cli/local_adapters.h"
#include "commission/device_change.h"
#include "commission/found_devices.h"

namespace netsonde::cli {

// The adapters named by `wanted` (all usable ones when empty). Says on standard error why
// there are none to use (unreadable tables, an unknown name, no usable address, a missing
// privilege) and returns kExitSockets then; kExitDone otherwise.
int ResolveAdapters(const std::vector<std::string>& wanted, std::vector<LocalAdapter>* chosen);

struct ScanRun {
    commission::FoundDevices devices;
    std::time_t at = 0;
    bool cancelled = false;  // Ctrl+C ended it early
    int status = 0;          // kExitDone, or kExitSockets when an adapter could not take part
};

// One discovery exchange on every adapter at once. Adapters whose socket could not be opened
// or bound, or whose receiving failed, are named on standard error.
ScanRun ScanAdapters(const std::vector<LocalAdapter>& adapters);

// Verification's rescan: ScanAdapters on these adapters; false once Ctrl+C was pressed.
commission::Rescan RescanAdapters(const std::vector<LocalAdapter>& adapters);

// The scan set and apply start with: adapters resolved, then one scan. kExitDone to go on;
// otherwise the exit status (adapter failure, or Ctrl+C, said on standard error).
int ScanBeforeSending(const std::vector<std::string>& wanted, std::vector<LocalAdapter>* adapters,
                      ScanRun* scan);

}  // namespace netsonde::cli
