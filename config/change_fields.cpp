// The Change dialog's starting texts, mask field names and refusal message; see change_fields.h.
#include "config/change_fields.h"

#include "protocol/text_forms.h"

namespace netsonde {

ChangeFields StoredChangeFields(const DeviceRecord& stored) {
    ChangeFields fields;
    fields.nameText = stored.systemName();
    fields.ipText = FormatIpText(stored.ipAddress());
    fields.maskText = FormatIpText(stored.subnetMask());
    fields.gatewayText = FormatIpText(stored.gateway());
    fields.tftpServerText = FormatIpText(stored.tftpServer());
    fields.imageFileText = stored.imageFileName();
    fields.type = stored.ipAddressType();
    return fields;
}

const char* MaskBitField(int bit) {
    switch (bit) {
        case 0:
            return "password";
        case 2:
            return "ipAddress";
        case 4:
            return "systemName";
        case 6:
            return "tftpServer";
        case 7:
            return "imageFileName";
        case 8:
            return "subnetMask";
        case 9:
            return "gateway";
        case 10:
            return "ipAddressType";
        default:
            return nullptr;
    }
}

std::vector<std::string> MaskFieldNames(std::uint16_t mask) {
    std::vector<std::string> names;
    for (int bit = 0; bit < 16; ++bit) {
        if ((mask & (1u << bit)) == 0) {
            continue;
        }
        const char* name = MaskBitField(bit);
        names.push_back(name != nullptr ? name : "bit " + std::to_string(bit));
    }
    return names;
}

std::string RefusalMessage(std::uint16_t errorMask) {
    return std::string("Device returned error\r\nPlease check ") + ErrorMaskName(errorMask);
}

}  // namespace netsonde
