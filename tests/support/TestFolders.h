// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A throw-away game folder for one test: <tmp>/Worms Armageddon/User, with a
// blank in the path on purpose. Helpers make folders and files under the
// User folder from relative paths ("Games/Temp/a.WAgame").
class TestUserFolder {
public:
    TestUserFolder();
    ~TestUserFolder();

    QString user() const { return m_user; }      // no trailing "/"
    QString game() const { return m_game; }      // with a trailing "/"
    QString path(const QString& relative) const; // under the User folder

    QString makeDir(const QString& relative) const;
    QString writeFile(const QString& relative, const QByteArray& content = QByteArrayLiteral("x")) const;
    // A file (or folder) in the folder `relative` whose name is the raw bytes
    // `name`, which need not be valid UTF-8; the folder is made as needed.
    bool writeRawName(const QString& relative, const QByteArray& name, bool folder = false) const;
    // A file in the game folder (such as "WA.exe").
    QString writeGameFile(const QString& name, const QByteArray& content = QByteArrayLiteral("MZ")) const;
    // The game's grave picture (one the program can load) that tells the
    // program it is installed.
    QString writeProbe() const;

    // Sorted names in a folder under the User folder (files and folders).
    QStringList entries(const QString& relative) const;
    bool exists(const QString& relative) const;
    // Every file below the folder `relative` ("" is the User folder, ".." the
    // game folder), hidden ones and dangling links too, as "path=content" with
    // the path from that folder; sorted. Links to folders are not followed.
    QStringList files(const QString& relative = QString()) const;
    QByteArray read(const QString& relative) const;
    // Every file (with its bytes) and folder (with a trailing "/") under the
    // User folder, hidden ones too: compared before and after, nothing changed.
    QMap<QString, QByteArray> snapshot() const;

private:
    QTemporaryDir m_dir;
    QString m_user;
    QString m_game;
};
