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

// Every margin, offset and limit grows with the DPI, rounded to the nearest pixel; at 96 DPI
// the figures are exactly the unscaled ones. A width dragged at one DPI carries over to another.
TEST(ScanListLayoutTest, FiguresScaleWithDpi) {
    struct Case {
        int dpi;
        int buttonLeft, buttonRight, buttonTop, buttonBottom;  // from the right / bottom edge
        int listRight, listBottom;
        int minWidth, minHeight, widestColumn;
    };
    const Case cases[] = {
        {96, 85, 10, 35, 12, 113, 76, 400, 250, 252},
        {120, 106, 13, 44, 15, 141, 95, 500, 313, 315},  // 12.5 rounds up to 13
        {144, 128, 15, 53, 18, 170, 114, 600, 375, 378},
        {192, 170, 20, 70, 24, 226, 152, 800, 500, 504},
        {0, 85, 10, 35, 12, 113, 76, 400, 250, 252},  // unknown DPI: as at 96
    };
    const int cx = 2000, cy = 1200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const ControlRect cancel =
            ResizedControlRect(ResizeAnchor::CancelButton, kCancel, cx, cy, c.dpi);
        EXPECT_EQ(cancel, (ControlRect{cx - c.buttonLeft, cy - c.buttonTop, cx - c.buttonRight,
                                       cy - c.buttonBottom}));
        EXPECT_EQ(ResizedControlRect(ResizeAnchor::DeviceList, kList, cx, cy, c.dpi),
                  (ControlRect{kList.left, kList.top, cx - c.listRight, cy - c.listBottom}));
        EXPECT_EQ(ScaleForDpi(kScanListMinTrackWidth, c.dpi), c.minWidth);
        EXPECT_EQ(ScaleForDpi(kScanListMinTrackHeight, c.dpi), c.minHeight);
        EXPECT_EQ(ScaleForDpi(252, c.dpi), c.widestColumn);
    }
    EXPECT_EQ(RescaleForDpi(150, 144, 96), 100);
    EXPECT_EQ(RescaleForDpi(-15, 96, 144), -23) << "rounds half away from zero";
}

}  // namespace
}  // namespace netsonde
