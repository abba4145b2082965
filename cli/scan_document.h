// A scan as data: the JSON document a scan prints and saves, its devices in the key order every
// format uses, the comparison with an earlier saved scan, and the orders a listing can take.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/found_devices.h"
#include "cli/local_adapters.h"

namespace netsonde::cli {

using Json = nlohmann::ordered_json;

// The keys of a device, in the order of JSON objects and CSV columns.
extern const std::vector<std::string> kDeviceKeys;
// Added by a comparison with an earlier scan.
constexpr const char* kChangeKey = "change";
constexpr const char* kChangedFieldsKey = "changed_fields";

// Record text bytes (single-byte characters) read as Latin-1 and written as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);
// The way back, for texts typed as UTF-8: false when the text holds a character beyond U+00FF
// or is not UTF-8.
bool Utf8ToLatin1(std::string_view utf8, std::string* bytes);

// "2026-12-08T23:50:00Z".
std::string IsoUtc(std::time_t when);

// One device with exactly the keys of kDeviceKeys. The password field is never read.
Json DeviceJson(const FoundDevice& device);

// {"version": 1, "scanned_at", "adapters": [{"address", "interface"}], "devices": [...]}.
Json ScanDocument(const std::vector<LocalAdapter>& adapters, const FoundDevices& devices,
                  std::time_t scannedAt);

// Parses a saved scan. False with *error set when the text is not one (bad JSON, another
// version, devices without a mac).
bool ParseScanDocument(const std::string& text, Json* document, std::string* error);

// Each current device gets "change" (new, changed or same) and "changed_fields" (the keys that
// differ from the earlier scan, uptime_s and uptime never counted); devices of the earlier scan
// not heard now follow as "gone" with their last values.
Json CompareWithEarlier(const Json& currentDevices, const Json& earlierDevices);

// By MAC; with newest, by uptime_s, lowest first. Gone devices come last either way.
void OrderDevices(Json* devices, bool newest);

// The three output forms of a device list. Table and CSV show the "change" and
// "changed_fields" columns when withChange is set.
std::string FormatTable(const Json& devices, bool withChange);
std::string FormatCsv(const Json& devices, bool withChange);

}  // namespace netsonde::cli
