// A scan as data: the document a scan prints and saves (JSON and CSV), its devices in the key
// order every format uses, the comparison with an earlier saved scan, and the orders a listing
// can take. Plain structs and the standard library only: both programs write it.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "commission/found_devices.h"
#include "commission/json_writer.h"

namespace netsonde::commission {

// The keys of a device, in the order of JSON objects and CSV columns.
extern const std::vector<std::string> kDeviceKeys;
// Added by a comparison with an earlier scan.
constexpr const char* kChangeKey = "change";
constexpr const char* kChangedFieldsKey = "changed_fields";

// One device, a member per key of kDeviceKeys, in that order.
struct DeviceEntry {
    std::string mac, name, ip, mask, gateway, tftp, image;
    // "static", "dynamic", or (typeIsNumber) the stored value's digits, written as a number.
    std::string type;
    bool typeIsNumber = false;
    std::uint64_t uptimeSeconds = 0;
    std::string uptime;
    std::string description;
    std::vector<std::string> adapters;
    // The conflicts this device is part of, in this order: "ip" (another device of the scan
    // reports the same IP address, 0.0.0.0 aside), "mac" (its MAC answered with records that
    // differ in more than the uptime).
    std::vector<std::string> conflicts;
    // Set by CompareWithEarlier: new, changed, same or gone, and the keys that differ.
    std::optional<std::string> change;
    std::vector<std::string> changedFields;
};

struct DocumentAdapter {
    std::string address;
    std::string interface;
};

struct ScanDocument {
    std::string scannedAt;  // IsoUtc form
    std::vector<DocumentAdapter> adapters;
    bool truncated = false;  // more devices answered than a scan keeps (kMaxScanDevices)
    std::vector<DeviceEntry> devices;
};

// Record text bytes (single-byte characters) read as Latin-1 and written as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);
// The way back, for texts typed as UTF-8: false when the text holds a character beyond U+00FF
// or is not UTF-8.
bool Utf8ToLatin1(std::string_view utf8, std::string* bytes);

// "2026-12-08T23:50:00Z".
std::string IsoUtc(std::time_t when);

// One device as the document lists it, with its "mac" conflict. The password field is never
// read.
DeviceEntry MakeDeviceEntry(const FoundDevice& device);

// The devices in the order they were heard, with their conflicts.
ScanDocument MakeScanDocument(const std::vector<DocumentAdapter>& adapters,
                              const FoundDevices& devices, std::time_t scannedAt);

// The devices a window lists (each record as the window holds it, one a device, all heard on
// `adapter`) as a scan of that adapter saves them: in MAC order. An adapter without an address
// (the window binds to any) lists no adapter.
ScanDocument ListDocument(const std::vector<DeviceRecord>& records, const DocumentAdapter& adapter,
                          std::time_t scannedAt);

// {"version": 1, "scanned_at", "adapters": [{"address", "interface"}], "truncated",
// "devices": [...]}, with a closing line break.
std::string ScanJson(const ScanDocument& document);
// The same text written to out a device at a time, never held whole: a scan of many devices.
void WriteScanJson(const ScanDocument& document, std::ostream& out);

// [{"address", "interface"}, ...], as a scan lists its adapters.
void WriteAdapters(const std::vector<DocumentAdapter>& adapters, JsonWriter* json);

// A key's value as one cell of a table or CSV row (a list joined by spaces).
std::string CellText(const DeviceEntry& device, const std::string& key);

// Each current device gets "change" (new, changed or same) and "changed_fields" (the keys that
// differ from the earlier scan, uptime_s and uptime never counted); devices of the earlier scan
// not heard now follow with their last values: "gone" when this scan listened on an adapter
// they were heard on, "not scanned" when it listened on none of them (an adapter not asked
// for, or whose socket failed). `listened`: the local addresses this scan heard on; nullptr:
// every one.
std::vector<DeviceEntry> CompareWithEarlier(const std::vector<DeviceEntry>& currentDevices,
                                            const std::vector<DeviceEntry>& earlierDevices,
                                            const std::vector<std::string>* listened = nullptr);

// By MAC; with newest, by uptime_s, lowest first. Gone devices come last either way.
void OrderDevices(std::vector<DeviceEntry>* devices, bool newest);

// The CSV form of a device list: a header of the keys, then a row per device. With withChange,
// the "change" and "changed_fields" columns follow.
std::string FormatCsv(const std::vector<DeviceEntry>& devices, bool withChange);
// The same text written to out a row at a time.
void WriteCsv(const std::vector<DeviceEntry>& devices, bool withChange, std::ostream& out);

}  // namespace netsonde::commission
