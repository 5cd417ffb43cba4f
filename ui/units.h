// SPDX-License-Identifier: MIT
// Twips, the unit of the windows' layout and of the rules: 1/1440 inch, so 15 twips to a
// pixel at 96 dots per inch, the desktop's own scale.
#pragma once

#include "numeric.h"

namespace velmora::ui {

inline constexpr int twipsPerInch = 1440;
inline constexpr int twipsPerPixel = 15;

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

// The button value the rules' mouse handlers take: 1 left, 2 right, 4 middle, added up
// when several are held.
constexpr Integer buttonValue(bool left, bool right, bool middle) {
    return static_cast<Integer>((left ? 1 : 0) + (right ? 2 : 0) + (middle ? 4 : 0));
}

} // namespace velmora::ui
