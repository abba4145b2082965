// The usable IPv4 addresses of a Linux workstation, read with getifaddrs and put in the
// chooser's order through the chooser's own rules.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "adapter/adapter_list.h"
#include "cli/local_adapters.h"

namespace netsonde::cli {

bool ReadLocalAdapters(std::vector<LocalAdapter>* adapters, std::string* error) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        *error = std::string("cannot read the network interfaces: ") + std::strerror(errno);
        return false;
    }
    std::vector<InterfaceRow> interfaces;
    std::vector<AddressRow> addresses;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_name == nullptr) {
            continue;
        }
        const std::uint32_t index = if_nametoindex(entry->ifa_name);
        if (index == 0) {
            continue;
        }
        const bool listed =
            std::any_of(interfaces.begin(), interfaces.end(),
                        [&](const InterfaceRow& row) { return row.index == index; });
        if (!listed) {
            interfaces.push_back({index, entry->ifa_name});
        }
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        sockaddr_in local{};
        std::memcpy(&local, entry->ifa_addr, sizeof local);
        AddressRow row;
        std::memcpy(row.address.data(), &local.sin_addr.s_addr, 4);
        row.interfaceIndex = index;
        addresses.push_back(row);
    }
    freeifaddrs(list);
    std::sort(interfaces.begin(), interfaces.end(),
              [](const InterfaceRow& a, const InterfaceRow& b) { return a.index < b.index; });
    for (const UsableAddress& usable : ListUsableAddresses(interfaces, addresses)) {
        adapters->push_back({usable.address, usable.interfaceDescription});
    }
    return true;
}

}  // namespace netsonde::cli
