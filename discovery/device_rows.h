// One list row per found device: the five texts a row shows for a device record, and the
// small row-list interface the scan writes through (the list view in the product, a fake in
// tests).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "protocol/device_record.h"

namespace netsonde {

// Columns of the device list, in display order.
enum DeviceColumn : int {
    kMacColumn = 0,
    kNameColumn = 1,
    kIpColumn = 2,
    kUptimeColumn = 3,
    kDescriptionColumn = 4,
};
constexpr int kDeviceColumnCount = 5;

using DeviceRowTexts = std::array<std::string, kDeviceColumnCount>;

// The row texts of a record: MAC text, system name, IP address text, uptime text and system
// description. Text fields are read up to their zero byte and never past their field.
DeviceRowTexts DeviceRowTextsOf(const DeviceRecord& record);

// The rows of the device list as the scan sees them.
class DeviceRowList {
  public:
    virtual ~DeviceRowList() = default;
    virtual int RowCount() const = 0;
    virtual void DeleteAllRows() = 0;
    // Inserts a row at index with text in column 0; returns the index the row landed at, or a
    // negative value when no row could be inserted.
    virtual int InsertRow(int index, const std::string& text) = 0;
    virtual void SetRowText(int row, int column, const std::string& text) = 0;
    // The one integer the list keeps with each row (its item data).
    virtual void SetRowData(int row, std::intptr_t data) = 0;
};

}  // namespace netsonde
