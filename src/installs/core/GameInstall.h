// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// One copy of the game on this computer: how it got there (which decides how
// it is started), its folders, and for a copy that lives in a Wine prefix, that
// prefix. Paths use "/".
struct GameInstall {
    enum class Kind {
        Here,    // the program runs from this User folder
        Steam,   // a Steam library holds it (app 217200)
        Wine,    // a Wine prefix holds it
        Windows, // the game's own registry key names it (on Windows)
        Folder,  // a User folder the user chose
    };

    Kind kind = Kind::Folder;
    QString userFolder; // without a trailing separator, except at a root
    QString gameFolder; // the User folder's parent, with a trailing separator
    QString winePrefix; // the prefix holding the game folder, "" when there is none

    // A value for the User folder `userFolder`. The prefix is the one given, or
    // else the prefix that holds the game folder, if any.
    static GameInstall make(Kind kind, const QString& userFolder, const QString& winePrefix = QString());

    bool isValid() const { return !userFolder.isEmpty(); }

    // The word the command line uses for a kind ("here", "steam", ...), and back.
    static QString kindWord(Kind kind);
    static std::optional<Kind> kindFromWord(const QString& word);

    // The kind in words for people: "Steam", "Wine prefix ~/.wine", ... `home`
    // is shortened to "~".
    QString describe(const QString& home) const;

    bool operator==(const GameInstall& other) const;
    bool operator!=(const GameInstall& other) const { return !(*this == other); }
};

namespace WinePrefix {

// True when `folder` is a Wine prefix: it holds `system.reg` and `drive_c`.
bool isPrefix(const QString& folder);

// The Wine prefix that holds `path` (a folder inside a `drive_c` whose parent
// is a prefix), or "" when there is none.
QString containing(const QString& path);

} // namespace WinePrefix
