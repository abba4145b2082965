// Linux UDP socket for the lab tools.
#include "tools/devsim/udp_endpoint.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
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

ReceiveOutcome UdpEndpoint::Receive(std::vector<std::uint8_t>* datagram, Peer* from) {
    datagram->resize(65536);
    sockaddr_in sender{};
    iovec part{datagram->data(), datagram->size()};
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
        datagram->clear();
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? ReceiveOutcome::Nothing
                                                                         : ReceiveOutcome::Failed;
    }
    datagram->resize(static_cast<std::size_t>(got));
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

bool UdpEndpoint::Send(const std::uint8_t* data, std::size_t size, const Peer& to, bool broadcast,
                       std::string* error) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(to.port);
    destination.sin_addr.s_addr = broadcast ? htonl(INADDR_BROADCAST) : to.address;
    iovec part{const_cast<std::uint8_t*>(data), size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (to.interfaceIndex > 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* item = CMSG_FIRSTHDR(&message);
        item->cmsg_level = IPPROTO_IP;
        item->cmsg_type = IP_PKTINFO;
        item->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = to.interfaceIndex;
        std::memcpy(CMSG_DATA(item), &info, sizeof info);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        if (::sendmsg(fd_, &message, MSG_DONTWAIT) >= 0) {
            return true;
        }
        const int code = errno;
        if (code != EAGAIN && code != EWOULDBLOCK && code != ENOBUFS && code != EINTR) {
            *error = std::strerror(code);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            *error = std::string("queue still full after 2 s: ") + std::strerror(code);
            return false;
        }
        if (code == ENOBUFS) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        } else {
            pollfd wait{fd_, POLLOUT, 0};
            ::poll(&wait, 1, 1);
        }
    }
}

}  // namespace devsim
