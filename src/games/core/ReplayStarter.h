// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Launcher.h"
#include "installs/core/GameInstall.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class WindowsPathLookup;

// Starts the game on a recorded game, through the start the install in use
// needs: to watch it (from its beginning or from a given time), or to have the
// game write the replay's log beside it and quit. The game is a Windows
// program, so it is given the replay's Windows path (found in the install's
// Wine prefix).
class ReplayStarter : public QObject {
    Q_OBJECT
public:
    enum class Command { Play, PlayFrom, ReadLog, GetMap };

    explicit ReplayStarter(Launcher& launcher, QObject* parent = nullptr);

    // Starts the game on the replay at `replayPath` (a path of this system);
    // `time` is for PlayFrom, as checkedTime() gives it. `done` is called once
    // with the outcome, when the start has been tried.
    void start(const GameInstall& install, Command command, const QString& replayPath, const QString& time,
               std::function<void(Launcher::Result)> done);

    // The game's own arguments for a command on the replay `windowsPath`.
    static QStringList arguments(Command command, const QString& windowsPath, const QString& time = QString());

    // A time typed as m:ss or h:mm:ss (minutes and seconds below 60), as the
    // game takes it; "" when `typed` is no such time.
    static QString checkedTime(const QString& typed);

    // The lookup of Windows paths; tests point it at their own `winepath`.
    WindowsPathLookup& pathLookup() { return *m_lookup; }

private:
    Launcher& m_launcher;
    WindowsPathLookup* m_lookup;
};
