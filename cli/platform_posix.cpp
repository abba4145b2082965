// The command-line program's platform layer on Linux: no sockets library to start, SIGINT and
// SIGTERM as the interrupt, and the SO_BINDTODEVICE privilege check.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

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

void PrepareConsole() {}

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
