// One device's change: options, checks, request and what it flags; see change_plan.h.
#include "commission/change_plan.h"

#include <cctype>
#include <cstdio>

#include "commission/scan_document.h"
#include "config/change_fields.h"
#include "protocol/text_forms.h"
#include "res/resource.h"

namespace netsonde::commission {
namespace {

// ChangeMask bits with the scan key of their field.
struct FlaggedKey {
    std::uint16_t bit;
    const char* key;
};
const FlaggedKey kFlaggedKeys[] = {
    {mask::kPassword, "password"},   {mask::kIpAddress, "ip"},    {mask::kTftpServer, "tftp"},
    {mask::kImageFileName, "image"}, {mask::kSubnetMask, "mask"}, {mask::kGateway, "gateway"},
    {mask::kIpAddressType, "type"},
};

std::string TypeText(std::uint32_t value) {
    return value == 1 ? "static" : value == 2 ? "dynamic" : std::to_string(value);
}

}  // namespace

std::string CheckOptionTexts(ChangeOptions* options) {
    struct Limit {
        std::optional<std::string>* text;
        const char* what;
        std::size_t most;
    };
    const Limit limits[] = {{&options->name, "name", field::kSystemNameSize - 1},
                            {&options->password, "password", field::kPasswordSize - 1},
                            {&options->image, "image file name", field::kImageFileNameSize - 1}};
    for (const Limit& limit : limits) {
        if (!*limit.text) {
            continue;
        }
        std::string bytes;
        if (!Utf8ToLatin1(**limit.text, &bytes)) {
            return std::string("the ") + limit.what +
                   " holds a character the device cannot store (only Latin-1 characters)";
        }
        if (bytes.size() > limit.most) {
            return std::string("the ") + limit.what + " holds at most " +
                   std::to_string(limit.most) + " characters";
        }
        **limit.text = bytes;
    }
    return std::string();
}

PlannedChange PlanChange(const DeviceRecord& stored, const ChangeOptions& options) {
    PlannedChange plan;
    plan.fields = StoredChangeFields(stored);
    ChangeFields& fields = plan.fields;
    fields.type = options.type.value_or(stored.ipAddressType());
    const bool hasV = DescriptionHasV(stored);
    if (fields.type == AddressType::Dynamic && (options.ip || options.mask || options.gateway)) {
        plan.error =
            "an IP address, subnet mask or gateway is not applied to a device that will be "
            "dynamic: make it static, or leave them out";
        return plan;
    }
    if (hasV && (options.tftp || options.image)) {
        plan.error =
            "the device's description contains \"v\": its TFTP server and image file name are "
            "not applied: leave them out";
        return plan;
    }
    fields.nameText = options.name.value_or(fields.nameText);
    fields.ipText = options.ip.value_or(fields.ipText);
    fields.maskText = options.mask.value_or(fields.maskText);
    fields.gatewayText = options.gateway.value_or(fields.gatewayText);
    fields.tftpServerText = options.tftp.value_or(fields.tftpServerText);
    fields.imageFileText = options.image.value_or(fields.imageFileText);
    fields.passwordText = options.password.value_or(std::string());

    if (const auto failure = FirstInvalidAddress(fields, hasV)) {
        // The dialog's message; when the text is the stored one, say so, since it was not typed.
        struct Source {
            int editId;
            const std::optional<std::string>* given;
            const char* option;
            const std::string* text;
        };
        const Source sources[] = {
            {IDC_CHANGE_IP_ADDRESS, &options.ip, "ip", &fields.ipText},
            {IDC_CHANGE_SUBNET_MASK, &options.mask, "mask", &fields.maskText},
            {IDC_CHANGE_GATEWAY, &options.gateway, "gateway", &fields.gatewayText},
            {IDC_CHANGE_TFTP_SERVER, &options.tftp, "tftp", &fields.tftpServerText},
        };
        std::string message = failure->message;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
            message.pop_back();
        }
        for (const Source& source : sources) {
            if (source.editId == failure->editId && !*source.given) {
                message += " (the device's stored value " + *source.text + "; give a new " +
                           source.option + ")";
            }
        }
        plan.error = message;
        return plan;
    }
    plan.request = BuildSetRequest(stored, fields);
    return plan;
}

std::string FieldText(const DeviceRecord& record, const std::string& key) {
    if (key == "ip")
        return FormatIpText(record.ipAddress());
    if (key == "mask")
        return FormatIpText(record.subnetMask());
    if (key == "gateway")
        return FormatIpText(record.gateway());
    if (key == "tftp")
        return FormatIpText(record.tftpServer());
    if (key == "image")
        return Latin1ToUtf8(record.imageFileName());
    if (key == "name")
        return Latin1ToUtf8(record.systemName());
    if (key == "type")
        return TypeText(record.ipAddressTypeValue());
    return std::string();  // the password, above all, has no text here
}

std::vector<FieldChange> RequestedChanges(const DeviceRecord& stored, const DeviceRecord& request) {
    std::vector<FieldChange> changes;
    for (const FlaggedKey& flagged : kFlaggedKeys) {
        if ((request.fieldMask() & flagged.bit) != 0) {
            changes.push_back(
                {flagged.key, FieldText(stored, flagged.key), FieldText(request, flagged.key)});
        }
    }
    if (stored.systemName() != request.systemName()) {
        changes.push_back({"name", FieldText(stored, "name"), FieldText(request, "name")});
    }
    return changes;
}

std::vector<std::string> UnverifiedFields(const DeviceRecord& request, const DeviceRecord& seen) {
    std::vector<std::string> pending;
    for (const FlaggedKey& flagged : kFlaggedKeys) {
        if ((request.fieldMask() & flagged.bit) != 0 && flagged.bit != mask::kPassword &&
            FieldText(request, flagged.key) != FieldText(seen, flagged.key)) {
            pending.push_back(flagged.key);
        }
    }
    return pending;
}

std::string MaskText(std::uint16_t mask) {
    char number[32];
    std::snprintf(number, sizeof number, "0x%04x (%u)", mask, mask);
    std::string text = number;
    const std::vector<std::string> names = MaskFieldNames(mask);
    if (!names.empty()) {
        text += ':';
    }
    for (const std::string& name : names) {
        text += ' ' + name;
    }
    return text;
}

bool ParseMacArgument(const std::string& text, MacBytes* mac) {
    if (text.size() != 17) {
        return false;
    }
    const char separator = text[2];
    if (separator != '-' && separator != ':') {
        return false;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = i * 3;
        if ((i > 0 && text[at - 1] != separator) ||
            !std::isxdigit(static_cast<unsigned char>(text[at])) ||
            !std::isxdigit(static_cast<unsigned char>(text[at + 1]))) {
            return false;
        }
        (*mac)[i] = static_cast<std::uint8_t>(std::stoi(text.substr(at, 2), nullptr, 16));
    }
    return true;
}

}  // namespace netsonde::commission
