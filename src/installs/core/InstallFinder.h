// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "installs/core/GameInstall.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>

// Where the finder looks: the user's home and what the system says. Tests
// build a home of their own.
struct FinderSetup {
    QString home;
    QString programFolder;      // the folder of the running program
    QString winePrefixVariable; // $WINEPREFIX
    QStringList chosenFolders;  // User folders the user chose before
#ifdef Q_OS_WIN
    bool windows = true;
#else
    bool windows = false;
#endif
    QString windowsSteamPath; // SteamPath of HKCU\Software\Valve\Steam
    QString windowsGamePath;  // PATH of the game's own key under HKCU
    // For the whole search: whatever the home holds, find() ends by then with
    // what it has found.
    int searchMilliseconds = 1500;

    // The running program's setup.
    static FinderSetup current();
};

// Lists every copy of the game it can see: the program's own User folder
// first, then Steam libraries, Wine prefixes, the Windows registry and the
// chosen folders. The same game folder reached twice is listed once.
class InstallFinder {
public:
    explicit InstallFinder(FinderSetup setup);

    QList<GameInstall> find() const;

    // One sentence naming where find() looked.
    QString placesLooked() const;

    // True when `folder` is a User folder: the game's probe picture is there,
    // or WA.exe lies in its parent.
    static bool isUserFolder(const QString& folder);

    // The game in a prefix: first through the game's registry key in user.reg,
    // then by a search of drive_c that ends at `deadline`. "" when there is none.
    static QString findInPrefix(const QString& prefix, QDeadlineTimer deadline);

    QStringList steamRoots() const;
    // Each prefix once, however many ways lead to it.
    QStringList winePrefixes(QDeadlineTimer deadline = QDeadlineTimer::Forever) const;

private:
    QList<GameInstall> steamInstalls(QDeadlineTimer deadline) const;

    FinderSetup m_setup;
};
