// How the Scan List window's controls follow its right and bottom edges when it is resized,
// the smallest size the window can be dragged to, and how these pixel figures and the list's
// column widths grow with the screen's DPI.
#pragma once

namespace netsonde {

// Every pixel figure of the window is given for 96 DPI (100 %) and scaled to the window's DPI.
constexpr int kBaseDpi = 96;

// A 96-DPI pixel figure at `dpi`, rounded to the nearest pixel (as MulDiv rounds). An unknown
// DPI (0 or less) leaves the figure as it is.
int ScaleForDpi(int pixels, int dpi);
// A width set at `fromDpi` (perhaps dragged by the user) carried over to `toDpi`.
int RescaleForDpi(int pixels, int fromDpi, int toDpi);

// The whole window, frame and caption included, in pixels at 96 DPI.
constexpr int kScanListMinTrackWidth = 400;
constexpr int kScanListMinTrackHeight = 250;

// A control's rectangle in the window's client coordinates, in pixels: left and top
// inclusive, right and bottom exclusive.
struct ControlRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ControlRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// Which edges a control follows (figures at 96 DPI).
enum class ResizeAnchor {
    RightButton,   // Rescan, Change, Web Config, Select Adapter: 75 px wide, 10 px from the right
    CancelButton,  // bottom right corner: as RightButton, and 23 px high, 12 px from the bottom
    AboutButton,   // bottom left corner: keeps its columns, 23 px high, 12 px from the bottom
    DeviceList,    // keeps its top left corner; 113 px short of the right, 76 of the bottom
};

// The control's new rectangle for a client area of cx × cy pixels on a window at `dpi`. No
// clamping: a client area too small for the layout gives empty or inverted rectangles, as
// computed.
ControlRect ResizedControlRect(ResizeAnchor anchor, const ControlRect& current, int cx, int cy,
                               int dpi = kBaseDpi);

}  // namespace netsonde
