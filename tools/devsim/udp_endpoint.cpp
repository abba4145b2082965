// Linux UDP socket for the lab tools.
#include "tools/devsim/udp_endpoint.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace devsim {

std::string PeerText(const Peer& peer) {
    in_addr address{};
    address.s_addr = peer.address;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return std::string(text) + ":" + std::to_string(peer.port);
}

UdpEndpoint::~UdpEndpoint() {
    Close();
}

void UdpEndpoint::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool UdpEndpoint::Open(const std::string& address, std::uint16_t port, int bufferBytes,
                       bool forceBuffers, std::string* error) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (!address.empty() && inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
        *error = "'" + address + "' is not an IPv4 address";
        return false;
    }
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    // No SO_REUSEADDR: a second simulator on the same port must fail, not share the requests.
    setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    if (!forceBuffers ||
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &bufferBytes, sizeof bufferBytes) != 0) {
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
    }
    if (!forceBuffers ||
        setsockopt(fd_, SOL_SOCKET, SO_SNDBUFFORCE, &bufferBytes, sizeof bufferBytes) != 0) {
        setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof bufferBytes);
    }
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        *error = "bind to " + (address.empty() ? std::string("0.0.0.0") : address) + ":" +
                 std::to_string(port) + ": " + std::strerror(errno);
        Close();
        return false;
    }
    return true;
}

int UdpEndpoint::receiveBufferBytes() const {
    int value = 0;
    socklen_t length = sizeof value;
    getsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &value, &length);
    return value;
}

ReceiveOutcome UdpEndpoint::Receive(ReceivedDatagram* datagram) {
    // Larger than any UDP payload, so nothing is ever cut short.
    buffer_.resize(65536);
    sockaddr_in sender{};
    iovec part{buffer_.data(), buffer_.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = ::recvmsg(fd_, &message, MSG_DONTWAIT);
    if (got < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? ReceiveOutcome::Nothing
                                                                         : ReceiveOutcome::Failed;
    }
    datagram->data = buffer_.data();
    datagram->size = static_cast<std::size_t>(got);
    Peer* from = &datagram->from;
    from->address = sender.sin_addr.s_addr;
    from->port = ntohs(sender.sin_port);
    from->interfaceIndex = 0;
    for (cmsghdr* item = CMSG_FIRSTHDR(&message); item != nullptr;
         item = CMSG_NXTHDR(&message, item)) {
        if (item->cmsg_level == IPPROTO_IP && item->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(item), sizeof info);
            from->interfaceIndex = info.ipi_ifindex;
        }
    }
    return ReceiveOutcome::Datagram;
}

namespace {

// One datagram's message header with its own destination and interface choice.
struct PreparedMessage {
    sockaddr_in destination{};
    iovec part{};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
};

void Prepare(const OutDatagram& datagram, PreparedMessage* prepared, msghdr* message) {
    *prepared = PreparedMessage();
    prepared->destination.sin_family = AF_INET;
    prepared->destination.sin_port = htons(datagram.to.port);
    prepared->destination.sin_addr.s_addr =
        datagram.broadcast ? htonl(INADDR_BROADCAST) : datagram.to.address;
    prepared->part.iov_base = const_cast<std::uint8_t*>(datagram.data);
    prepared->part.iov_len = datagram.size;
    *message = msghdr();
    message->msg_name = &prepared->destination;
    message->msg_namelen = sizeof prepared->destination;
    message->msg_iov = &prepared->part;
    message->msg_iovlen = 1;
    if (datagram.to.interfaceIndex > 0) {
        message->msg_control = prepared->control;
        message->msg_controllen = sizeof prepared->control;
        cmsghdr* item = CMSG_FIRSTHDR(message);
        item->cmsg_level = IPPROTO_IP;
        item->cmsg_type = IP_PKTINFO;
        item->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = datagram.to.interfaceIndex;
        std::memcpy(CMSG_DATA(item), &info, sizeof info);
    }
}

}  // namespace

bool UdpEndpoint::Send(const std::uint8_t* data, std::size_t size, const Peer& to, bool broadcast,
                       std::string* error) {
    const OutDatagram datagram{data, size, to, broadcast};
    return SendMany(&datagram, 1, error) == 1;
}

std::size_t UdpEndpoint::SendMany(const OutDatagram* datagrams, std::size_t count,
                                  std::string* error) {
    constexpr std::size_t kPerCall = 64;
    PreparedMessage prepared[kPerCall];
    mmsghdr messages[kPerCall];
    std::size_t sent = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (sent < count) {
        const std::size_t batch = std::min(kPerCall, count - sent);
        for (std::size_t i = 0; i < batch; ++i) {
            messages[i] = mmsghdr();
            Prepare(datagrams[sent + i], &prepared[i], &messages[i].msg_hdr);
        }
        const int done = ::sendmmsg(fd_, messages, static_cast<unsigned>(batch), MSG_DONTWAIT);
        if (done > 0) {
            sent += static_cast<std::size_t>(done);
            deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            continue;
        }
        const int code = errno;
        if (code != EAGAIN && code != EWOULDBLOCK && code != ENOBUFS && code != EINTR) {
            *error = std::strerror(code);
            return sent;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            *error = std::string("queue still full after 2 s: ") + std::strerror(code);
            return sent;
        }
        if (code == ENOBUFS) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        } else {
            pollfd wait{fd_, POLLOUT, 0};
            ::poll(&wait, 1, 1);
        }
    }
    return sent;
}

}  // namespace devsim
