// Save List As; see save_list_win.h.
#include "discovery/save_list_win.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <string>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/adapter_tables_win.h"
#include "adapter/selected_adapter.h"
#include "app/save_file_win.h"
#include "commission/scan_document.h"
#include "discovery/device_rows.h"
#include "discovery/device_table.h"
#include "discovery/scan_devices.h"

namespace netsonde {

namespace {

constexpr char kFilter[] = "CSV (*.csv)\0*.csv\0JSON (*.json)\0*.json\0";
constexpr DWORD kCsvFilter = 1;

// The chosen adapter with its interface as the adapter tables describe it (netsonde-cli names
// it the same way); no adapter when the window binds to any address.
commission::DocumentAdapter ChosenAdapter() {
    commission::DocumentAdapter adapter;
    adapter.address = SelectedAdapterAddress();
    AdapterTables tables;
    if (!adapter.address.empty() && ReadAdapterTables(&tables)) {
        for (const UsableAddress& usable :
             ListUsableAddresses(tables.interfaces, tables.addresses)) {
            if (usable.address == adapter.address) {
                adapter.interface = usable.interfaceDescription;
                break;
            }
        }
    }
    return adapter;
}

// The records the list's rows show, each as the window holds it.
std::vector<DeviceRecord> ListedRecords(const ListViewRows& rows) {
    std::vector<DeviceRecord> records;
    for (int row = 0; row < rows.RowCount(); ++row) {
        int index = -1;
        if (MacIndex.Lookup(rows.RowText(row, kMacColumn), &index) && index >= 0 &&
            static_cast<std::size_t>(index) < kMaxDevices) {
            records.push_back(DeviceTable[static_cast<std::size_t>(index)]);
        }
    }
    return records;
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

void SaveListAs(HWND owner, const ListViewRows& rows) {
    std::string name;
    DWORD filterIndex = 0;
    if (!AskSaveFileName(owner, "Save List As", kFilter, "csv", "", &name, &filterIndex)) {
        return;  // cancelled
    }
    // The name's own extension decides; a name without one takes the chosen file type's.
    const bool json = EndsWithNoCase(name, ".json") ||
                      (!EndsWithNoCase(name, ".csv") && filterIndex != kCsvFilter);

    const commission::ScanDocument document =
        commission::ListDocument(ListedRecords(rows), ChosenAdapter(), std::time(nullptr));
    WriteFileOrSay(
        name,
        json ? commission::ScanJson(document) : commission::FormatCsv(document.devices, false),
        "list");
}

}  // namespace netsonde
