// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class UserPaths;

// The installation check: the program belongs in the game's User folder, and
// counts as installed there exactly when the game's probe picture loads.
namespace Installation {

// User folder + "graves/computer.bmp", found without regard to letter case.
QString probePath(const UserPaths& paths);

// The probe picture; a null image when it cannot be loaded.
QImage loadProbe(const UserPaths& paths);

// True when the game folder holds a file named exactly "WormKit.exe" (letter
// case included) among its "*.exe" files.
bool hasWormKit(const QString& gameFolder);

} // namespace Installation
