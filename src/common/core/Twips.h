// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// The windows were drawn in twips: 15 twips make one pixel at 100 % scale.
// Every conversion of the program goes through here, with one rounding rule.
namespace Twips {

constexpr int perPixel = 15;

// Twips to pixels, to the nearest pixel (15 is odd: no twips lie halfway).
constexpr int px(int twips)
{
    constexpr int half = perPixel / 2;
    return twips >= 0 ? (twips + half) / perPixel : -((half - twips) / perPixel);
}

// A rectangle drawn in twips, in pixels.
constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Pixels to twips, for coordinates handed on in twips.
constexpr float fromPixels(qreal pixels)
{
    return float(pixels * perPixel);
}

} // namespace Twips
