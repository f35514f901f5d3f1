// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "maps/core/MapCheck.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QFile;

// What a recorded game (a ".WAgame" file) says about itself in its first two
// chunks: the map it was played on, when it started, what kind of game it
// was and the scheme it was played with. The message stream after them (most
// of the file) is never read. No stored length is trusted: every read is
// bounded by the file, and a damaged file gives what could be read and the
// problems met on the way.
struct ReplayInfo {
    enum class MapKind { Unknown, Monochrome, Generated, Colour };
    enum class GameType { Unknown, Normal, Mission, Training };

    bool replay = false;    // starts with "WA"
    int formatVersion = -1; // -1 when the file ends before it

    bool hasMap = false; // the map's type could be read
    quint32 mapType = 0; // as stored: 1 monochrome, 2 generated, 3 colour, others from modules
    MapKind mapKind = MapKind::Unknown;
    QByteArray mapData;       // the map as stored: a ".BIT", a ".LEV" or a PNG file with its level chunk
    bool mapComplete = false; // false when the file ends inside the map
    QSize mapSize;            // colour maps; monochrome maps, whose size is fixed
    int colours = -1;         // colour maps: colours used, the transparent one aside; -1 when not counted
    bool hasLevel = false;    // the level settings below were read (generated and monochrome maps; colour maps
                              // with the chunk)
    MapCheck::LevelSettings level;

    bool hasSettings = false;         // the settings chunk's fixed fields were read
    std::optional<quint32> startedAt; // seconds since 1970, UTC
    quint32 engineVersion = 0;        // a code, not a version text
    GameType gameType = GameType::Unknown;
    int schemeType = -1; // 0xFF: the scheme is stored; else one of the game's own
    QByteArray scheme;   // the stored scheme file; empty when none

    QStringList problems; // each in plain words
};

namespace ReplayReader {

// Reads at most this much of a stored map, and of the settings chunk.
constexpr qint64 maxMapBytes = qint64(256) << 20;
constexpr qint64 maxSettingsBytes = qint64(1) << 20;

// Reads the replay held in `bytes` (a whole file, or its first part).
ReplayInfo readBytes(const QByteArray& bytes);

// Reads the replay `path`: only a regular file, and only its first chunks.
// False with `error` set when the file cannot be read at all.
bool readFile(const QString& path, ReplayInfo* info, QString* error);

QString mapKindName(ReplayInfo::MapKind kind);   // "colour", "monochrome", "generated", "unknown"
QString gameTypeName(ReplayInfo::GameType type); // "normal", "mission", "training", "unknown"

} // namespace ReplayReader
