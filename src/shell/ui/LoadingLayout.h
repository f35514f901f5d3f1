// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Where the loading window's parts lie: a frame, the caption and the picture.
namespace LoadingLayout {
constexpr QSize size(320, 240);
constexpr QRect frame(8, 8, 304, 224);
constexpr QRect caption(16, 16, 288, 36);
constexpr QRect army(16, 56, 288, 168);
} // namespace LoadingLayout
