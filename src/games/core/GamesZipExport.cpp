// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamesZipExport.h"

#include "common/core/PathCase.h"
#include "common/core/ZipWriter.h"
#include "games/core/GameFileActions.h"
#include "games/core/GamesTree.h"

#include <QFileInfo>
#include <QHash>

namespace GamesZipExport {

QString withZipExtension(const QString& path)
{
    return path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".zip");
}

Result write(const QString& gamesRoot, const QList<Game>& games, const QString& archivePath, const Progress& progress)
{
    Result result;
    if (games.isEmpty()) {
        result.error = QStringLiteral("There is no game to export.");
        return result;
    }
    ZipWriter zip(archivePath);
    // Each folder is listed once to find the games' logs whatever their
    // letter case: thousands of games of one folder, each looked up by a
    // listing of its own, took minutes.
    QHash<QString, PathCase::FolderIndex> folders;
    for (const Game& game : games) {
        const QString folderPath = GamesTree::folderPath(gamesRoot, game.folder);
        const QString prefix = game.folder.isEmpty() ? QString() : game.folder + QLatin1Char('/');
        const QString source = PathCase::join(folderPath, game.file);
        if (!QFileInfo(source).isFile()) {
            result.error = game.file + QStringLiteral(" is no longer in the folder ") +
                           (game.folder.isEmpty() ? GamesTree::defaultFolderName() : game.folder) +
                           QStringLiteral(", so nothing was exported.");
            return result;
        }
        if (!zip.addFile(prefix + game.file, source)) {
            result.error = QStringLiteral("%1 cannot go into a zip archive: %2").arg(game.file, zip.errorString());
            return result;
        }
        ++result.games;
        auto index = folders.find(folderPath);
        if (index == folders.end())
            index = folders.insert(folderPath, PathCase::FolderIndex(folderPath));
        const QString log = GameFileActions::logOf(*index, folderPath, game.file);
        if (!log.isEmpty()) {
            if (!zip.addFile(prefix + QFileInfo(log).fileName(), log)) {
                result.error =
                    QStringLiteral("The log of %1 cannot go into a zip archive: %2").arg(game.file, zip.errorString());
                return result;
            }
            ++result.logs;
        }
    }
    if (progress) {
        const int total = int(games.size());
        zip.setProgress([&progress, total](double written) { return progress(qRound(written * total), total); });
    }
    if (!zip.commit()) {
        result.cancelled = zip.wasCancelled();
        result.error = zip.errorString();
        return result;
    }
    result.written = true;
    return result;
}

} // namespace GamesZipExport
