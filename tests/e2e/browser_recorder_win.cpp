// browser_recorder.exe: stands in for the web browser "iexplore" in the test Wine prefix. It
// appends its parameters (the command line without the program name) as one line to the file
// named by NETSONDE_E2E_BROWSER_LOG, so a test can check exactly how the browser was started.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/e2e_env_win.h"

namespace {

// The command line after the program name, which may be quoted.
std::string Parameters(const char* commandLine) {
    std::string line(commandLine);
    size_t position = 0;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        position = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (position < line.size() && line[position] != ' ' && line[position] != '\t') {
            ++position;
        }
    }
    while (position < line.size() && (line[position] == ' ' || line[position] == '\t')) {
        ++position;
    }
    return line.substr(position);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* logPath = std::getenv("NETSONDE_E2E_BROWSER_LOG");
    if (logPath == nullptr || *logPath == '\0') {
        return 2;
    }
    FILE* log = std::fopen(e2e::WinePath(logPath).c_str(), "ab");
    if (log == nullptr) {
        return 3;
    }
    const std::string parameters = Parameters(GetCommandLineA());
    std::fprintf(log, "%s\n", parameters.c_str());
    return std::fclose(log) == 0 ? 0 : 4;
}
