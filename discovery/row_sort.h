// The header-click sort of the device list: rows ordered by the byte-wise comparison of their
// texts in the clicked column, taken as they stood when the heading was clicked.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace netsonde {

// The column whose heading was clicked last; kept for the program's life.
extern int SortColumn;

// strcmp of the two texts: negative, zero or positive. Every column sorts as text, so
// 10.0.0.10 comes before 10.0.0.9.
int CompareRowTexts(const std::string& left, const std::string& right);

// The sort column's texts of every row, indexed by the row's position at the click. The list
// is sorted with each row's item data set to that position, so the comparison never reads the
// list while it is being reordered.
class RowTextSnapshot {
  public:
    explicit RowTextSnapshot(std::vector<std::string> texts) : texts_(std::move(texts)) {}
    // Compares the rows whose item data are left and right; data outside the snapshot counts
    // as an empty text.
    int Compare(std::intptr_t left, std::intptr_t right) const;

  private:
    const std::string& TextOf(std::intptr_t data) const;

    std::vector<std::string> texts_;
};

}  // namespace netsonde
