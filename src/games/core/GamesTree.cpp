// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamesTree.h"

#include "common/core/Parallel.h"
#include "common/core/PathCase.h"
#include "common/core/PlatformFiles.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <iterator>
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
    std::vector<GameFolderFiles> found(size_t(folders.size()) + 1);
    found[0] = listed(QString(), std::move(root));
    const QString home = QFileInfo(gamesRoot).canonicalFilePath();
    // Two folders are read at a time, one by a helper thread: reading a
    // folder waits on the disk and turns its names into text, and the two
    // halves of that overlap.
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        for (qsizetype i = next++; i < folders.size(); i = next++) {
            const QString& folder = folders.at(i);
            const QString path = folderPath(gamesRoot, folder);
            // A link back to Games itself: its games are those listed already.
            if (!home.isEmpty() && QFileInfo(path).canonicalFilePath() == home)
                found[size_t(i) + 1] = {folder, {}, PlatformFiles::readFolder(path, gameSuffix()).undecodable};
            else
                found[size_t(i) + 1] = listFolder(gamesRoot, folder);
        }
    };
    if (folders.size() > 1)
        Parallel::both(work, work);
    else
        work();
    return QList<GameFolderFiles>(std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
}

} // namespace GamesTree
