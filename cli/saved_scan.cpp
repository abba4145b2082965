// Reading a saved scan; see saved_scan.h.
#include "cli/saved_scan.h"

#include <nlohmann/json.hpp>

namespace netsonde::cli {
namespace {

// Objects as ordered maps: a file of many keys parses in n log n, where ordered_json's inserts
// would take quadratic time.
using Json = nlohmann::json;

// Far deeper than any saved scan (four levels), shallow enough that nothing built from the
// document or done to it later can run out of stack.
constexpr int kMaxDepth = 64;
using commission::DeviceEntry;

std::string Text(const Json& object, const char* key) {
    const auto value = object.find(key);
    return value != object.end() && value->is_string() ? value->get<std::string>() : std::string();
}

std::vector<std::string> TextList(const Json& object, const char* key) {
    std::vector<std::string> texts;
    const auto list = object.find(key);
    if (list != object.end() && list->is_array()) {
        for (const Json& item : *list) {
            if (item.is_string()) {
                texts.push_back(item.get<std::string>());
            }
        }
    }
    return texts;
}

DeviceEntry Entry(const Json& device) {
    DeviceEntry entry;
    entry.mac = Text(device, "mac");
    entry.name = Text(device, "name");
    entry.ip = Text(device, "ip");
    entry.mask = Text(device, "mask");
    entry.gateway = Text(device, "gateway");
    entry.tftp = Text(device, "tftp");
    entry.image = Text(device, "image");
    const auto type = device.find("type");
    if (type != device.end() && type->is_number()) {
        entry.type = type->dump();
        entry.typeIsNumber = true;
    } else {
        entry.type = Text(device, "type");
    }
    const auto uptime = device.find("uptime_s");
    // Only a whole number that fits: a huge or fractional one would not convert.
    if (uptime != device.end() && uptime->is_number_unsigned()) {
        entry.uptimeSeconds = uptime->get<std::uint64_t>();
    }
    entry.uptime = Text(device, "uptime");
    entry.description = Text(device, "description");
    entry.adapters = TextList(device, "adapters");
    // A scan saved before conflicts were marked has none: no change to report.
    entry.conflicts = TextList(device, "conflicts");
    return entry;
}

}  // namespace

bool ParseScanDocument(const std::string& text, commission::ScanDocument* document,
                       std::string* error) {
    // Values nested deeper than kMaxDepth are never built; the parser itself keeps its own
    // stack, so a file nested a million deep costs memory in proportion and no recursion.
    bool tooDeep = false;
    const Json parsed = Json::parse(
        text,
        [&tooDeep](int depth, Json::parse_event_t, Json&) {
            tooDeep = tooDeep || depth > kMaxDepth;
            return !tooDeep;
        },
        false);
    if (tooDeep) {
        *error = "not a saved scan (nested deeper than " + std::to_string(kMaxDepth) + " levels)";
        return false;
    }
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
    *document = commission::ScanDocument();
    document->scannedAt = Text(parsed, "scanned_at");
    const auto truncated = parsed.find("truncated");
    document->truncated =
        truncated != parsed.end() && truncated->is_boolean() && truncated->get<bool>();
    const auto adapters = parsed.find("adapters");
    if (adapters != parsed.end() && adapters->is_array()) {
        for (const Json& adapter : *adapters) {
            if (adapter.is_object()) {
                document->adapters.push_back(
                    {Text(adapter, "address"), Text(adapter, "interface")});
            }
        }
    }
    for (const Json& device : *devices) {
        document->devices.push_back(Entry(device));
    }
    return true;
}

}  // namespace netsonde::cli
