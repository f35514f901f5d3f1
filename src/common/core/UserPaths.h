// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The User folder (the folder the program runs from, or the one given with
// --user-folder) and the paths the program builds on it. Paths use "/".
class UserPaths {
public:
    explicit UserPaths(const QString& userFolder);

    // Without a trailing separator, except at a file-system root ("/", "C:/").
    const QString& userFolder() const { return m_userFolder; }

    // The User folder's parent with a trailing separator, computed from the
    // text: everything up to and including the User folder's last separator.
    // A User folder at a root gives that root itself.
    const QString& gameFolder() const { return m_gameFolder; }

    // The User folder joined with `relative` ("Games/Temp"), each component
    // found without regard to letter case when it exists.
    QString resolve(const QString& relative) const;

    // The same for a file in the game folder ("WA.exe").
    QString resolveInGameFolder(const QString& name) const;

    // The folders and files of the User folder the program works with,
    // relative to it. Every path to them is built from these.
    static const QString GamesFolder;     // recorded games, in folders of their own
    static const QString TempGamesFolder; // copies of games being viewed, cleaned at exit
    static const QString MapsFolder;      // saved maps, in folders of any depth
    static const QString SpeechFolder;    // speech banks, one folder per scheme
    static const QString PicturesFolder;  // the program's own pictures
    static const QString CatalogueFile;   // the programs catalogue
    static const QString ProbeFile;       // the game's picture that shows it is installed

    // The same, resolved.
    QString gamesFolder() const { return resolve(GamesFolder); }
    QString tempGamesFolder() const { return resolve(TempGamesFolder); }
    QString mapsFolder() const { return resolve(MapsFolder); }
    QString speechFolder() const { return resolve(SpeechFolder); }
    QString catalogueFile() const { return resolve(CatalogueFile); }
    QString probeFile() const { return resolve(ProbeFile); }
    // `relative` ("Bob/Hello.wav") under the Speech folder, resolved.
    QString inSpeechFolder(const QString& relative) const;
    // One of the program's own pictures ("army.bmp"), resolved.
    QString picture(const QString& name) const;

    static QString normalise(const QString& folder);
    static QString gameFolderOf(const QString& userFolder);

private:
    QString m_userFolder;
    QString m_gameFolder;
};
