// The Windows probe starts Winsock 1.1 and, since it cannot see which network namespace its
// wineserver lives in, checks what that namespace holds instead: the lab's workstation
// namespace is named in NETSONDE_LAB_NS and carries only loopback addresses and addresses of the
// lab's range (198.18.0.0/15). The machine's own namespace never passes that test.
#include <winsock.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/exchange_probe/probe_platform.h"

namespace netsonde {
namespace {

bool IsLoopback(DWORD networkOrder) {
    return (ntohl(networkOrder) >> 24) == 127;
}
bool IsLabAddress(DWORD networkOrder) {
    return (ntohl(networkOrder) >> 17) == (0xC612u >> 1);
}

bool OnlyLabAddresses(std::string* why) {
    ULONG size = 0;
    if (GetIpAddrTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER ||
        size < sizeof(MIB_IPADDRTABLE)) {
        *why = "cannot read the address table";
        return false;
    }
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
    if (GetIpAddrTable(table, &size, FALSE) != NO_ERROR) {
        *why = "cannot read the address table";
        return false;
    }
    const std::size_t capacity =
        (buffer.size() - offsetof(MIB_IPADDRTABLE, table)) / sizeof(MIB_IPADDRROW);
    const std::size_t rows = table->dwNumEntries < capacity ? table->dwNumEntries : capacity;
    bool anyLab = false;
    for (std::size_t i = 0; i < rows; ++i) {
        const DWORD address = table->table[i].dwAddr;
        if (IsLabAddress(address)) {
            anyLab = true;
        } else if (!IsLoopback(address)) {
            *why = "an address outside the lab's range is present: not inside the lab";
            return false;
        }
    }
    if (!anyLab) {
        *why = "no address of the lab's range is present: not inside the lab";
    }
    return anyLab;
}

}  // namespace

bool PrepareProbePlatform(std::string* why) {
    const char* labName = std::getenv("NETSONDE_LAB_NS");
    if (labName == nullptr || std::strncmp(labName, "nsws-", 5) != 0) {
        *why = "NETSONDE_LAB_NS does not name a lab namespace";
        return false;
    }
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        *why = "cannot start Windows Sockets 1.1";
        return false;
    }
    return OnlyLabAddresses(why);
}

}  // namespace netsonde
