// The thin socket layer under the broadcast exchange, with a Winsock back-end (the product) and
// a POSIX back-end (native tools and tests), and the calendar clock that times receive windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace netsonde {

enum class ReceiveStatus {
    Datagram,        // bytes holds the datagram's length (possibly 0)
    WouldBlock,      // nothing queued
    MessageTooLong,  // a datagram longer than the buffer arrived and was discarded
    // An ICMP error about an earlier send, reported by the receive (Winsock's connection or
    // network reset on a UDP socket); nothing was taken from the queue.
    ConnectionReset,
    Failed,  // any other receive error
};

struct ReceiveResult {
    ReceiveStatus status = ReceiveStatus::WouldBlock;
    std::size_t bytes = 0;
    int errorCode = 0;  // the platform's error code when not a datagram
};

class DatagramSocket {
  public:
    virtual ~DatagramSocket() = default;
    // socket(AF_INET, SOCK_DGRAM, 0) switched to non-blocking mode.
    virtual bool Open() = 0;
    // Binds to the dotted address text (port 0); the empty text binds to any address. A text
    // that does not convert as an IPv4 address fails.
    virtual bool Bind(const std::string& localAddress) = 0;
    // SO_BROADCAST then SO_REUSEADDR, then a large receive buffer; refusals are ignored.
    virtual void SetOptions() = 0;
    // One datagram to 255.255.255.255:2719 with MSG_DONTROUTE; the outcome is not reported.
    virtual void SendBroadcast(const std::uint8_t* data, std::size_t size) = 0;
    virtual ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity) = 0;
    // Waits until a datagram may be read or the timeout passes.
    virtual void WaitReadable(int timeoutMilliseconds) = 0;
    virtual void Close() = 0;
};

class ExchangeClock {
  public:
    virtual ~ExchangeClock() = default;
    // The calendar clock in whole seconds, as time() reads it.
    virtual std::time_t Now() = 0;
    // Milliseconds until Now() is expected to show the next second (0..1000).
    virtual int MillisecondsToNextSecond() = 0;
};

}  // namespace netsonde
