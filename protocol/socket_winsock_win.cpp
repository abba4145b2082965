// The Winsock 1.1 back-end of the datagram socket, used by the product. The socket is made
// non-blocking with ioctlsocket(FIONBIO), which needs no window (unlike WSAAsyncSelect with an
// empty event set) and asks for no notifications; readiness is awaited with select.
#include <winsock.h>

#include "protocol/device_record.h"
#include "protocol/platform_socket.h"

namespace netsonde {
namespace {

constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

void SetIntOption(SOCKET socket, int name, int value) {
    // A refusal is read and dropped: every option here only improves on the default.
    if (setsockopt(socket, SOL_SOCKET, name, reinterpret_cast<const char*>(&value), sizeof value) ==
        SOCKET_ERROR) {
        (void)WSAGetLastError();
    }
}

class WinsockDatagramSocket : public DatagramSocket {
  public:
    ~WinsockDatagramSocket() override { Close(); }

    bool Open() override {
        socket_ = socket(AF_INET, SOCK_DGRAM, 0);
        if (socket_ == INVALID_SOCKET) {
            return false;
        }
        u_long nonBlocking = 1;
        return ioctlsocket(socket_, FIONBIO, &nonBlocking) == 0;
    }

    bool Bind(const std::string& localAddress) override {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = 0;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (!localAddress.empty()) {
            const unsigned long converted = inet_addr(localAddress.c_str());
            if (converted == INADDR_NONE) {
                WSASetLastError(WSAEINVAL);
                return false;
            }
            local.sin_addr.s_addr = converted;
        }
        return bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    }

    void SetOptions() override {
        SetIntOption(socket_, SO_BROADCAST, 1);
        SetIntOption(socket_, SO_REUSEADDR, 1);
        SetIntOption(socket_, SO_RCVBUF, kReceiveBufferBytes);
    }

    void SendBroadcast(const std::uint8_t* data, std::size_t size) override {
        sockaddr_in destination{};
        destination.sin_family = AF_INET;
        destination.sin_port = htons(kDevicePort);
        destination.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        // The outcome is not reported: the receive window opens either way.
        (void)sendto(socket_, reinterpret_cast<const char*>(data), static_cast<int>(size),
                     MSG_DONTROUTE, reinterpret_cast<const sockaddr*>(&destination),
                     sizeof destination);
    }

    ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity) override {
        ReceiveResult result;
        const int received =
            recv(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0);
        if (received == SOCKET_ERROR) {
            result.errorCode = WSAGetLastError();
            switch (result.errorCode) {
                case WSAEWOULDBLOCK:
                    result.status = ReceiveStatus::WouldBlock;
                    break;
                // Windows discards the rest of a datagram longer than the buffer; Wine 8 does
                // the same (measured in the lab: a 613-, 1400- or 65,000-byte datagram read into
                // 612 bytes gives WSAEMSGSIZE once, and the next receive gets the next datagram).
                case WSAEMSGSIZE:
                    result.status = ReceiveStatus::MessageTooLong;
                    break;
                // Windows reports an ICMP port unreachable (or time exceeded) about an earlier
                // send as the next receive's error on a UDP socket, and any host can send one.
                // Wine 8 never does: its UDP sockets ignore ICMP errors, as Linux does for an
                // unconnected socket (measured in the lab, for an unreachable of its own and
                // for one from another host).
                case WSAECONNRESET:
                case WSAENETRESET:
                    result.status = ReceiveStatus::ConnectionReset;
                    break;
                default:
                    result.status = ReceiveStatus::Failed;
                    break;
            }
            return result;
        }
        result.status = ReceiveStatus::Datagram;
        result.bytes = static_cast<std::size_t>(received);
        return result;
    }

    void WaitReadable(int timeoutMilliseconds) override {
        if (timeoutMilliseconds < 0) {
            timeoutMilliseconds = 0;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval timeout{timeoutMilliseconds / 1000, (timeoutMilliseconds % 1000) * 1000};
        (void)select(0, &readable, nullptr, nullptr, &timeout);
    }

    void Close() override {
        if (socket_ != INVALID_SOCKET) {
            closesocket(socket_);
            socket_ = INVALID_SOCKET;
        }
    }

  private:
    SOCKET socket_ = INVALID_SOCKET;
};

}  // namespace

std::unique_ptr<DatagramSocket> MakePlatformSocket() {
    return std::make_unique<WinsockDatagramSocket>();
}

}  // namespace netsonde
