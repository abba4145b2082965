// Windows Sockets start and stop through WSAStartup/WSACleanup (wsock32).
#include "app/winsock_start_win.h"

#include <winsock.h>

#include "app/sockets_start.h"

namespace netsonde {

namespace {

int Startup(std::uint16_t requested, std::uint16_t* granted) {
    WSADATA data{};
    const int error = WSAStartup(requested, &data);
    *granted = data.wVersion;
    return error;
}

void Cleanup() {
    WSACleanup();
}

constexpr SocketsStartCalls kWinsockCalls{&Startup, &Cleanup};

// Constant-initialised, so it is in place before any other static object is constructed.
SocketsStartOnce g_sockets;

}  // namespace

bool StartWindowsSockets() {
    return g_sockets.Start(kWinsockCalls);
}

void StopWindowsSockets() {
    g_sockets.Stop(kWinsockCalls);
}

}  // namespace netsonde
