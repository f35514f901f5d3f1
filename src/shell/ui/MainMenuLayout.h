// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Where the main menu's controls lie: the army picture on the left, the
// menu choices on the right with the launch entries along the top edge and My
// Schemes on the bottom edge; the warning frame covers the choices.
namespace MainMenuLayout {
constexpr int width = 608, height = 272;
constexpr QSize size(width, height);
constexpr QRect army(4, 20, 228, 248);
constexpr int choicesLeft = 240, choicesWidth = 361;

// The entries of the top edge.
constexpr int topEntryHeight = 16;
constexpr QRect playGame(choicesLeft, 0, 80, topEntryHeight);
constexpr QRect wormKit(choicesLeft + 88, 0, 80, topEntryHeight);
constexpr QRect switchGame(choicesLeft + 176, 0, 116, topEntryHeight);
constexpr QRect about(width - 68, 0, 64, topEntryHeight);
// My Schemes, in the middle of the bottom edge.
constexpr QRect schemes(choicesLeft + (choicesWidth - 116) / 2, height - 18, 116, topEntryHeight);

constexpr QRect startCaption(choicesLeft, 22, choicesWidth, 40);
// The managers' entries one below the other (maps, games, sounds, tools).
constexpr QRect manager(int index)
{
    return QRect(choicesLeft, 70 + index * 46, choicesWidth, 42);
}
constexpr QRect warning(choicesLeft, 40, choicesWidth, 233);
} // namespace MainMenuLayout
