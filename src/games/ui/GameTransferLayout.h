// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Where the transfer window's controls lie: the folder navigator on the left
// with Transfer under it, the picture, the folder links and Cancel on the
// right.
namespace GameTransferLayout {
constexpr QSize size(430, 360);
constexpr int leftColumn = 10, leftWidth = 260;
constexpr int rightColumn = 282, rightWidth = 138;
constexpr QRect caption(leftColumn, 8, leftWidth, 22);
constexpr QRect navigator(leftColumn, 34, leftWidth, 262);
constexpr QRect picture(rightColumn, 34, rightWidth, 130);
constexpr QRect createFolder(rightColumn, 174, rightWidth, 24);
constexpr QRect removeFolder(rightColumn, 204, rightWidth, 24);
constexpr QRect transferring(rightColumn, 240, rightWidth, 24);
constexpr QRect transfer(leftColumn, 310, leftWidth, 36);
constexpr QRect cancel(rightColumn, 310, rightWidth, 36);
} // namespace GameTransferLayout
