// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The game the user picked in the games grid: its file name and its folder
// under Games ("" for the Games folder itself). Kept as a value beside the
// grid, so that what is shown in a text box is never read back as data.
struct GameSelection {
    QString folder;
    QString file;

    bool isEmpty() const { return file.isEmpty(); }
};
