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

int RescaleForDpi(int pixels, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || toDpi <= 0) {
        return pixels;
    }
    // Rounded half away from zero, in 64 bits so no window size overflows.
    const long long product = static_cast<long long>(pixels) * toDpi;
    const long long half = fromDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / fromDpi
                                         : -((-product + half) / fromDpi));
}

int ScaleForDpi(int pixels, int dpi) {
    return RescaleForDpi(pixels, kBaseDpi, dpi);
}

ControlRect ResizedControlRect(ResizeAnchor anchor, const ControlRect& current, int cx, int cy,
                               int dpi) {
    const auto px = [dpi](int figure) { return ScaleForDpi(figure, dpi); };
    ControlRect rect = current;
    const bool followsRight =
        anchor == ResizeAnchor::RightButton || anchor == ResizeAnchor::CancelButton;
    const bool followsBottom =
        anchor == ResizeAnchor::CancelButton || anchor == ResizeAnchor::AboutButton;
    if (followsRight) {
        rect.left = cx - px(kButtonLeftFromRight);
        rect.right = cx - px(kButtonRightFromRight);
    }
    if (followsBottom) {
        rect.top = cy - px(kButtonTopFromBottom);
        rect.bottom = cy - px(kButtonBottomFromBottom);
    }
    if (anchor == ResizeAnchor::DeviceList) {
        rect.right = cx - px(kListRightFromRight);
        rect.bottom = cy - px(kListBottomFromBottom);
    }
    return rect;
}

}  // namespace netsonde
