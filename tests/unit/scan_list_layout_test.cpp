// Where the Scan List window's controls go when the window is resized.
#include "discovery/scan_list_layout.h"

#include <gtest/gtest.h>

namespace netsonde {

// Found by GoogleTest through the rectangle's namespace when an expectation fails.
void PrintTo(const ControlRect& r, std::ostream* out) {
    *out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

// Template positions at 1.5 px per horizontal and about 1.6 px per vertical dialog unit.
const ControlRect kRescan{771, 86, 846, 109};
const ControlRect kCancel{771, 267, 846, 290};
const ControlRect kAbout{22, 267, 97, 290};
const ControlRect kList{22, 91, 714, 205};

TEST(ScanListLayoutTest, ControlsFollowRightAndBottomEdges) {
    struct Case {
        const char* size;
        int cx, cy;
        ControlRect rescan, cancel, about, list;
    };
    const Case cases[] = {
        {"template size",
         856,
         301,  //
         {771, 86, 846, 109},
         {771, 266, 846, 289},
         {22, 266, 97, 289},
         {22, 91, 743, 225}},
        {"minimum 400x250 window",
         384,
         212,  //
         {299, 86, 374, 109},
         {299, 177, 374, 200},
         {22, 177, 97, 200},
         {22, 91, 271, 136}},
        {"maximised",
         1920,
         1017,  //
         {1835, 86, 1910, 109},
         {1835, 982, 1910, 1005},
         {22, 982, 97, 1005},
         {22, 91, 1807, 941}},
        {"smaller than the layout: no clamping",
         100,
         80,  //
         {15, 86, 90, 109},
         {15, 45, 90, 68},
         {22, 45, 97, 68},
         {22, 91, -13, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(ResizedControlRect(ResizeAnchor::RightButton, kRescan, c.cx, c.cy), c.rescan);
        EXPECT_EQ(ResizedControlRect(ResizeAnchor::CancelButton, kCancel, c.cx, c.cy), c.cancel);
        EXPECT_EQ(ResizedControlRect(ResizeAnchor::AboutButton, kAbout, c.cx, c.cy), c.about);
        EXPECT_EQ(ResizedControlRect(ResizeAnchor::DeviceList, kList, c.cx, c.cy), c.list);
    }
}

}  // namespace
}  // namespace netsonde
