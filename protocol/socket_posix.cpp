// The POSIX back-end of the datagram socket, for the native build's tools and tests. It behaves
// like a Winsock socket bound to one local address: it sends from that address and receives both
// datagrams sent to it and datagrams broadcast on its segment. A Linux socket bound to a specific
// address never sees limited broadcasts, so the socket binds to any address on the interface that
// owns the chosen one (SO_BINDTODEVICE), names the source address on every send (IP_PKTINFO) and
// drops datagrams addressed to another address of that interface.
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "protocol/device_record.h"
#include "protocol/platform_socket.h"

namespace netsonde {
namespace {

constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

// The interface that carries a local IPv4 address, found in the interface list.
struct OwningInterface {
    std::string name;
    unsigned index = 0;
    bool hasBroadcast = false;
    in_addr broadcast{};
};

bool FindOwningInterface(in_addr address, OwningInterface* found) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return false;
    }
    bool ok = false;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        sockaddr_in local{};
        std::memcpy(&local, entry->ifa_addr, sizeof local);
        if (local.sin_addr.s_addr != address.s_addr) {
            continue;
        }
        found->name = entry->ifa_name;
        found->index = if_nametoindex(entry->ifa_name);
        if ((entry->ifa_flags & IFF_BROADCAST) != 0 && entry->ifa_broadaddr != nullptr &&
            entry->ifa_broadaddr->sa_family == AF_INET) {
            sockaddr_in broadcast{};
            std::memcpy(&broadcast, entry->ifa_broadaddr, sizeof broadcast);
            found->hasBroadcast = true;
            found->broadcast = broadcast.sin_addr;
        }
        ok = found->index != 0;
        break;
    }
    freeifaddrs(list);
    return ok;
}

ReceiveStatus ReceiveErrorStatus(int error) {
    switch (error) {
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return ReceiveStatus::WouldBlock;
        // What an ICMP error about an earlier send becomes, as Winsock's resets do. Linux reports
        // none of them on this unconnected socket (measured in the lab: an ICMP port unreachable
        // leaves the next receive untouched), but a kernel that did must not stop a scan.
        case ECONNREFUSED:
        case EHOSTUNREACH:
        case ENETUNREACH:
            return ReceiveStatus::ConnectionReset;
        default:
            return ReceiveStatus::Failed;
    }
}

void SetIntOption(int fd, int level, int name, int value) {
    // Refusals are ignored: every option here only improves on the default.
    (void)setsockopt(fd, level, name, &value, sizeof value);
}

class PosixDatagramSocket : public DatagramSocket {
  public:
    ~PosixDatagramSocket() override { Close(); }

    bool Open() override {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        if (fd_ < 0) {
            return false;
        }
        const int flags = fcntl(fd_, F_GETFL, 0);
        return flags >= 0 && fcntl(fd_, F_SETFL, flags | O_NONBLOCK) == 0;
    }

    bool Bind(const std::string& localAddress) override {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = 0;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (!localAddress.empty()) {
            const in_addr_t converted = inet_addr(localAddress.c_str());
            if (converted == INADDR_NONE) {
                errno = EINVAL;
                return false;
            }
            source_.s_addr = converted;
            OwningInterface owner;
            if (!FindOwningInterface(source_, &owner)) {
                errno = EADDRNOTAVAIL;
                return false;
            }
            if (setsockopt(fd_, SOL_SOCKET, SO_BINDTODEVICE, owner.name.c_str(),
                           static_cast<socklen_t>(owner.name.size() + 1)) == 0) {
                // Any address on that interface only; sends and receives are narrowed below.
                deviceBound_ = true;
                interface_ = owner;
                SetIntOption(fd_, IPPROTO_IP, IP_PKTINFO, 1);
            } else {
                // Without the privilege to bind to a device: a plain bind, which still gets
                // unicast replies but no limited broadcasts.
                local.sin_addr = source_;
            }
        }
        return bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    }

    void SetOptions() override {
        SetIntOption(fd_, SOL_SOCKET, SO_BROADCAST, 1);
        SetIntOption(fd_, SOL_SOCKET, SO_REUSEADDR, 1);
        SetIntOption(fd_, SOL_SOCKET, SO_RCVBUF, kReceiveBufferBytes);
    }

    void SendBroadcast(const std::uint8_t* data, std::size_t size) override {
        sockaddr_in destination{};
        destination.sin_family = AF_INET;
        destination.sin_port = htons(kDevicePort);
        destination.sin_addr.s_addr = htonl(INADDR_BROADCAST);

        iovec part{const_cast<std::uint8_t*>(data), size};
        msghdr message{};
        message.msg_name = &destination;
        message.msg_namelen = sizeof destination;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        if (deviceBound_) {
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            cmsghdr* header = CMSG_FIRSTHDR(&message);
            header->cmsg_level = IPPROTO_IP;
            header->cmsg_type = IP_PKTINFO;
            header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
            in_pktinfo info{};
            info.ipi_ifindex = static_cast<int>(interface_.index);
            info.ipi_spec_dst = source_;
            std::memcpy(CMSG_DATA(header), &info, sizeof info);
        }
        // The outcome is not reported: the receive window opens either way.
        (void)sendmsg(fd_, &message, MSG_DONTROUTE);
    }

    ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity) override {
        iovec part{buffer, capacity};
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;

        ssize_t received;
        do {
            received = recvmsg(fd_, &message, 0);
        } while (received < 0 && errno == EINTR);

        ReceiveResult result;
        if (received < 0) {
            result.errorCode = errno;
            result.status = ReceiveErrorStatus(errno);
            return result;
        }
        if (deviceBound_ && !AddressedToUs(message)) {
            // Meant for another address of this interface: as if it never came.
            return result;
        }
        if ((message.msg_flags & MSG_TRUNC) != 0) {
            // Longer than the buffer: the error Winsock reports for it.
            result.status = ReceiveStatus::MessageTooLong;
            result.errorCode = EMSGSIZE;
            return result;
        }
        result.status = ReceiveStatus::Datagram;
        result.bytes = static_cast<std::size_t>(received);
        return result;
    }

    void WaitReadable(int timeoutMilliseconds) override {
        pollfd watch{fd_, POLLIN, 0};
        (void)poll(&watch, 1, timeoutMilliseconds < 0 ? 0 : timeoutMilliseconds);
    }

    void Close() override {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

  private:
    // The chosen address, the limited broadcast or the interface's own broadcast address.
    bool AddressedToUs(msghdr& message) const {
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
             header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO ||
                header->cmsg_len < CMSG_LEN(sizeof(in_pktinfo))) {
                continue;
            }
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            const in_addr_t to = info.ipi_addr.s_addr;
            return to == source_.s_addr || to == htonl(INADDR_BROADCAST) ||
                   (interface_.hasBroadcast && to == interface_.broadcast.s_addr);
        }
        return true;  // no destination reported: keep it
    }

    int fd_ = -1;
    in_addr source_{};
    bool deviceBound_ = false;
    OwningInterface interface_;
};

}  // namespace

std::unique_ptr<DatagramSocket> MakePlatformSocket() {
    return std::make_unique<PosixDatagramSocket>();
}

}  // namespace netsonde
