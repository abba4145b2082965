// The one way the program talks to devices: send one record as a UDP broadcast to port 2719 in
// three attempts, each followed by a receive window that ends when the calendar second changes,
// and hand over what comes back. Discovery mode hands every 612-byte datagram to a reply
// handler; set mode judges each one as a set reply.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "protocol/datagram_socket.h"
#include "protocol/device_record.h"

namespace netsonde {

enum class ExchangeResult {
    NotStarted,  // the socket could not be opened or bound; nothing was sent
    Completed,   // discovery: all three attempts ran
    Accepted,    // set: a reply accepted the change and no refusal ended the exchange
    Rejected,    // set: a reply refused the change; see errorMask
    NoAnswer,    // set: no reply accepted or refused (also after a receive error)
};

struct ExchangeOutcome {
    ExchangeResult result = ExchangeResult::NotStarted;
    std::uint16_t errorMask = 0;  // with Rejected: the field the device refused
};

constexpr int kExchangeAttempts = 3;
constexpr const char* kDiscoverySocketError = "Socket Connection Error";
constexpr const char* kSetSocketError = "Error connecting to device";

using ReplyHandler = std::function<void(const DeviceRecord& datagram)>;
// Shows a socket error to the operator (a message box in the product). Called at most once per
// exchange: receiving stops after it.
using ErrorNotifier = std::function<void(const char* message)>;

// What an exchange runs on: a socket factory and the calendar clock, the platform's own ones
// in the product and fakes in unit tests.
struct ExchangeIo {
    std::function<std::unique_ptr<DatagramSocket>()> openSocket;
    ExchangeClock* clock = nullptr;
    ErrorNotifier notify;
};

// The platform's real sockets (Winsock on Windows, POSIX elsewhere) and calendar clock.
ExchangeIo PlatformExchangeIo(ErrorNotifier notify);

// Discovery mode. localAddress is the dotted address to bind to; empty binds to any address.
// Returns NotStarted or Completed.
ExchangeOutcome BroadcastExchange(const DeviceRecord& request, const std::string& localAddress,
                                  const ReplyHandler& onReply, const ExchangeIo& io);

// Set mode. *workingCopy is overwritten with the request at the moment a reply accepts it.
// Returns NotStarted, Accepted, Rejected (with errorMask) or NoAnswer.
ExchangeOutcome BroadcastExchange(const DeviceRecord& request, const std::string& localAddress,
                                  DeviceRecord* workingCopy, const ExchangeIo& io);

}  // namespace netsonde
