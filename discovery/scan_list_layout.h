// How the Scan List window's controls follow its right and bottom edges when it is resized,
// and the smallest size the window can be dragged to.
#pragma once

namespace netsonde {

// The whole window, frame and caption included, in pixels.
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

// Which edges a control follows.
enum class ResizeAnchor {
    RightButton,   // Rescan, Change, Web Config, Select Adapter: 75 px wide, 10 px from the right
    CancelButton,  // bottom right corner: as RightButton, and 23 px high, 12 px from the bottom
    AboutButton,   // bottom left corner: keeps its columns, 23 px high, 12 px from the bottom
    DeviceList,    // keeps its top left corner; 113 px short of the right, 76 of the bottom
};

// The control's new rectangle for a client area of cx × cy pixels. No clamping: a client area
// too small for the layout gives empty or inverted rectangles, as computed.
ControlRect ResizedControlRect(ResizeAnchor anchor, const ControlRect& current, int cx, int cy);

}  // namespace netsonde
