// The command-line program's platform layer on Windows: the command line, file names, the
// environment and console input read as UTF-16, Winsock 1.1 started once, Ctrl+C and Ctrl+Break
// through the console control handler, UTF-8 console output and the console's own code page
// given back on the way out.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include <atomic>

#include "app/winsock_start_win.h"
#include "cli/password_source.h"
#include "cli/platform.h"
#include "cli/text_convert_win.h"

namespace netsonde::cli {
namespace {

std::atomic<bool> g_interrupted{false};
// The console's output code page before PrepareConsole; 0 when there is nothing to give back.
std::atomic<UINT> g_savedOutputCodePage{0};

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
        g_interrupted = true;
        return TRUE;  // handled: the program ends itself, through main's way out
    }
    // The console window closed, or the user logs off: Windows ends the process after this
    // handler without running main's way out.
    RestoreConsole();
    return FALSE;
}

[[noreturn]] void OnTerminate() {
    RestoreConsole();
    std::abort();
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf16ToUtf8(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

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
    const UINT current = GetConsoleOutputCP();
    if (current != 0 && current != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        g_savedOutputCodePage = current;
        std::atexit(RestoreConsole);
        std::set_terminate(OnTerminate);
    }
    // The bytes as written: CSV already ends its lines with CRLF.
    _setmode(_fileno(stdout), _O_BINARY);
}

void RestoreConsole() {
    const UINT saved = g_savedOutputCodePage.exchange(0);
    if (saved != 0) {
        std::fflush(stdout);
        std::fflush(stderr);
        SetConsoleOutputCP(saved);
    }
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return _wfopen(Utf8ToUtf16(path).c_str(), Utf8ToUtf16(mode).c_str());
}

std::optional<std::string> EnvironmentText(const char* name) {
    const wchar_t* value = _wgetenv(Utf8ToUtf16(name).c_str());
    return value == nullptr ? std::nullopt : std::optional<std::string>(Utf16ToUtf8(value));
}

bool ReadStandardInputLine(std::string* line, std::size_t limit) {
    line->clear();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode)) {
        // Typed at the console: read as UTF-16, and not echoed, since it is a password.
        SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
        std::wstring wide;
        bool any = false;
        for (;;) {
            wchar_t c = 0;
            DWORD read = 0;
            if (!ReadConsoleW(input, &c, 1, &read, nullptr) || read == 0 || c == 26 /* ^Z */) {
                break;
            }
            any = true;
            if (c == L'\n') {
                break;
            }
            if (c != L'\r' && wide.size() < limit) {
                wide.push_back(c);
            }
        }
        SetConsoleMode(input, mode);
        std::fputs("\n", stderr);
        *line = Utf16ToUtf8(wide);
        return any;
    }
    return ReadFirstLine(stdin, line, limit);
}

bool OthersMayRead(const std::string&) {
    return false;  // an ACL, not a mode: nothing simple to tell
}

std::string BindPrivilegeProblem(const std::vector<LocalAdapter>&) {
    return std::string();  // a Winsock socket bound to an address hears broadcasts as it is
}

}  // namespace netsonde::cli
