// Ordering of list rows for the header-click sort.
#include "discovery/row_sort.h"

#include <cstring>

namespace netsonde {

int SortColumn = 0;

int CompareRowTexts(const std::string& left, const std::string& right) {
    return std::strcmp(left.c_str(), right.c_str());
}

int RowTextSnapshot::Compare(std::intptr_t left, std::intptr_t right) const {
    return CompareRowTexts(TextOf(left), TextOf(right));
}

const std::string& RowTextSnapshot::TextOf(std::intptr_t data) const {
    static const std::string kEmpty;
    if (data < 0 || static_cast<std::size_t>(data) >= texts_.size()) {
        return kEmpty;
    }
    return texts_[static_cast<std::size_t>(data)];
}

}  // namespace netsonde
