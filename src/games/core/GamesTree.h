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
};

// The Games folder holds recorded games itself and in one level of user
// folders. These functions list them from the disk.
namespace GamesTree {

// How the windows show the Games folder itself.
QString defaultFolderName();

// The games of `folder` ("" for the Games folder itself) under `gamesRoot`.
GameFolderFiles listFolder(const QString& gamesRoot, const QString& folder);

// The user folders of `gamesRoot` in the order the folder navigator lists
// them (letter case ignored).
QStringList userFolders(const QString& gamesRoot);

// The games of the Games folder itself and then of each user folder in turn.
// A user folder that is a link back to the Games folder is listed once, with
// no games: they are the Games folder's own, listed first.
QList<GameFolderFiles> walk(const QString& gamesRoot);

// The folder path of `folder` under `gamesRoot` ("" is the root itself).
QString folderPath(const QString& gamesRoot, const QString& folder);

} // namespace GamesTree
