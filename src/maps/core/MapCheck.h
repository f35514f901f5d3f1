// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

// What the game will make of a map file: the settings it keeps in its own
// PNG chunk ("w2lv" or "waLV") and the rules a colour map must meet to load.
// Files are only read, never written. Everything here is reentrant.
namespace MapCheck {

// The 40 little-endian bytes of the level chunk, and the optional 41st.
struct LevelSettings {
    quint32 landSeed = 0;
    quint32 objectSeed = 0;
    bool cavern = false;
    quint32 style = 0;
    bool noIndestructibleBorders = false;
    quint32 objectPercent = 0;
    quint32 bridgePercent = 0;
    quint32 waterLevel = 0;
    quint16 soilTexture = 0;
    quint16 version = 0;
    quint32 waterColour = 0;
    int wormPlaces = 18; // the game's number when the 41st byte is missing
};

// The size limits of the game's colour maps.
constexpr int minWidth = 640, minHeight = 32;
constexpr int maxCavernWidth = 32512, maxCavernHeight = 32600;
constexpr int maxIslandWidth = 28408, maxIslandHeight = 30552;

struct Report {
    enum class Settings { None, WrongLength, Present };

    bool readable = false; // false: the file could not be read at all
    QString readError;     // why, when !readable
    bool png = false;      // starts like a PNG with a readable header
    bool damaged = false;  // the pixel data is damaged or cut short
    QSize size;
    int bitDepth = 0;
    int colourType = -1; // as in the PNG header (3 = indexed)
    // Palette entries the pixels use, not counting entry 0 (the game's
    // transparent colour); -1 when not counted (not indexed, or too large).
    int colours = -1;
    Settings settings = Settings::None;
    int settingsLength = 0; // bytes of the level chunk
    LevelSettings level;
    QStringList findings; // each in plain words
    bool loads = false;   // the game loads this map

    // The map's settings in words, for one line.
    QString settingsLine() const;
};

// Reads the level chunk's data; false when it is neither 40 nor 41 bytes.
bool parseLevelSettings(const QByteArray& data, LevelSettings* out);

// Inspects a map held in memory (the file's bytes). `cancelled`, when given,
// is asked while the pixels are read; once it returns true the inspection
// ends soon, with a report that is not to be used.
Report inspectBytes(const QByteArray& bytes, const std::function<bool()>& cancelled = {});
// Reads `file` and inspects it; a file that cannot be read comes back with
// readable false and the reason.
Report inspectFile(const QString& file, const std::function<bool()>& cancelled = {});

// The message that lists, for each of `files` (with its report) that has
// findings, its name, settings and findings; "" when none has any.
QString problemsMessage(const QStringList& files, const QList<Report>& reports);

// The command-line check of `files`: for each file a line "FILE: settings"
// and then one indented line per finding, written to `out`. Returns 0 when
// the game loads every file, 1 when it does not load one of them, 2 when a
// file cannot be read (its line says why).
int checkMapsCommand(const QStringList& files, QTextStream& out);

} // namespace MapCheck
