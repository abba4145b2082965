// The process exit codes of Netsonde.exe, and how the main window's result maps onto them.
#pragma once

#include <cstdint>

namespace netsonde {

enum ExitCode : int {
    kExitNormal = 0,                  // the operator closed the main window
    kExitAdapterChoiceCancelled = 1,  // the first adapter choice was cancelled (set by the chooser)
    kExitSocketsFailed = 2,     // Windows Sockets 1.1 could not be started; the operator was told
    kExitNoAdapter = 3,         // no adapter to offer; the chooser told the operator
    kExitMainWindowFailed = 4,  // the main window could not be created
};

// The main window's result when it closed because the adapter chooser had nothing to offer.
constexpr std::intptr_t kMainWindowNoAdapterResult = 3;

// Exit code for the result of the main window's modal run (-1 when it could not be created,
// 3 when it closed because no adapter was found, anything else a normal close).
int ExitCodeForMainWindowResult(std::intptr_t result);

}  // namespace netsonde
