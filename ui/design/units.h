// SPDX-License-Identifier: MIT
// Twips, the unit of the windows' layout and of the rules: 1/1440 inch, so 15 twips to a
// pixel at 96 dots per inch, the desktop's own scale. Here too: how large a window is drawn
// on its screen, and where it stands there.
#pragma once

#include "numeric.h"

#include <algorithm>
#include <cmath>

namespace velmora::ui {

inline constexpr int twipsPerInch = 1440;
inline constexpr int twipsPerPixel = 15;
inline constexpr int standardPixelsPerInch = 96;

// A rectangle: a control's place in twips, or a window or screen area in pixels.
struct Rect {
    int Left, Top, Width, Height;
};

// A pointer position as the rules take it: twips, in single precision. A position beyond
// 2^24 twips either way (over a kilometre of screen), or none at all from a broken device
// or a made-up event, is nowhere near the paddle: it is clamped to that limit, and means
// just that to the rules.
inline float pointerTwips(double twips) {
    constexpr double limit = 16777216; // 2^24: single precision still holds every whole twip
    if (twips > limit) {
        return static_cast<float>(limit);
    }
    if (!(twips >= -limit)) { // NaN too
        return static_cast<float>(-limit);
    }
    return ToSingle(twips);
}

// The scale a window is drawn at: how many pixels (a front end's own: the screen's, or
// logical ones that the system scales again) make an inch. Twips become pixels and pixels
// twips by one multiplication and one division, so that 96 pixels an inch gives exactly
// 15 twips a pixel, and the pointer lands exactly where the shapes are drawn.
class Scale {
  public:
    constexpr explicit Scale(double pixelsPerInch = standardPixelsPerInch)
        : pixelsPerInch_(pixelsPerInch) {}

    constexpr double pixelsPerInch() const { return pixelsPerInch_; }
    // How much smaller or larger than at 96 pixels an inch.
    constexpr double factor() const { return pixelsPerInch_ / standardPixelsPerInch; }

    double pixels(double twips) const { return twips * pixelsPerInch_ / twipsPerInch; }
    // A length or place of the layout in whole pixels, the nearest.
    int wholePixels(double twips) const { return static_cast<int>(std::lround(pixels(twips))); }
    Rect wholePixels(const Rect& twips) const {
        const int left = wholePixels(twips.Left);
        const int top = wholePixels(twips.Top);
        return {left, top, wholePixels(twips.Left + twips.Width) - left,
                wholePixels(twips.Top + twips.Height) - top};
    }
    // A pointer position, in twips as the rules take it.
    float twips(double pixels) const {
        return pointerTwips(pixels * twipsPerInch / pixelsPerInch_);
    }

  private:
    double pixelsPerInch_;
};

// The scale a window is drawn at on its screen: the screen's own, or, where the whole
// window, its frame (title bar and borders, in pixels) included, would not fit the area the
// screen leaves to windows, the largest whole number of pixels an inch at which it does.
// Every control, font, shape and picture shrinks with it: the same window, only smaller.
inline Scale fittingScale(Scale screen, int clientWidthTwips, int clientHeightTwips, int frameWidth,
                          int frameHeight, int areaWidth, int areaHeight) {
    const double across =
        static_cast<double>(areaWidth - frameWidth) * twipsPerInch / clientWidthTwips;
    const double down =
        static_cast<double>(areaHeight - frameHeight) * twipsPerInch / clientHeightTwips;
    const double fits = std::floor(std::min(across, down));
    if (fits >= screen.pixelsPerInch()) {
        return screen;
    }
    return Scale(std::max(fits, 1.0)); // a screen too small for any scale: the smallest
}

// Where a window's frame of this size goes in the area: in the middle; one larger than the
// area keeps its top left corner, and so its title bar, inside it.
inline Rect centred(const Rect& area, int width, int height) {
    return {std::max(area.Left, area.Left + (area.Width - width) / 2),
            std::max(area.Top, area.Top + (area.Height - height) / 2), width, height};
}

// The button value the rules' mouse handlers take: 1 left, 2 right, 4 middle, added up
// when several are held.
constexpr Integer buttonValue(bool left, bool right, bool middle) {
    return static_cast<Integer>((left ? 1 : 0) + (right ? 2 : 0) + (middle ? 4 : 0));
}

} // namespace velmora::ui
