// List-view messages behind the device list's rows.
#include "discovery/list_view_rows_win.h"

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

}  // namespace netsonde
