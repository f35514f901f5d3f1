// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Launcher.h"
#include "installs/core/GameInstall.h"

#include <QStringList>

// What a start depends on besides the install: the system it runs on.
struct HostSystem {
#ifdef Q_OS_WIN
    bool windows = true;
#else
    bool windows = false;
#endif
    // Flatpak installations (folders holding "app/<id>"), the user's and the system's.
    QStringList flatpakInstallations;
    // On Windows, Steam's own program as the registry names it.
    QString windowsSteamProgram;

    // The system the program runs on.
    static HostSystem current();
};

// Turns an install and the game's arguments into the exact program start that
// install needs, and starts it through the Launcher seam:
// - a Windows system runs the .exe itself in the game folder;
// - a Steam copy on Linux goes through `steam -applaunch 217200` (or the Steam
//   Flatpak), since its WA.exe quits when Steam did not start it;
// - a copy inside a Wine prefix runs through `wine` with WINEPREFIX set to it;
// - any other copy runs through `wine`; all in the game folder.
class GameStarter {
public:
    enum class Program { Game, WormKit };

    struct Plan {
        Launcher::Result problem = Launcher::Result::Started; // Started: `request` is ready
        LaunchRequest request;
        bool ready() const { return problem == Launcher::Result::Started; }
    };

    explicit GameStarter(Launcher& launcher, HostSystem host = HostSystem::current());

    Plan planGame(const GameInstall& install, Program program, const QStringList& gameArguments = {}) const;
    // A catalogued tool: started in its own folder; a .exe on a system other
    // than Windows through `wine`, in the install's prefix when it has one.
    Plan planTool(const GameInstall& install, const QString& toolFile) const;

    Launcher::Result startGame(const GameInstall& install, Program program, const QStringList& gameArguments = {});
    Launcher::Result startTool(const GameInstall& install, const QString& toolFile);

    // "WA.exe" or "WormKit.exe".
    static QString fileName(Program program);

    // The sentence that tells the user why `programName` did not start; "" for
    // a start that succeeded.
    static QString failureText(Launcher::Result result, const QString& programName);

    static constexpr int steamAppId = 217200;

private:
    Plan throughWine(const QString& exe, const QStringList& arguments, const QString& workingFolder,
                     const QString& prefix) const;
    Plan throughSteam(const QStringList& gameArguments) const;
    Launcher::Result run(const Plan& plan);

    Launcher& m_launcher;
    HostSystem m_host;
};
