// A batch of device changes as the Change Several Devices dialog makes it: one set of settings
// for the checked devices of a list, new addresses handed out from a first address, and for
// each device exactly the request its own Change dialog would send with those texts. Checked
// whole before anything is sent. Portable, so the rules are tested without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_record.h"

namespace netsonde::commission {

// The dialog's settings; one left unchecked is empty, and each device then keeps what its own
// Change dialog shows untouched (for the password: nothing typed).
struct BatchSettings {
    std::optional<AddressType> type;
    std::optional<std::string> firstIp;
    std::string stepText = "1";  // read with firstIp
    std::optional<std::string> mask, gateway, tftp, image, password;
};

// The setting a problem is about, so the dialog can put the focus there.
enum class BatchSetting { Devices, FirstIp, Step, Mask, Gateway, Tftp };

struct BatchDevice {
    DeviceRecord stored;
    bool checked = false;
};

struct BatchProblem {
    std::string message;
    BatchSetting setting = BatchSetting::Devices;
    // True when the setting was given, false when the failing text is a device's stored one
    // (the dialog then points at the setting's check box rather than its edit).
    bool given = false;
};

// One request of the batch.
struct BatchEntry {
    std::size_t device = 0;  // index into the list
    DeviceRecord stored;
    DeviceRecord request;
};

struct BatchPlan {
    std::optional<BatchProblem> problem;  // with one, nothing may be sent
    // Per listed device: the address it will be given, "dynamic" for a device that will take
    // its address by DHCP, the empty text for one not checked.
    std::vector<std::string> newIpTexts;
    std::vector<BatchEntry> entries;  // the checked devices in list order, when no problem
};

// Checks the settings against every checked device, in list order, with the Change dialog's
// rules and messages (each prefixed with the device's MAC text), and gives the requests.
// ownAddresses are the workstation's; with the unchecked devices' addresses they are never
// handed out.
BatchPlan PlanBatch(const std::vector<BatchDevice>& devices, const BatchSettings& settings,
                    const std::vector<std::uint32_t>& ownAddresses);

}  // namespace netsonde::commission
