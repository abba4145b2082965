// An in-memory device list for scan tests and the scan benchmark: rows of five texts and an
// item data, with a limit on how many rows it takes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "discovery/device_rows.h"

namespace netsonde {

class FakeDeviceRows : public DeviceRowList {
  public:
    struct Row {
        DeviceRowTexts texts;
        std::intptr_t data = -1;
    };

    int RowCount() const override { return static_cast<int>(rows.size()); }
    void DeleteAllRows() override { rows.clear(); }
    int InsertRow(int index, const std::string& text) override {
        if (RowCount() >= capacity || index < 0 || index > RowCount()) {
            return -1;
        }
        Row row;
        row.texts[0] = text;
        rows.insert(rows.begin() + index, row);
        return index;
    }
    void SetRowText(int row, int column, const std::string& text) override {
        rows.at(static_cast<std::size_t>(row)).texts.at(static_cast<std::size_t>(column)) = text;
    }
    void SetRowData(int row, std::intptr_t data) override {
        rows.at(static_cast<std::size_t>(row)).data = data;
    }

    // Reorders the rows by one column's text, as a header click does.
    void SortByColumn(int column) {
        std::stable_sort(rows.begin(), rows.end(), [column](const Row& a, const Row& b) {
            return a.texts[static_cast<std::size_t>(column)] <
                   b.texts[static_cast<std::size_t>(column)];
        });
    }

    std::vector<Row> rows;
    int capacity = 1 << 30;
};

}  // namespace netsonde
