// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameSelection.h"
#include "games/core/ReplayStarter.h"

#include <QObject>
#include <QString>

struct GameInstall;
class Launcher;
class Prompter;

// Play Game, Play from… and Read log on the picked game: asks for the time to
// play from, starts the game through its ReplayStarter and says when it could
// not be started.
class GamePlayAction : public QObject {
    Q_OBJECT
public:
    GamePlayAction(Prompter& prompter, Launcher& launcher, QObject* parent = nullptr);

    // `folderPath` is the game's folder on this system.
    void play(ReplayStarter::Command command, const GameInstall& install, const QString& folderPath,
              const GameSelection& game);

Q_SIGNALS:
    // The game was started to write the log of the replay `file` in `folderPath`.
    void logRequested(const QString& folderPath, const QString& file);

private:
    Prompter& m_prompter;
    ReplayStarter* m_replays;
};
