// What the plan command makes of a scan: the devices its KEY=VALUE filters pick, in MAC order,
// each with a new address from the shared assignment and the settings given for all of them,
// as the rows of a plan that apply reads back unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commission/change_plan.h"
#include "commission/found_devices.h"
#include "commission/plan_file.h"

namespace netsonde::cli {

// The keys a filter may name: those of a scan's device that tell devices apart.
extern const std::vector<std::string> kMatchKeys;

struct DeviceMatch {
    std::string key;  // one of kMatchKeys
    std::string pattern;
};

// "KEY=VALUE" with a key of kMatchKeys. False with *error set otherwise.
bool ParseDeviceMatch(const std::string& text, DeviceMatch* match, std::string* error);

// Whether the device's value of every filter's key, as a scan's JSON writes it, matches the
// filter's pattern: the whole value, '*' standing for any run of characters, letters in either
// case (MACs are typed both ways), and for mac ':' the same as '-'.
bool DeviceMatches(const commission::FoundDevice& device, const std::vector<DeviceMatch>& matches);

struct BatchSettings {
    std::optional<std::uint32_t> first;  // none: every device keeps its address (dynamic)
    unsigned step = 1;
    // The same for every device: type, mask, gateway, tftp and image (never ip or password).
    commission::ChangeOptions common;
};

struct BatchPlan {
    std::vector<const commission::FoundDevice*> devices;  // the matched ones, by MAC
    std::vector<commission::PlanRow> rows;                // one per device, when no problems
    std::uint32_t mask = 0;             // the subnet mask the addresses were counted in
    bool maskOfDevices = false;         // no mask given: the one the devices hold and keep
    std::size_t fitting = 0;            // devices that got an address
    std::vector<std::string> problems;  // why there is no plan, one line each
};

// ownAddresses: the workstation's, never handed out; nor are the addresses of the devices
// found but not matched. The ip cell stays empty for a device that already holds its address.
// Every row is checked as apply checks it against the device (PlanChange).
BatchPlan PlanBatch(const commission::FoundDevices& found, const std::vector<DeviceMatch>& matches,
                    const BatchSettings& settings, const std::vector<std::uint32_t>& ownAddresses);

}  // namespace netsonde::cli
