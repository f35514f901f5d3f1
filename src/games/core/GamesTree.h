// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The recorded games of one folder of the Games tree.
struct GameFolderFiles {
    // The folder's name under Games; "" for the Games folder itself, which the
    // windows show as the folder "Default".
    QString folder;
    // The *.WAgame files of the folder (letter case ignored), in ascending name
    // order, which for names written by the game is the order of recording.
    QStringList names;
    // How many names in the folder (of games or not) cannot be shown, as
    // UnshownNames::count() counts them.
    int unshown = 0;
};

// The Games folder holds recorded games itself and in one level of user
// folders. These functions list them from the disk.
namespace GamesTree {

// How the windows show the Games folder itself.
QString defaultFolderName();

// The games of `folder` ("" for the Games folder itself) under `gamesRoot`,
// from one reading of the folder.
GameFolderFiles listFolder(const QString& gamesRoot, const QString& folder);

// The games of the Games folder itself and then of each user folder in turn,
// one reading per folder, two folders at a time (one by a helper thread that
// ends before this returns); safe to run off the GUI thread.
// A user folder that is a link back to the Games folder is listed once, with
// no games: they are the Games folder's own, listed first.
QList<GameFolderFiles> walk(const QString& gamesRoot);

// The folder path of `folder` under `gamesRoot` ("" is the root itself).
QString folderPath(const QString& gamesRoot, const QString& folder);

} // namespace GamesTree
