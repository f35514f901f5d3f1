// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtEndian>

// Recorded games as the game writes their first chunks, for tests and
// benchmarks: "WA", the format version, the map chunk (its length, the map's
// type, the map), the settings chunk (three zeros, the version again, the
// start time, a zero, the engine's code, the game type, the scheme type, the
// stored scheme's length and bytes, then teams that are not read), and
// `stream` standing for the game itself.
namespace TestReplays {

inline QByteArray u32(quint32 value)
{
    QByteArray out(4, '\0');
    qToLittleEndian(value, out.data());
    return out;
}

// The settings chunk with its length; a scheme type of 0xFF when `scheme` is
// not empty, else one of the game's own (3).
inline QByteArray settings(const QByteArray& scheme, quint32 started, quint8 gameType, quint16 version = 20)
{
    QByteArray chunk(3, '\0');
    chunk += char(version & 0xFF);
    chunk += char(version >> 8);
    chunk += u32(started);
    chunk += '\0';
    chunk += u32(0x1F4);
    chunk += char(gameType);
    chunk += char(scheme.isEmpty() ? 3 : 0xFF);
    if (!scheme.isEmpty())
        chunk += u32(quint32(scheme.size())) + scheme;
    chunk += QByteArray("teams, flags and graves");
    return u32(quint32(chunk.size())) + chunk;
}

inline QByteArray replay(quint32 mapType, const QByteArray& map, const QByteArray& scheme, quint32 started = 1740746140,
                         quint8 gameType = 1, const QByteArray& stream = QByteArray(64, '\x7f'))
{
    return QByteArray("WA\x14\0", 4) + u32(quint32(map.size()) + 4) + u32(mapType) + map +
           settings(scheme, started, gameType) + stream;
}

// A version-2 scheme: "SCHM", its version, and options that are all zero.
inline QByteArray scheme()
{
    return QByteArray("SCHM\x02", 5) + QByteArray(292, '\0');
}

} // namespace TestReplays
