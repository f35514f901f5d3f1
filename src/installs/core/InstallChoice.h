// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "installs/core/InstallFinder.h"

#include <QList>
#include <optional>

class QSettings;
class QTextStream;

// Which copy of the game the program opens on. The program's own User folder
// always wins; then the copy the user chose last time, while its User folder
// still exists; then the only copy found. With none or several, the user
// chooses, and that choice is remembered in the settings.
namespace InstallChoice {

// The copy chosen last time, while its User folder still exists.
std::optional<GameInstall> remembered(const QSettings& settings);
void remember(QSettings& settings, const GameInstall& install);

// The finder's setup with the folder chosen last time among the chosen
// folders, so that the finder lists it (as kind `folder`) when it still exists.
FinderSetup withRemembered(FinderSetup setup, const QSettings& settings);

// The copy that needs no search: the program's own User folder, or else the
// one remembered while its folder exists.
std::optional<GameInstall> withoutSearch(const FinderSetup& setup, const QSettings& settings);

struct Outcome {
    GameInstall install;        // valid when no choice is needed
    QList<GameInstall> offered; // otherwise: what the user chooses from
    QString placesLooked;       // where the finder looked
};
// withoutSearch(), or else what the finder finds (on the calling thread:
// the start-up runs the same steps with the search on a thread of its own).
Outcome decide(const FinderSetup& setup, const QSettings& settings);

// The copy that the User folder `userFolder` (named on the command line or
// chosen by the user) belongs to, so that it is started the way that copy
// needs: a copy in `found` with the same game folder (links resolved); else a
// Steam copy when the game folder lies in a Steam library's
// steamapps/common; else a Wine copy of the prefix holding it; else a copy
// of kind `otherwise`.
GameInstall classify(const QString& userFolder, const QList<GameInstall>& found,
                     GameInstall::Kind otherwise = GameInstall::Kind::Folder);

// `--list-installs`: one line per copy found, its kind word, a tab and its
// User folder; with none, nothing on `out` and where it looked on `err`.
// Returns the exit code.
int listCommand(const FinderSetup& setup, QTextStream& out, QTextStream& err);

} // namespace InstallChoice
