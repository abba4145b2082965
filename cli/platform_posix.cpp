// The command-line program's platform layer on Linux: arguments and files as they come, no
// sockets library to start, SIGINT and SIGTERM as the interrupt, and the SO_BINDTODEVICE
// privilege check.
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "cli/password_source.h"
#include "cli/platform.h"

namespace netsonde::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
}

}  // namespace

bool StartSockets(std::string*) {
    return true;
}

void StopSockets() {}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a wait for replies wakes up at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
    return g_interrupted != 0;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsole() {}

void RestoreConsole() {}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::optional<std::string> EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

bool ReadStandardInputLine(std::string* line, std::size_t limit) {
    // Typed at a terminal: not echoed, since it is a password.
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool any = ReadFirstLine(stdin, line, limit);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputs("\n", stderr);
    }
    return any;
}

bool OthersMayRead(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

std::string BindPrivilegeProblem(const std::vector<LocalAdapter>& adapters) {
    for (const LocalAdapter& adapter : adapters) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        if (fd < 0) {
            return std::string();  // the exchange itself reports a socket that cannot open
        }
        const int result = setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, adapter.interface.c_str(),
                                      static_cast<socklen_t>(adapter.interface.size() + 1));
        const int error = errno;
        close(fd);
        if (result != 0 && (error == EPERM || error == EACCES)) {
            return "binding a socket to interface " + adapter.interface +
                   " needs the CAP_NET_RAW privilege, without which no broadcast reply is heard: "
                   "run as root or grant it (setcap cap_net_raw+ep netsonde-cli)";
        }
    }
    return std::string();
}

}  // namespace netsonde::cli
