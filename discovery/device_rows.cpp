// The texts of a device's list row.
#include "discovery/device_rows.h"

#include "protocol/text_forms.h"

namespace netsonde {

DeviceRowTexts DeviceRowTextsOf(const DeviceRecord& record) {
    return {FormatMacText(record.mac()), record.systemName(), FormatIpText(record.ipAddress()),
            FormatUptimeText(record.uptime()), record.systemDescription()};
}

}  // namespace netsonde
