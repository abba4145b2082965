// The scan as a JSON document, its comparison with an earlier one and its output forms.
#include "cli/scan_document.h"

#include <algorithm>
#include <set>

#include "cli/csv.h"
#include "discovery/text_forms.h"
#include "protocol/text_escapes.h"

namespace netsonde::cli {

const std::vector<std::string> kDeviceKeys = {"mac",      "name",   "ip",          "mask",
                                              "gateway",  "tftp",   "image",       "type",
                                              "uptime_s", "uptime", "description", "adapters"};

namespace {

const char* const kGone = "gone";

std::string Join(const Json& list, char separator) {
    std::string text;
    for (const Json& item : list) {
        if (!text.empty()) {
            text += separator;
        }
        text += item.is_string() ? item.get<std::string>() : item.dump();
    }
    return text;
}

// A value as one cell of a table or CSV row.
std::string CellText(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_array()) {
        return Join(value, ' ');
    }
    if (value.is_null()) {
        return std::string();
    }
    return value.dump();
}

// Characters shown, counting each UTF-8 sequence once.
std::size_t Width(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::vector<std::string> Columns(bool withChange) {
    std::vector<std::string> columns;
    if (withChange) {
        columns.push_back(kChangeKey);
    }
    for (const char* key : {"mac", "name", "ip", "type", "uptime", "description", "adapters"}) {
        columns.push_back(key);
    }
    if (withChange) {
        columns.push_back(kChangedFieldsKey);
    }
    return columns;
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

Json DeviceJson(const FoundDevice& device) {
    const DeviceRecord& record = device.record;
    Json type;
    switch (record.ipAddressTypeValue()) {
        case 1:
            type = "static";
            break;
        case 2:
            type = "dynamic";
            break;
        default:
            type = record.ipAddressTypeValue();
            break;
    }
    Json json;
    json["mac"] = FormatMacText(record.mac());
    json["name"] = Latin1ToUtf8(record.systemName());
    json["ip"] = FormatIpText(record.ipAddress());
    json["mask"] = FormatIpText(record.subnetMask());
    json["gateway"] = FormatIpText(record.gateway());
    json["tftp"] = FormatIpText(record.tftpServer());
    json["image"] = Latin1ToUtf8(record.imageFileName());
    json["type"] = type;
    json["uptime_s"] = record.uptime() / 100;
    json["uptime"] = FormatUptimeText(record.uptime());
    json["description"] = Latin1ToUtf8(record.systemDescription());
    json["adapters"] = device.adapters;
    return json;
}

Json ScanDocument(const std::vector<LocalAdapter>& adapters, const FoundDevices& devices,
                  std::time_t scannedAt) {
    Json document;
    document["version"] = 1;
    document["scanned_at"] = IsoUtc(scannedAt);
    document["adapters"] = Json::array();
    for (const LocalAdapter& adapter : adapters) {
        document["adapters"].push_back(
            {{"address", adapter.address}, {"interface", adapter.interface}});
    }
    document["devices"] = Json::array();
    for (const FoundDevice& device : devices.devices()) {
        document["devices"].push_back(DeviceJson(device));
    }
    return document;
}

bool ParseScanDocument(const std::string& text, Json* document, std::string* error) {
    Json parsed = Json::parse(text, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) {
        *error = "not a saved scan (not a JSON object)";
        return false;
    }
    const auto version = parsed.find("version");
    if (version == parsed.end() || *version != 1) {
        *error = "not a saved scan of version 1";
        return false;
    }
    const auto devices = parsed.find("devices");
    if (devices == parsed.end() || !devices->is_array()) {
        *error = "a saved scan without a \"devices\" list";
        return false;
    }
    for (const Json& device : *devices) {
        if (!device.is_object() || !device.contains("mac") || !device["mac"].is_string()) {
            *error = "a saved device without a \"mac\"";
            return false;
        }
    }
    *document = std::move(parsed);
    return true;
}

namespace {

// The addresses of an adapters list, as a set: the order a device was heard in on several
// adapters is chance, not a change.
std::multiset<std::string> AddressSet(const Json& list) {
    std::multiset<std::string> addresses;
    if (list.is_array()) {
        for (const Json& item : list) {
            if (item.is_string()) {
                addresses.insert(item.get<std::string>());
            }
        }
    }
    return addresses;
}

}  // namespace

Json CompareWithEarlier(const Json& currentDevices, const Json& earlierDevices) {
    Json compared = Json::array();
    std::set<std::string> heard;
    for (const Json& device : currentDevices) {
        const std::string mac = device["mac"].get<std::string>();
        heard.insert(mac);
        const auto earlier = std::find_if(earlierDevices.begin(), earlierDevices.end(),
                                          [&](const Json& old) { return old["mac"] == mac; });
        Json entry = device;
        Json changed = Json::array();
        if (earlier == earlierDevices.end()) {
            entry[kChangeKey] = "new";
        } else {
            for (const std::string& key : kDeviceKeys) {
                if (key == "uptime_s" || key == "uptime") {
                    continue;
                }
                const auto old = earlier->find(key);
                const bool differs =
                    old == earlier->end() ||
                    (key == "adapters" ? AddressSet(*old) != AddressSet(device[key])
                                       : *old != device[key]);
                if (differs) {
                    changed.push_back(key);
                }
            }
            entry[kChangeKey] = changed.empty() ? "same" : "changed";
        }
        entry[kChangedFieldsKey] = changed;
        compared.push_back(std::move(entry));
    }
    for (const Json& old : earlierDevices) {
        if (heard.count(old["mac"].get<std::string>()) != 0) {
            continue;
        }
        Json entry = old;
        entry.erase(kChangeKey);
        entry.erase(kChangedFieldsKey);
        entry[kChangeKey] = kGone;
        entry[kChangedFieldsKey] = Json::array();
        compared.push_back(std::move(entry));
    }
    return compared;
}

void OrderDevices(Json* devices, bool newest) {
    const auto gone = [](const Json& device) {
        const auto change = device.find(kChangeKey);
        return change != device.end() && *change == kGone;
    };
    const auto uptime = [](const Json& device) {
        const auto value = device.find("uptime_s");
        return value != device.end() && value->is_number() ? value->get<double>() : 0.0;
    };
    std::stable_sort(devices->begin(), devices->end(), [&](const Json& a, const Json& b) {
        if (gone(a) != gone(b)) {
            return gone(b);
        }
        if (newest && uptime(a) != uptime(b)) {
            return uptime(a) < uptime(b);
        }
        return CellText(a["mac"]) < CellText(b["mac"]);
    });
}

std::string FormatTable(const Json& devices, bool withChange) {
    const std::vector<std::string> columns = Columns(withChange);
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> heading;
    for (const std::string& column : columns) {
        std::string title = column;
        std::transform(title.begin(), title.end(), title.begin(),
                       [](char c) { return c == '_' ? ' ' : static_cast<char>(std::toupper(c)); });
        heading.push_back(title);
    }
    cells.push_back(heading);
    for (const Json& device : devices) {
        std::vector<std::string> row;
        for (const std::string& column : columns) {
            const auto value = device.find(column);
            row.push_back(TerminalText(value == device.end() ? std::string() : CellText(*value)));
        }
        cells.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], Width(row[c]));
        }
    }
    std::string table;
    for (const auto& row : cells) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) {
                line.append(widths[c] - Width(row[c]) + 2, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        table += line + '\n';
    }
    return table;
}

std::string FormatCsv(const Json& devices, bool withChange) {
    std::vector<std::string> header = kDeviceKeys;
    if (withChange) {
        header.push_back(kChangeKey);
        header.push_back(kChangedFieldsKey);
    }
    std::string csv = CsvLine(header);
    for (const Json& device : devices) {
        std::vector<std::string> row;
        for (const std::string& key : header) {
            const auto value = device.find(key);
            row.push_back(value == device.end() ? std::string() : CellText(*value));
        }
        csv += CsvLine(row);
    }
    return csv;
}

}  // namespace netsonde::cli
