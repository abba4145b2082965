// Re-layout arithmetic of the Scan List window.
#include "discovery/scan_list_layout.h"

namespace netsonde {

namespace {
constexpr int kButtonLeftFromRight = 85;
constexpr int kButtonRightFromRight = 10;
constexpr int kButtonTopFromBottom = 35;
constexpr int kButtonBottomFromBottom = 12;
constexpr int kListRightFromRight = 113;
constexpr int kListBottomFromBottom = 76;
}  // namespace

ControlRect ResizedControlRect(ResizeAnchor anchor, const ControlRect& current, int cx, int cy) {
    ControlRect rect = current;
    const bool followsRight =
        anchor == ResizeAnchor::RightButton || anchor == ResizeAnchor::CancelButton;
    const bool followsBottom =
        anchor == ResizeAnchor::CancelButton || anchor == ResizeAnchor::AboutButton;
    if (followsRight) {
        rect.left = cx - kButtonLeftFromRight;
        rect.right = cx - kButtonRightFromRight;
    }
    if (followsBottom) {
        rect.top = cy - kButtonTopFromBottom;
        rect.bottom = cy - kButtonBottomFromBottom;
    }
    if (anchor == ResizeAnchor::DeviceList) {
        rect.right = cx - kListRightFromRight;
        rect.bottom = cy - kListBottomFromBottom;
    }
    return rect;
}

}  // namespace netsonde
