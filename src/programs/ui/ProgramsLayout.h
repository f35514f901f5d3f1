// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Where the tools window's controls lie: the list on the left, the chosen
// tool's title, description, actions and picture on the right.
namespace ProgramsLayout {
constexpr QSize size(600, 400);
constexpr QRect heading(12, 6, 240, 34);
constexpr QRect list(12, 44, 240, 344);
constexpr int rightColumn = 264, rightWidth = 324;
constexpr QRect title(rightColumn, 44, rightWidth, 36);
constexpr QRect description(rightColumn, 86, rightWidth, 150);
constexpr QRect actions(rightColumn, 242, rightWidth, 48);
// The three actions side by side in their frame.
constexpr QRect action(int index)
{
    return QRect(8 + index * 106, 8, 96, 32);
}
constexpr QRect army(rightColumn, 296, rightWidth, 92);
} // namespace ProgramsLayout
