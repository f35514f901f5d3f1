#include "games/core/GamesTree.h"

#include "common/core/PathCase.h"

#include <QDirIterator>
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
    for (const QString& folder : userFolders(gamesRoot))
        out << listFolder(gamesRoot, folder);
    return out;
}

} // namespace GamesTree
