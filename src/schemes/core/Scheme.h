// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What a game scheme file (`User/Schemes/*.wsc`) says, read from its bytes:
// "SCHM", a version byte, the game options, 45 weapons, 19 super weapons
// (version 2 and 3) and the extended options (version 3). The program never
// writes a scheme; this is only ever read. Everything here is reentrant.

// The headings the settings are shown under.
enum class SchemeGroup { GameOptions, CratesAndObjects, SuddenDeath, Extended };

// One option of a scheme: its name in the JSON output, its name in words,
// its value in words and the JSON members it gives (most give one, named
// `key`; a few add a second, such as "turnTimeCountsUp").
struct SchemeSetting {
    QString key;
    QString label;
    QString text;
    QJsonObject json;
    SchemeGroup group = SchemeGroup::GameOptions;
    bool stored = true; // false: an extended option past the end of the file, at its default
};

// One weapon's settings, as stored.
struct SchemeWeapon {
    QString name;
    int ammo = 0; // 10 and more: infinite
    int power = 0;
    int delay = 0;
    int crateChance = 0;

    bool infinite() const { return ammo >= 10; }
    QString ammoText() const;
};

struct Scheme {
    static constexpr int version1Size = 221;
    static constexpr int version2Size = 297;
    static constexpr int version3MaxSize = 407; // what the game's 3.8 writes at most

    bool signature = false; // begins with "SCHM" and a version byte
    int version = 0;
    int size = 0;
    QList<SchemeSetting> options;
    QList<SchemeWeapon> weapons;      // those the file holds whole, in the game's order
    QList<SchemeWeapon> superWeapons; // version 2 and 3
    QList<SchemeSetting> extended;    // version 3
    QStringList problems;             // each in plain words

    // The game reads this scheme as it is.
    bool readable() const { return signature && problems.isEmpty(); }
    // The option or extended option of that key, or nullptr.
    const SchemeSetting* setting(const QString& key) const;
};

namespace SchemeReader {

// A scheme file is far smaller; anything larger is refused unread.
constexpr qint64 maxFileSize = 64 * 1024;

// The names of the weapons, in the order the file keeps them.
const QStringList& weaponNames();
const QStringList& superWeaponNames();

// Reads a scheme from its bytes; never fails: what is wrong is in `problems`.
Scheme read(const QByteArray& bytes);

// Reads the file `path` (a regular file, at most maxFileSize bytes) into
// `bytes`; false with the reason in `error` when it cannot be read.
bool readFile(const QString& path, QByteArray* bytes, QString* error);

// The heading of a group, in words.
QString groupTitle(SchemeGroup group);

} // namespace SchemeReader
