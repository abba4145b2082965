// The platform's own socket back-end and calendar clock behind PlatformExchangeIo: Winsock in
// the Windows build, POSIX sockets in the native one. Each build compiles exactly one of each.
#pragma once

#include <memory>

#include "protocol/datagram_socket.h"

namespace netsonde {

// A new, not yet opened socket of the platform's back-end.
std::unique_ptr<DatagramSocket> MakePlatformSocket();

// The process's calendar clock (time() for whole seconds, the system clock for the rest).
ExchangeClock& PlatformClock();

}  // namespace netsonde
