// List-view messages behind the device list's rows.
#include "discovery/list_view_rows_win.h"

#include "discovery/scan_list_layout.h"

namespace netsonde {

namespace {
// Longer than the longest row text (a 256-byte description field without a zero byte).
constexpr int kRowTextBufferSize = 512;
}  // namespace

int ListViewRows::RowCount() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

void ListViewRows::DeleteAllRows() {
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
}

int ListViewRows::InsertRow(int index, const std::string& text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(
        SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListViewRows::SetRowText(int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void ListViewRows::SetRowData(int row, std::intptr_t data) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::string ListViewRows::RowText(int row, int column) const {
    if (row < 0 || row >= RowCount()) {
        return std::string();
    }
    char buffer[kRowTextBufferSize] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(sizeof buffer);
    const LRESULT length = SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(&item));
    if (length <= 0) {
        return std::string();
    }
    // The control writes a terminated text of at most cchTextMax - 1 characters.
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
}

int ListViewRows::SelectionMarkRow() const {
    const int mark = static_cast<int>(SendMessageA(list_, LVM_GETSELECTIONMARK, 0, 0));
    return mark >= 0 && mark < RowCount() ? mark : -1;
}

std::string ListViewRows::ColumnHeading(int column) const {
    char buffer[kRowTextBufferSize] = {};
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT;
    info.pszText = buffer;
    info.cchTextMax = static_cast<int>(sizeof buffer);
    if (!SendMessageA(list_, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&info))) {
        return std::string();
    }
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
}

int ListViewRows::RowAtScreenPoint(POINT point) const {
    // The heading row lies inside the list's client area, over the rows' area: the hit test
    // may take a point there for a row, so such a point is on no row.
    HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
    RECT headings = {};
    if (header != nullptr && IsWindowVisible(header) && GetWindowRect(header, &headings) &&
        PtInRect(&headings, point)) {
        return -1;
    }
    LVHITTESTINFO hit = {};
    hit.pt = point;
    ScreenToClient(list_, &hit.pt);
    // The sub-item test finds a row by any of its columns, whatever the selection style.
    SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const bool onRow = (hit.flags & LVHT_ONITEM) != 0 && hit.iItem >= 0 && hit.iItem < RowCount();
    return onRow ? hit.iItem : -1;
}

void ListViewRows::SelectRow(int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageA(list_, LVM_SETSELECTIONMARK, 0, row);
}

void ListViewRows::InsertColumns(const ListColumn* columns, int count, int dpi) {
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = ScaleForDpi(columns[i].width, dpi);
        column.pszText = const_cast<char*>(columns[i].heading);
        column.iSubItem = i;
        SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
}

}  // namespace netsonde
