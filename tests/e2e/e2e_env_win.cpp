// What the end-to-end test programs learn from their surroundings; see e2e_env_win.h.
#include "tests/e2e/e2e_env_win.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace e2e {

std::string ProgramDir() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length < MAX_PATH ? length : MAX_PATH);
    const size_t slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string WinePath(const std::string& path) {
    if (path.empty() || path[0] != '/') {
        return path;
    }
    std::string converted = "Z:" + path;
    for (char& c : converted) {
        if (c == '/') {
            c = '\\';
        }
    }
    return converted;
}

std::string NetsondeExe() {
    return WinePath(EnvOr("NETSONDE_EXE", ProgramDir() + "..\\..\\Netsonde.exe"));
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(WinePath(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace e2e
