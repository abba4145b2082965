// The command-line program's platform layer on Windows: Winsock 1.1 started once, Ctrl+C and
// Ctrl+Break through the console control handler, UTF-8 console output.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include <atomic>

#include "app/winsock_start_win.h"
#include "cli/platform.h"

namespace netsonde::cli {
namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
        g_interrupted = true;
        return TRUE;  // handled: the program ends itself
    }
    return FALSE;
}

}  // namespace

bool StartSockets(std::string* error) {
    if (!StartWindowsSockets()) {
        *error = "Windows sockets initialization failed.";
        return false;
    }
    return true;
}

void StopSockets() {
    StopWindowsSockets();
}

void InstallInterruptHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool Interrupted() {
    return g_interrupted;
}

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    // The bytes as written: CSV already ends its lines with CRLF.
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string BindPrivilegeProblem(const std::vector<LocalAdapter>&) {
    return std::string();  // a Winsock socket bound to an address hears broadcasts as it is
}

}  // namespace netsonde::cli
