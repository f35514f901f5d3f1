#include "games/core/GamesTree.h"

#include "common/core/PathCase.h"

#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace GamesTree {

QString defaultFolderName()
{
    return QStringLiteral("Default");
}

QString folderPath(const QString& gamesRoot, const QString& folder)
{
    return folder.isEmpty() ? gamesRoot : PathCase::join(gamesRoot, folder);
}

GameFolderFiles listFolder(const QString& gamesRoot, const QString& folder)
{
    static const QStringList pattern{QStringLiteral("*.WAgame")};
    return {folder, PathCase::files(folderPath(gamesRoot, folder), pattern, PathCase::Order::IgnoreCase)};
}

QStringList userFolders(const QString& gamesRoot)
{
    return PathCase::folders(gamesRoot, PathCase::Order::IgnoreCase);
}

QList<GameFolderFiles> walk(const QString& gamesRoot)
{
    QList<GameFolderFiles> out;
    out << listFolder(gamesRoot, QString());
    const QString home = QFileInfo(gamesRoot).canonicalFilePath();
    for (const QString& folder : userFolders(gamesRoot)) {
        // A link back to Games itself: its games are those listed already.
        if (!home.isEmpty() && QFileInfo(folderPath(gamesRoot, folder)).canonicalFilePath() == home)
            out << GameFolderFiles{folder, {}};
        else
            out << listFolder(gamesRoot, folder);
    }
    return out;
}

} // namespace GamesTree
