// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>
#include <optional>

// The numbers that controls of the game tools' world use for mouse buttons,
// shift keys and mouse pointer shapes.
namespace MouseCodes {

// Buttons: 1 left, 2 right, 4 middle, added together.
int buttons(Qt::MouseButtons buttons);
// Shift state: 1 Shift, 2 Ctrl, 4 Alt, added together.
int shift(Qt::KeyboardModifiers modifiers);
// The cursor shape for a mouse pointer number (1 arrow, 2 cross, 3 I-beam,
// 4 icon, 5 size, 6 size NE-SW, 7 size N-S, 8 size NW-SE, 9 size W-E,
// 10 up arrow, 11 hourglass, 12 no drop, 13 arrow and hourglass, 14 arrow and
// question mark, 15 size all). Nothing for 0 (the default of the control) and
// for numbers without a shape, such as 99 (a custom icon).
std::optional<Qt::CursorShape> pointerShape(int pointer);

} // namespace MouseCodes
