// The batch's checks, address assignment and requests; see batch_change.h.
#include "commission/batch_change.h"

#include "commission/address_assignment.h"
#include "config/address_check.h"
#include "config/change_fields.h"
#include "config/set_request.h"
#include "protocol/text_forms.h"
#include "protocol/ipv4_number.h"
#include "res/resource.h"

namespace netsonde::commission {
namespace {

bool PassesAs(const std::string& text, AddressKind kind) {
    return text.size() <= 15 && CheckAddressText(text.c_str(), kind) == 1;
}

std::string MacPrefixed(const DeviceRecord& device, const std::string& message) {
    return FormatMacText(device.mac()) + ": " + message;
}

BatchSetting SettingOfEdit(int editId) {
    switch (editId) {
        case IDC_CHANGE_IP_ADDRESS:
            return BatchSetting::FirstIp;
        case IDC_CHANGE_SUBNET_MASK:
            return BatchSetting::Mask;
        case IDC_CHANGE_GATEWAY:
            return BatchSetting::Gateway;
        default:
            return BatchSetting::Tftp;
    }
}

AddressType TypeOf(const DeviceRecord& stored, const BatchSettings& settings) {
    return settings.type.value_or(stored.ipAddressType());
}

// The Change dialog's fields for a device with the given settings typed in: the TFTP server and
// image file only where its dialog lets them be edited (no "v" in the description).
ChangeFields FieldsFor(const DeviceRecord& stored, const BatchSettings& settings,
                       const std::string& newIp) {
    ChangeFields fields = StoredChangeFields(stored);
    fields.type = TypeOf(stored, settings);
    if (!newIp.empty()) {
        fields.ipText = newIp;
    }
    fields.maskText = settings.mask.value_or(fields.maskText);
    fields.gatewayText = settings.gateway.value_or(fields.gatewayText);
    if (!DescriptionHasV(stored)) {
        fields.tftpServerText = settings.tftp.value_or(fields.tftpServerText);
        fields.imageFileText = settings.image.value_or(fields.imageFileText);
    }
    fields.passwordText = settings.password.value_or(std::string());
    return fields;
}

bool Given(BatchSetting setting, const BatchSettings& settings) {
    switch (setting) {
        case BatchSetting::FirstIp:
            return settings.firstIp.has_value();
        case BatchSetting::Mask:
            return settings.mask.has_value();
        case BatchSetting::Gateway:
            return settings.gateway.has_value();
        case BatchSetting::Tftp:
            return settings.tftp.has_value();
        default:
            return true;
    }
}

}  // namespace

BatchPlan PlanBatch(const std::vector<BatchDevice>& devices, const BatchSettings& settings,
                    const std::vector<std::uint32_t>& ownAddresses) {
    BatchPlan plan;
    plan.newIpTexts.resize(devices.size());
    const auto fail = [&plan](std::string message, BatchSetting setting, bool given) {
        plan.problem = BatchProblem{std::move(message), setting, given};
        plan.entries.clear();
        return plan;
    };

    // Addresses are handed out to the checked devices that will be static; the others (and
    // the workstation) keep theirs, which are therefore never handed out: that includes the
    // devices that will be dynamic.
    std::vector<std::size_t> toAddress;
    std::vector<std::uint32_t> current, avoid = ownAddresses;
    const DeviceRecord* first = nullptr;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DeviceRecord& stored = devices[i].stored;
        if (!devices[i].checked) {
            avoid.push_back(Ipv4Number(stored.ipAddress()));
            continue;
        }
        first = first != nullptr ? first : &stored;
        if (TypeOf(stored, settings) == AddressType::Dynamic) {
            // It keeps the address it holds until its DHCP server says otherwise.
            avoid.push_back(Ipv4Number(stored.ipAddress()));
            plan.newIpTexts[i] = "dynamic";
        } else if (settings.firstIp) {
            toAddress.push_back(i);
            current.push_back(Ipv4Number(stored.ipAddress()));
        } else {
            plan.newIpTexts[i] = FormatIpText(stored.ipAddress());
        }
    }
    if (first == nullptr) {
        return fail("Check the devices to change.", BatchSetting::Devices, true);
    }

    if (settings.firstIp && !toAddress.empty()) {
        const DeviceRecord& leader = devices[toAddress.front()].stored;
        if (!PassesAs(*settings.firstIp, HostAddressKind)) {
            return fail(MacPrefixed(leader, "Invalid IP Address\r\n"), BatchSetting::FirstIp, true);
        }
        const std::string maskText = settings.mask.value_or(FormatIpText(leader.subnetMask()));
        if (!PassesAs(maskText, SubnetMaskKind)) {
            return fail(MacPrefixed(leader, "Invalid Subnet Mask"), BatchSetting::Mask,
                        settings.mask.has_value());
        }
        const std::string& stepText = settings.stepText;
        const unsigned long step =
            stepText.empty() || stepText.size() > 3 ||
                    stepText.find_first_not_of("0123456789") != std::string::npos
                ? 0
                : std::stoul(stepText);
        if (step < 1 || step > 255) {
            return fail("The step is a number from 1 to 255.", BatchSetting::Step, true);
        }
        const std::uint32_t firstNumber = Ipv4Number(ParseDottedQuad(settings.firstIp->c_str()));
        const std::uint32_t maskNumber = Ipv4Number(ParseDottedQuad(maskText.c_str()));
        const AddressAssignment assigned =
            AssignAddresses(current, firstNumber, static_cast<unsigned>(step), maskNumber, avoid);
        if (!assigned.fits) {
            return fail("Only " + std::to_string(assigned.fitting) + " of the " +
                            std::to_string(toAddress.size()) + " devices fit from " +
                            *settings.firstIp + " by step " + std::to_string(step) +
                            " in its subnet (mask " + maskText + ").",
                        BatchSetting::FirstIp, true);
        }
        for (std::size_t k = 0; k < toAddress.size(); ++k) {
            plan.newIpTexts[toAddress[k]] = FormatIpText(Ipv4FromNumber(assigned.addresses[k]));
        }
    }

    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (!devices[i].checked) {
            continue;
        }
        const DeviceRecord& stored = devices[i].stored;
        const bool assigned = settings.firstIp && TypeOf(stored, settings) == AddressType::Static;
        const ChangeFields fields =
            FieldsFor(stored, settings, assigned ? plan.newIpTexts[i] : std::string());
        if (const auto failure = FirstInvalidAddress(fields, DescriptionHasV(stored))) {
            const BatchSetting setting = SettingOfEdit(failure->editId);
            return fail(MacPrefixed(stored, failure->message), setting, Given(setting, settings));
        }
        plan.entries.push_back({i, stored, BuildSetRequest(stored, fields)});
    }
    return plan;
}

}  // namespace netsonde::commission
