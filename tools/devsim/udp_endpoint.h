// The simulator's and the probe's UDP socket on Linux: non-blocking, broadcast-capable, with
// large buffers, told on which interface each datagram arrived so that answers leave by the same
// interface, and with sends that wait out a full queue instead of dropping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace devsim {

struct Peer {
    std::uint32_t address = 0;  // network byte order
    std::uint16_t port = 0;     // host byte order
    int interfaceIndex = 0;     // where the datagram arrived; 0 when unknown
};

std::string PeerText(const Peer& peer);

struct OutDatagram {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    Peer to;
    bool broadcast = false;  // to 255.255.255.255 at the peer's port
};

// A received datagram; its bytes stay valid until the next receive on the same endpoint.
struct ReceivedDatagram {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    Peer from;
};

enum class ReceiveOutcome { Datagram, Nothing, Failed };

class UdpEndpoint {
  public:
    UdpEndpoint() = default;
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // Binds to the dotted address (empty: any) and port, asking for the given buffer sizes;
    // forced sizes pass the system's limits (root only), plain ones are capped by them.
    bool Open(const std::string& address, std::uint16_t port, int bufferBytes, bool forceBuffers,
              std::string* error);
    int fd() const { return fd_; }
    int receiveBufferBytes() const;

    // Reads one waiting datagram at its full length, however long.
    ReceiveOutcome Receive(ReceivedDatagram* datagram);

    // Sends to the peer, or to 255.255.255.255 at the peer's port when broadcast is set, out of
    // the interface the peer was heard on. A full queue is waited out for up to two seconds.
    bool Send(const std::uint8_t* data, std::size_t size, const Peer& to, bool broadcast,
              std::string* error);

    // Sends the datagrams in order, many per system call, each as Send would. Returns how many
    // went out; on a shortfall *error says why.
    std::size_t SendMany(const OutDatagram* datagrams, std::size_t count, std::string* error);

    void Close();

  private:
    int fd_ = -1;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace devsim
