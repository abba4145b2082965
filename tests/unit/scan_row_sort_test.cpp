// The header-click sort order: byte-wise text order of the clicked column, numbers included.
#include "discovery/row_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace netsonde {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(RowSortTest, CompareRowTextsIsByteWise) {
    struct Case {
        const char* left;
        const char* right;
        int sign;
    };
    const Case cases[] = {
        {"10.0.0.10", "10.0.0.9", -1},
        {"10 d 0 h 0 m 0 s", "2 d 0 h 0 m 0 s", -1},
        {"Switch", "switch", -1},  // case-sensitive: uppercase first
        {"02-1f-00-0a-b3-7c", "02-1f-00-0a-b3-7c", 0},
        {"", "a", -1},
        {"abc", "ab", 1},
        {"\xe9t\xe9", "zz", 1},  // bytes above 127 compare as unsigned
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareRowTexts(c.left, c.right)), c.sign) << c.left << " vs " << c.right;
        EXPECT_EQ(Sign(CompareRowTexts(c.right, c.left)), -c.sign) << c.right << " vs " << c.left;
    }
}

TEST(RowSortTest, SnapshotOrdersRowsByTheirTextsAtTheClick) {
    RowTextSnapshot snapshot({"10.0.0.9", "10.0.0.10", "192.168.1.2", "10.0.0.10"});
    std::vector<std::intptr_t> rows = {0, 1, 2, 3};
    std::stable_sort(rows.begin(), rows.end(), [&snapshot](std::intptr_t a, std::intptr_t b) {
        return snapshot.Compare(a, b) < 0;
    });
    EXPECT_EQ(rows, (std::vector<std::intptr_t>{1, 3, 0, 2}));

    // Sorting the sorted order again changes nothing.
    std::vector<std::intptr_t> again = rows;
    std::stable_sort(again.begin(), again.end(), [&snapshot](std::intptr_t a, std::intptr_t b) {
        return snapshot.Compare(a, b) < 0;
    });
    EXPECT_EQ(again, rows);
}

TEST(RowSortTest, ItemDataOutsideTheSnapshotCountsAsEmpty) {
    RowTextSnapshot snapshot({"b"});
    EXPECT_LT(snapshot.Compare(-1, 0), 0);
    EXPECT_GT(snapshot.Compare(0, 7), 0);
    EXPECT_EQ(snapshot.Compare(5, -3), 0);
}

}  // namespace
}  // namespace netsonde
