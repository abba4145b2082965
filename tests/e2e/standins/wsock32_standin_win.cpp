// Stand-in for wsock32.dll in the fault-injection tests. Every export passes to Wine's own
// wsock32 (wsock32_wine.dll; the forwarders are in wsock32_standin.def) except the calls
// that can fail on demand, named in the fault file (fault_switch_win.h):
//   startup-fails      WSAStartup answers WSASYSNOTREADY
//   startup-version    WSAStartup succeeds but grants version 1.0 instead of 1.1
//   socket-fails       socket answers INVALID_SOCKET (WSAEMFILE)
//   nonblocking-fails  ioctlsocket(FIONBIO) answers SOCKET_ERROR (WSAEINVAL)
//   bind-fails         bind answers SOCKET_ERROR (WSAEADDRNOTAVAIL)
//   recv-fails         recv answers SOCKET_ERROR (WSAENETDOWN)
//   recv-resets        every other recv answers SOCKET_ERROR with WSAECONNRESET or WSAENETRESET
//                      in turn and takes nothing from the queue, as Windows reports ICMP errors
//                      about earlier sends (Wine never does)
#include <winsock.h>

#include "tests/e2e/standins/fault_switch_win.h"

namespace {

constexpr char kReal[] = "wsock32_wine.dll";

void SetError(int code) {
    standin::Real<void(WINAPI*)(int)>(kReal, "WSASetLastError")(code);
}

}  // namespace

extern "C" {

int WINAPI StandinWSAStartup(WORD requested, LPWSADATA data) {
    if (standin::FaultOn("startup-fails")) {
        return WSASYSNOTREADY;
    }
    const int answer =
        standin::Real<int(WINAPI*)(WORD, LPWSADATA)>(kReal, "WSAStartup")(requested, data);
    if (answer == 0 && data != nullptr && standin::FaultOn("startup-version")) {
        data->wVersion = MAKEWORD(1, 0);
    }
    return answer;
}

SOCKET WINAPI StandinSocket(int family, int type, int protocol) {
    if (standin::FaultOn("socket-fails")) {
        SetError(WSAEMFILE);
        return INVALID_SOCKET;
    }
    return standin::Real<SOCKET(WINAPI*)(int, int, int)>(kReal, "socket")(family, type, protocol);
}

int WINAPI StandinIoctlSocket(SOCKET socket, long command, u_long* argument) {
    if (command == static_cast<long>(FIONBIO) && standin::FaultOn("nonblocking-fails")) {
        SetError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    return standin::Real<int(WINAPI*)(SOCKET, long, u_long*)>(kReal, "ioctlsocket")(socket, command,
                                                                                    argument);
}

int WINAPI StandinBind(SOCKET socket, const sockaddr* address, int length) {
    if (standin::FaultOn("bind-fails")) {
        SetError(WSAEADDRNOTAVAIL);
        return SOCKET_ERROR;
    }
    return standin::Real<int(WINAPI*)(SOCKET, const sockaddr*, int)>(kReal, "bind")(socket, address,
                                                                                    length);
}

int WINAPI StandinRecv(SOCKET socket, char* buffer, int length, int flags) {
    static unsigned calls = 0;
    if (standin::FaultOn("recv-fails")) {
        SetError(WSAENETDOWN);
        return SOCKET_ERROR;
    }
    if (standin::FaultOn("recv-resets") && calls++ % 2 == 0) {
        SetError(calls % 4 == 1 ? WSAECONNRESET : WSAENETRESET);
        return SOCKET_ERROR;
    }
    return standin::Real<int(WINAPI*)(SOCKET, char*, int, int)>(kReal, "recv")(socket, buffer,
                                                                               length, flags);
}

}  // extern "C"
