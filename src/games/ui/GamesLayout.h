// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Twips.h"

#include <QRect>
#include <QSize>

// Where the window's controls lie. The panel along the top stays where it is;
// the grid, the search row above it and the details below it follow the
// window's size.
namespace GamesLayout {
// The grid takes the window's width less 150 twips and its height less 2250.
constexpr int gridWidthMargin = Twips::px(150);
constexpr int gridHeightMargin = Twips::px(2250);
constexpr int gridLeft = gridWidthMargin / 2;
constexpr int gridTop = gridHeightMargin - 5;
// The details of the selected game lie under the grid.
constexpr int detailsHeight = 200;
constexpr int detailsGap = 6;

constexpr QSize minimumSize(800, 360 + detailsHeight + detailsGap);
constexpr QSize startSize(800, 560 + detailsHeight + detailsGap);

// The row along the top: the control panel with its six buttons, the folders
// with Go, the army picture, and the date format and selected game.
constexpr int panelTop = 26;
constexpr QRect controlPanel(gridLeft, panelTop, 372, 88);
constexpr QRect controlCaption(6, 3, 200, 16); // in the control panel
constexpr QRect controlButton(int column, int row)
{
    return QRect(6 + column * 120, 24 + row * 30, 116, 24);
}
constexpr QRect foldersCaption(384, panelTop, 120, 16);
constexpr QRect folderPick(384, panelTop + 16, 120, 72);
constexpr QRect go(508, panelTop + 16, 34, 72);
constexpr QRect army(546, panelTop, 70, 88);
constexpr int rightColumn = 620;
constexpr QRect dateCaption(rightColumn, panelTop, 174, 16);
constexpr QRect dateChooser(rightColumn, panelTop + 16, 174, 22);
constexpr int dateListWidth = 240; // the chooser's drop-down list, at least
constexpr QRect selectedFile(rightColumn, panelTop + 42, 174, 20);
constexpr QRect selectedFolder(rightColumn, panelTop + 66, 174, 20);
constexpr QRect warning(gridLeft, panelTop + 90, 190, 28);

// The populating text, until the first resize lays it over the whole window.
constexpr QRect populating(0, 0, 10, 10);

// The SORT labels stand over their columns' headers, just above the grid
// (placeSortLabels() moves them there).
constexpr QRect sortLabel(0, 0, 48, 18);
constexpr int sortLabelAboveGrid = 2;

constexpr QRect grid(QSize window)
{
    return QRect(gridLeft, gridTop, window.width() - gridWidthMargin,
                 window.height() - gridHeightMargin - detailsHeight - detailsGap);
}
constexpr QRect details(const QRect& gridRect)
{
    return QRect(gridRect.x(), gridRect.y() + gridRect.height() + detailsGap, gridRect.width(), detailsHeight);
}
// The search box fills the width the count beside it leaves.
constexpr int searchLeft = 420;
constexpr int searchCountWidth = 130;
constexpr QRect search(QSize window)
{
    return QRect(searchLeft, gridTop - 22, qMax(120, window.width() - searchLeft - searchCountWidth - gridLeft), 20);
}
constexpr QRect searchCount(const QRect& searchBox)
{
    return QRect(searchBox.right() + 6, searchBox.y(), searchCountWidth, 20);
}
} // namespace GamesLayout
