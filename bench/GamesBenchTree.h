// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A Games tree of recorded games for benchmarks, made in a temporary folder:
// `games` names spread over the Games folder itself and user folders
// (`folders` folders in all), named the way the game names them.
class GamesBenchTree {
public:
    GamesBenchTree(int games, int folders);

    bool isValid() const { return m_dir.isValid(); }
    QString userFolder() const { return m_user; }
    QString gamesRoot() const { return m_user + QStringLiteral("/Games"); }
    QStringList userFolders() const { return m_folders; }

    // Game names the way the game writes them, in random order.
    static QStringList names(int count, unsigned seed);

private:
    QTemporaryDir m_dir;
    QString m_user;
    QStringList m_folders;
};
