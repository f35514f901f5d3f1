// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <functional>

// Packs recorded games into one zip archive to pass on: each game with its
// log when one lies beside it, and each user folder of Games as a folder of
// the zip (the games of Games itself at the top).
namespace GamesZipExport {

struct Game {
    QString folder; // under Games; "" for Games itself
    QString file;
};

struct Result {
    bool written = false;
    bool cancelled = false; // stopped by the user: nothing was written
    int games = 0;
    int logs = 0;
    QString error; // for the user, when not written
};

// How far the writing is, in games (about, as the archive is written);
// returning false stops it.
using Progress = std::function<bool(int done, int total)>;

// Writes the archive through a temporary file that takes its name only once
// complete, so a failure or a stop leaves any file of that name as it was.
// Safe on any thread.
Result write(const QString& gamesRoot, const QList<Game>& games, const QString& archivePath,
             const Progress& progress = {});

// The archive's name for the one given: ".zip" added when it has no such end.
QString withZipExtension(const QString& path);

} // namespace GamesZipExport
