// Reads the fault file and finds the real DLL's exports; see fault_switch_win.h.
#include "tests/e2e/standins/fault_switch_win.h"

#include <cstdio>
#include <cstdlib>

namespace standin {

std::optional<std::string> Fault(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("NETSONDE_FAULT_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return std::nullopt;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    char bytes[4096];  // a fault file holds a few short lines
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    if (!ok) {
        return std::nullopt;
    }
    const std::string text(bytes, read);
    const std::string wanted(name);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        if (line == wanted) {
            return std::string();
        }
        if (line.size() > wanted.size() && line.compare(0, wanted.size(), wanted) == 0 &&
            line[wanted.size()] == ' ') {
            return line.substr(wanted.size() + 1);
        }
    }
    return std::nullopt;
}

FARPROC RealProc(const char* dll, const char* name) {
    HMODULE module = LoadLibraryA(dll);
    FARPROC proc = module != nullptr ? GetProcAddress(module, name) : nullptr;
    if (proc == nullptr) {
        std::fprintf(stderr, "stand-in: %s!%s is missing\n", dll, name);
        std::abort();
    }
    return proc;
}

}  // namespace standin
