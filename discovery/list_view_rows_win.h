// The device list's rows as a list-view control in report view: the row-list interface the scan
// writes through, and reading a row's text back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "discovery/device_rows.h"

namespace netsonde {

// A column of a report-view list: its heading and its width in pixels at 96 DPI.
struct ListColumn {
    const char* heading;
    int width;
};

class ListViewRows : public DeviceRowList {
  public:
    explicit ListViewRows(HWND list = nullptr) : list_(list) {}
    void Attach(HWND list) { list_ = list; }
    HWND handle() const { return list_; }

    int RowCount() const override;
    void DeleteAllRows() override;
    int InsertRow(int index, const std::string& text) override;
    void SetRowText(int row, int column, const std::string& text) override;
    void SetRowData(int row, std::intptr_t data) override;

    // The row's text in column; empty when the row or column does not exist.
    std::string RowText(int row, int column) const;
    // The row holding the selection mark, or -1 when no existing row holds it.
    int SelectionMarkRow() const;
    // The heading text of column; empty when the column does not exist.
    std::string ColumnHeading(int column) const;
    // The row under a point in screen coordinates, in any of its columns; -1 for none.
    int RowAtScreenPoint(POINT point) const;
    // Inserts the columns, left-aligned, in order, with widths scaled to the DPI.
    void InsertColumns(const ListColumn* columns, int count, int dpi);
    // Makes row the selected and focused row and gives it the selection mark, as a click does.
    void SelectRow(int row);

  private:
    HWND list_;
};

}  // namespace netsonde
