// One device's change as the set and apply commands make it: the options given (anything left
// out is what the Change dialog shows untouched), the same checks in the same order, the same
// request, and what the request flags, shown and later verified field by field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/set_request.h"
#include "protocol/device_record.h"

namespace netsonde::commission {

struct ChangeOptions {
    std::optional<AddressType> type;
    std::optional<std::string> ip, mask, gateway, tftp, image, password, name;
};

// The options' own limits, before any device is known: the texts must fit their record fields
// (name and password 31 characters, image file name 255) and be Latin-1, which is what the
// record carries. Gives the first problem, or the empty text.
std::string CheckOptionTexts(ChangeOptions* options);

struct PlannedChange {
    ChangeFields fields;   // what the dialog would hold
    DeviceRecord request;  // valid when error is empty
    std::string error;     // why nothing may be sent
};

// The request for a device's stored record and the options, or the reason there is none:
// addresses given for a device that will be dynamic, a TFTP server or image file for a device
// whose description has a "v" (neither would be applied), or the first address the dialog
// would refuse, with its message.
PlannedChange PlanChange(const DeviceRecord& stored, const ChangeOptions& options);

// A field a request flags, by the key scan output uses ("ip", "mask", ...), with the stored
// value and the requested one. The password's values are never given.
struct FieldChange {
    std::string key;
    std::string before;
    std::string after;
};

// Every field the request's ChangeMask flags, in mask bit order, plus the name when it differs
// (carried, never flagged).
std::vector<FieldChange> RequestedChanges(const DeviceRecord& stored, const DeviceRecord& request);

// The flagged fields (the password aside, which a device never shows) whose value in `seen`
// is not yet the requested one.
std::vector<std::string> UnverifiedFields(const DeviceRecord& request, const DeviceRecord& seen);

// A field's value in a record, as scan output shows it.
std::string FieldText(const DeviceRecord& record, const std::string& key);

// "0x07cf (1999): password ipAddress ..." for a ChangeMask or ErrorMask.
std::string MaskText(std::uint16_t mask);

// A MAC argument with dashes or colons, any case; false for anything else.
bool ParseMacArgument(const std::string& text, MacBytes* mac);

}  // namespace netsonde::commission
