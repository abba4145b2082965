// Mapping of the main window's result onto the process exit code; see exit_codes.h.
#include "app/exit_codes.h"

namespace netsonde {

int ExitCodeForMainWindowResult(std::intptr_t result) {
    if (result == -1) {
        return kExitMainWindowFailed;
    }
    if (result == kMainWindowNoAdapterResult) {
        return kExitNoAdapter;
    }
    return kExitNormal;
}

}  // namespace netsonde
