// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamesTree.h"

#include "common/core/PathCase.h"
#include "common/core/PlatformFiles.h"

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

namespace {

const QString& gameSuffix()
{
    static const QString suffix = QStringLiteral(".WAgame");
    return suffix;
}

GameFolderFiles listed(const QString& folder, PlatformFiles::FolderEntries&& entries)
{
    PathCase::sortIgnoringCase(entries.files);
    return {folder, std::move(entries.files), entries.undecodable};
}

} // namespace

GameFolderFiles listFolder(const QString& gamesRoot, const QString& folder)
{
    return listed(folder, PlatformFiles::readFolder(folderPath(gamesRoot, folder), gameSuffix()));
}

QList<GameFolderFiles> walk(const QString& gamesRoot)
{
    PlatformFiles::FolderEntries root = PlatformFiles::readFolder(gamesRoot, gameSuffix());
    QStringList folders = std::move(root.folders);
    PathCase::sortIgnoringCase(folders);
    QList<GameFolderFiles> out;
    out.reserve(folders.size() + 1);
    out << listed(QString(), std::move(root));
    const QString home = QFileInfo(gamesRoot).canonicalFilePath();
    for (const QString& folder : std::as_const(folders)) {
        const QString path = folderPath(gamesRoot, folder);
        // A link back to Games itself: its games are those listed already.
        if (!home.isEmpty() && QFileInfo(path).canonicalFilePath() == home)
            out << GameFolderFiles{folder, {}, PlatformFiles::readFolder(path, gameSuffix()).undecodable};
        else
            out << listFolder(gamesRoot, folder);
    }
    return out;
}

} // namespace GamesTree
