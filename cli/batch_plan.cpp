// The plan command's devices, addresses and rows; see batch_plan.h.
#include "cli/batch_plan.h"

#include <algorithm>
#include <cctype>

#include "commission/address_assignment.h"
#include "commission/scan_document.h"
#include "config/address_check.h"
#include "protocol/ipv4_number.h"
#include "protocol/text_forms.h"

namespace netsonde::cli {

const std::vector<std::string> kMatchKeys = {"ip", "name", "mac", "type", "description"};

namespace {

char Folded(char c, bool macKey) {
    if (macKey && c == ':') {
        return '-';
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Iterative wildcard match: on a mismatch, the last '*' takes one more character. Linear in
// the text for each star, so a hostile pattern costs little.
bool WildcardMatches(const std::string& pattern, const std::string& text, bool macKey) {
    std::size_t p = 0, t = 0, star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && Folded(pattern[p], macKey) == Folded(text[t], macKey)) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::string AddressText(std::uint32_t address) {
    return FormatIpText(Ipv4FromNumber(address));
}

}  // namespace

bool ParseDeviceMatch(const std::string& text, DeviceMatch* match, std::string* error) {
    const std::size_t equals = text.find('=');
    const std::string key = text.substr(0, equals);
    if (equals == std::string::npos ||
        std::find(kMatchKeys.begin(), kMatchKeys.end(), key) == kMatchKeys.end()) {
        *error = "--match takes KEY=VALUE with a key of ip, name, mac, type, description, not \"" +
                 text + "\"";
        return false;
    }
    match->key = key;
    match->pattern = text.substr(equals + 1);
    return true;
}

bool DeviceMatches(const commission::FoundDevice& device, const std::vector<DeviceMatch>& matches) {
    const commission::DeviceEntry entry = commission::MakeDeviceEntry(device);
    return std::all_of(matches.begin(), matches.end(), [&](const DeviceMatch& match) {
        return WildcardMatches(match.pattern, commission::CellText(entry, match.key),
                               match.key == "mac");
    });
}

BatchPlan PlanBatch(const commission::FoundDevices& found, const std::vector<DeviceMatch>& matches,
                    const BatchSettings& settings, const std::vector<std::uint32_t>& ownAddresses) {
    BatchPlan plan;
    std::vector<std::uint32_t> avoid = ownAddresses;
    for (const commission::FoundDevice& device : found.devices()) {
        if (DeviceMatches(device, matches)) {
            plan.devices.push_back(&device);
        } else {
            avoid.push_back(Ipv4Number(device.record.ipAddress()));
        }
    }
    std::sort(plan.devices.begin(), plan.devices.end(),
              [](const auto* a, const auto* b) { return a->record.mac() < b->record.mac(); });

    std::vector<std::uint32_t> current;
    for (const commission::FoundDevice* device : plan.devices) {
        current.push_back(Ipv4Number(device->record.ipAddress()));
    }
    std::vector<std::uint32_t> addresses;
    if (settings.first && !plan.devices.empty()) {
        if (settings.common.mask) {
            plan.mask = Ipv4Number(ParseDottedQuad(settings.common.mask->c_str()));
        } else {
            // The devices keep the mask they hold, so their subnet is the one to stay in.
            plan.maskOfDevices = true;
            std::vector<std::string> masks;
            for (const commission::FoundDevice* device : plan.devices) {
                const std::string mask = FormatIpText(device->record.subnetMask());
                if (std::find(masks.begin(), masks.end(), mask) == masks.end()) {
                    masks.push_back(mask);
                }
            }
            std::string list;
            for (const std::string& mask : masks) {
                list += (list.empty() ? "" : ", ") + mask;
            }
            if (masks.size() > 1) {
                plan.problems.push_back("the devices hold different subnet masks (" + list +
                                        "): give the one they are to have with --mask");
                return plan;
            }
            if (!CheckAddressText(masks.front().c_str(), SubnetMaskKind)) {
                plan.problems.push_back("the devices hold subnet mask " + list +
                                        ", which is not one: give one with --mask");
                return plan;
            }
            plan.mask = Ipv4Number(ParseDottedQuad(masks.front().c_str()));
        }
        const commission::AddressAssignment assignment =
            commission::AssignAddresses(current, *settings.first, settings.step, plan.mask, avoid);
        plan.fitting = assignment.fitting;
        if (!assignment.fits) {
            const std::uint32_t network = *settings.first & plan.mask;
            plan.problems.push_back(
                "only " + std::to_string(assignment.fitting) + " of the " +
                std::to_string(plan.devices.size()) + " devices fit from " +
                AddressText(*settings.first) + " by " + std::to_string(settings.step) +
                " up to the end of subnet " + AddressText(network) + " (mask " +
                AddressText(plan.mask) +
                "), passing the addresses other devices and this workstation hold");
            return plan;
        }
        addresses = assignment.addresses;
    } else {
        plan.fitting = plan.devices.size();
    }

    for (std::size_t k = 0; k < plan.devices.size(); ++k) {
        const commission::FoundDevice& device = *plan.devices[k];
        commission::PlanRow row;
        row.line = k + 2;
        row.mac = FormatMacText(device.record.mac());
        row.options = settings.common;
        if (!addresses.empty() && addresses[k] != current[k]) {
            row.options.ip = AddressText(addresses[k]);
        }
        const commission::PlannedChange change = commission::PlanChange(device.record, row.options);
        if (!change.error.empty()) {
            plan.problems.push_back(row.mac + ": " + change.error);
        }
        plan.rows.push_back(std::move(row));
    }
    if (!plan.problems.empty()) {
        plan.rows.clear();
    }
    return plan;
}

}  // namespace netsonde::cli
