// One entry per device heard by a scan; see found_devices.h.
#include "commission/found_devices.h"

#include <algorithm>

#include "config/address_check.h"
#include "protocol/ipv4_number.h"
#include "protocol/text_forms.h"

namespace netsonde::commission {

bool SameShownFields(const DeviceRecord& a, const DeviceRecord& b) {
    return a.systemName() == b.systemName() && a.ipAddress() == b.ipAddress() &&
           a.subnetMask() == b.subnetMask() && a.gateway() == b.gateway() &&
           a.tftpServer() == b.tftpServer() && a.imageFileName() == b.imageFileName() &&
           a.ipAddressTypeValue() == b.ipAddressTypeValue() &&
           a.systemDescription() == b.systemDescription();
}

void FoundDevices::Add(const std::string& adapterAddress, const DeviceRecord& datagram) {
    if (!IsDiscoveryReply(datagram)) {
        return;
    }
    const std::string mac = FormatMacText(datagram.mac());
    const auto known = index_.find(mac);
    if (known == index_.end()) {
        if (devices_.size() >= kMaxScanDevices) {
            cut_ = true;
            return;
        }
        index_.emplace(mac, devices_.size());
        devices_.push_back({datagram, {adapterAddress}});
        return;
    }
    FoundDevice& device = devices_[known->second];
    if (!SameShownFields(device.record, datagram)) {
        device.recordsDiffer = true;
    }
    std::vector<std::string>& adapters = device.adapters;
    if (std::find(adapters.begin(), adapters.end(), adapterAddress) == adapters.end()) {
        // Listed by address, not in the order the replies happened to arrive, so that two scans
        // of the same segment print the same.
        const auto byAddress = [](const std::string& a, const std::string& b) {
            return Ipv4Number(ParseDottedQuad(a.c_str())) < Ipv4Number(ParseDottedQuad(b.c_str()));
        };
        adapters.insert(
            std::upper_bound(adapters.begin(), adapters.end(), adapterAddress, byAddress),
            adapterAddress);
    }
}

const FoundDevice* FoundDevices::Find(const std::string& macText) const {
    const auto known = index_.find(macText);
    return known == index_.end() ? nullptr : &devices_[known->second];
}

}  // namespace netsonde::commission
