// The scan as a document, its comparison with an earlier one and its JSON and CSV forms.
#include "commission/scan_document.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "commission/csv.h"
#include "protocol/text_forms.h"

namespace netsonde::commission {

const std::vector<std::string> kDeviceKeys = {
    "mac",  "name",     "ip",     "mask",        "gateway",  "tftp",     "image",
    "type", "uptime_s", "uptime", "description", "adapters", "conflicts"};

namespace {

const char* const kGone = "gone";
const char* const kNotScanned = "not scanned";

std::string Join(const std::vector<std::string>& list, char separator) {
    std::string text;
    for (const std::string& item : list) {
        if (!text.empty()) {
            text += separator;
        }
        text += item;
    }
    return text;
}

// The member of a key whose value is a text, or nullptr.
const std::string* TextMember(const DeviceEntry& device, const std::string& key) {
    const struct {
        const char* key;
        const std::string DeviceEntry::*member;
    } members[] = {
        {"mac", &DeviceEntry::mac},         {"name", &DeviceEntry::name},
        {"ip", &DeviceEntry::ip},           {"mask", &DeviceEntry::mask},
        {"gateway", &DeviceEntry::gateway}, {"tftp", &DeviceEntry::tftp},
        {"image", &DeviceEntry::image},     {"type", &DeviceEntry::type},
        {"uptime", &DeviceEntry::uptime},   {"description", &DeviceEntry::description},
    };
    for (const auto& entry : members) {
        if (key == entry.key) {
            return &(device.*entry.member);
        }
    }
    return nullptr;
}

// Adds "ip", first, to the conflicts of every device whose IP address another one also reports.
void MarkIpConflicts(std::vector<DeviceEntry>* devices) {
    std::unordered_map<std::string, std::size_t> perIp;
    for (const DeviceEntry& entry : *devices) {
        ++perIp[entry.ip];
    }
    // 0.0.0.0 is every device still without an address, not an address in use.
    const std::string noAddress = FormatIpText({0, 0, 0, 0});
    for (DeviceEntry& entry : *devices) {
        if (entry.ip != noAddress && perIp[entry.ip] > 1) {
            entry.conflicts.insert(entry.conflicts.begin(), "ip");
        }
    }
}

// The document of these devices in the order given: what a scan and a window both save.
ScanDocument DocumentOf(const std::vector<DocumentAdapter>& adapters,
                        const std::vector<FoundDevice>& devices, std::time_t scannedAt) {
    ScanDocument document;
    document.scannedAt = IsoUtc(scannedAt);
    document.adapters = adapters;
    for (const FoundDevice& device : devices) {
        document.devices.push_back(MakeDeviceEntry(device));
    }
    MarkIpConflicts(&document.devices);
    return document;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

bool Utf8ToLatin1(std::string_view utf8, std::string* bytes) {
    std::string text;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            text += static_cast<char>(c);
            continue;
        }
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= utf8.size() ||
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) != 0x80) {
            return false;
        }
        text += static_cast<char>(((c & 0x03) << 6) | (utf8[i + 1] & 0x3F));
        ++i;
    }
    *bytes = std::move(text);
    return true;
}

std::string IsoUtc(std::time_t when) {
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &when);
#else
    gmtime_r(&when, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

DeviceEntry MakeDeviceEntry(const FoundDevice& device) {
    const DeviceRecord& record = device.record;
    DeviceEntry entry;
    switch (record.ipAddressTypeValue()) {
        case 1:
            entry.type = "static";
            break;
        case 2:
            entry.type = "dynamic";
            break;
        default:
            entry.type = std::to_string(record.ipAddressTypeValue());
            entry.typeIsNumber = true;
            break;
    }
    entry.mac = FormatMacText(record.mac());
    entry.name = Latin1ToUtf8(record.systemName());
    entry.ip = FormatIpText(record.ipAddress());
    entry.mask = FormatIpText(record.subnetMask());
    entry.gateway = FormatIpText(record.gateway());
    entry.tftp = FormatIpText(record.tftpServer());
    entry.image = Latin1ToUtf8(record.imageFileName());
    entry.uptimeSeconds = record.uptime() / 100;
    entry.uptime = FormatUptimeText(record.uptime());
    entry.description = Latin1ToUtf8(record.systemDescription());
    entry.adapters = device.adapters;
    if (device.recordsDiffer) {
        entry.conflicts.push_back("mac");
    }
    return entry;
}

ScanDocument MakeScanDocument(const std::vector<DocumentAdapter>& adapters,
                              const FoundDevices& devices, std::time_t scannedAt) {
    ScanDocument document = DocumentOf(adapters, devices.devices(), scannedAt);
    document.truncated = devices.cut();
    return document;
}

ScanDocument ListDocument(const std::vector<DeviceRecord>& records, const DocumentAdapter& adapter,
                          std::time_t scannedAt) {
    std::vector<DocumentAdapter> adapters;
    std::vector<std::string> heardOn;
    if (!adapter.address.empty()) {
        adapters.push_back(adapter);
        heardOn.push_back(adapter.address);
    }
    // Not through FoundDevices::Add: a record the Change dialog wrote back is the request as
    // sent, no discovery reply, and the window lists it all the same. Through the same document
    // maker as a scan, so whatever a scan's document adds to its devices, the window's has too.
    std::vector<FoundDevice> devices;
    for (const DeviceRecord& record : records) {
        devices.push_back({record, heardOn});
    }
    ScanDocument document = DocumentOf(adapters, devices, scannedAt);
    OrderDevices(&document.devices, false);
    return document;
}

void WriteAdapters(const std::vector<DocumentAdapter>& adapters, JsonWriter* json) {
    json->BeginArray();
    for (const DocumentAdapter& adapter : adapters) {
        json->BeginObject();
        json->Key("address");
        json->String(adapter.address);
        json->Key("interface");
        json->String(adapter.interface);
        json->EndObject();
    }
    json->EndArray();
}

std::string ScanJson(const ScanDocument& document) {
    std::ostringstream text;
    WriteScanJson(document, text);
    return text.str();
}

void WriteScanJson(const ScanDocument& document, std::ostream& out) {
    JsonWriter json;
    json.BeginObject();
    json.Key("version");
    json.Number(1);
    json.Key("scanned_at");
    json.String(document.scannedAt);
    json.Key("adapters");
    WriteAdapters(document.adapters, &json);
    json.Key("truncated");
    json.Boolean(document.truncated);
    json.Key("devices");
    json.BeginArray();
    for (const DeviceEntry& device : document.devices) {
        json.BeginObject();
        for (const std::string& key : kDeviceKeys) {
            json.Key(key);
            if (key == "uptime_s") {
                json.Number(device.uptimeSeconds);
            } else if (key == "adapters") {
                json.StringList(device.adapters);
            } else if (key == "conflicts") {
                json.StringList(device.conflicts);
            } else if (key == "type" && device.typeIsNumber) {
                json.RawNumber(device.type);
            } else {
                json.String(*TextMember(device, key));
            }
        }
        if (device.change) {
            json.Key(kChangeKey);
            json.String(*device.change);
            json.Key(kChangedFieldsKey);
            json.StringList(device.changedFields);
        }
        json.EndObject();
        out << json.TakeText();
    }
    json.EndArray();
    json.EndObject();
    out << json.TakeText() << '\n';
}

std::string CellText(const DeviceEntry& device, const std::string& key) {
    if (const std::string* text = TextMember(device, key)) {
        return *text;
    }
    if (key == "uptime_s") {
        return std::to_string(device.uptimeSeconds);
    }
    if (key == "adapters") {
        return Join(device.adapters, ' ');
    }
    if (key == "conflicts") {
        return Join(device.conflicts, ' ');
    }
    if (key == kChangeKey) {
        return device.change.value_or(std::string());
    }
    if (key == kChangedFieldsKey) {
        return Join(device.changedFields, ' ');
    }
    return std::string();
}

std::vector<DeviceEntry> CompareWithEarlier(const std::vector<DeviceEntry>& currentDevices,
                                            const std::vector<DeviceEntry>& earlierDevices,
                                            const std::vector<std::string>* listened) {
    std::vector<DeviceEntry> compared;
    compared.reserve(currentDevices.size());
    // One look-up per device, in constant time: a saved scan may list many thousands. The first
    // entry of a MAC listed twice is the one compared.
    std::unordered_map<std::string_view, const DeviceEntry*> earlierByMac;
    for (const DeviceEntry& old : earlierDevices) {
        earlierByMac.emplace(old.mac, &old);
    }
    std::unordered_set<std::string_view> heard;
    for (const DeviceEntry& device : currentDevices) {
        heard.insert(device.mac);
        const auto found = earlierByMac.find(device.mac);
        const DeviceEntry* earlier = found == earlierByMac.end() ? nullptr : found->second;
        DeviceEntry entry = device;
        entry.changedFields.clear();
        if (earlier == nullptr) {
            entry.change = "new";
        } else {
            for (const std::string& key : kDeviceKeys) {
                if (key == "uptime_s" || key == "uptime") {
                    continue;
                }
                // The order a device was heard in on several adapters is chance, not a change.
                const bool differs =
                    key == "adapters"
                        ? std::multiset<std::string>(earlier->adapters.begin(),
                                                     earlier->adapters.end()) !=
                              std::multiset<std::string>(device.adapters.begin(),
                                                         device.adapters.end())
                        : CellText(*earlier, key) != CellText(device, key) ||
                              (key == "type" && earlier->typeIsNumber != device.typeIsNumber);
                if (differs) {
                    entry.changedFields.push_back(key);
                }
            }
            entry.change = entry.changedFields.empty() ? "same" : "changed";
        }
        compared.push_back(std::move(entry));
    }
    for (const DeviceEntry& old : earlierDevices) {
        if (heard.count(old.mac) != 0) {
            continue;
        }
        // Only a scan that listened where the device was heard can say it is gone.
        const bool scanned =
            listened == nullptr ||
            std::any_of(old.adapters.begin(), old.adapters.end(), [&](const std::string& a) {
                return std::find(listened->begin(), listened->end(), a) != listened->end();
            });
        DeviceEntry entry = old;
        entry.change = scanned ? kGone : kNotScanned;
        entry.changedFields.clear();
        compared.push_back(std::move(entry));
    }
    return compared;
}

void OrderDevices(std::vector<DeviceEntry>* devices, bool newest) {
    const auto gone = [](const DeviceEntry& device) {
        return device.change == kGone || device.change == kNotScanned;
    };
    std::stable_sort(devices->begin(), devices->end(),
                     [&](const DeviceEntry& a, const DeviceEntry& b) {
                         if (gone(a) != gone(b)) {
                             return gone(b);
                         }
                         if (newest && a.uptimeSeconds != b.uptimeSeconds) {
                             return a.uptimeSeconds < b.uptimeSeconds;
                         }
                         return a.mac < b.mac;
                     });
}

std::string FormatCsv(const std::vector<DeviceEntry>& devices, bool withChange) {
    std::ostringstream csv;
    WriteCsv(devices, withChange, csv);
    return csv.str();
}

void WriteCsv(const std::vector<DeviceEntry>& devices, bool withChange, std::ostream& out) {
    std::vector<std::string> header = kDeviceKeys;
    if (withChange) {
        header.push_back(kChangeKey);
        header.push_back(kChangedFieldsKey);
    }
    out << CsvLine(header);
    for (const DeviceEntry& device : devices) {
        std::vector<std::string> row;
        for (const std::string& key : header) {
            row.push_back(CellText(device, key));
        }
        out << CsvLine(row);
    }
}

}  // namespace netsonde::commission
