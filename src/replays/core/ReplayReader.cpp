// SPDX-License-Identifier: GPL-3.0-or-later
#include "replays/core/ReplayReader.h"

#include "common/core/OutsideFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace ReplayReader {

namespace {

constexpr qint64 headerSize = 12; // "WA", version, map chunk length, map type
constexpr quint8 storedScheme = 0xFF;
constexpr qint64 monochromeSettings = 40; // as a generated map's
constexpr QSize monochromeSize(1920, 696);
constexpr char monochromePicture[] = "LTRI";

// Reads `length` bytes at `offset` of the replay; fewer at its end.
using ReadAt = std::function<QByteArray(qint64 offset, qint64 length)>;

QString bytes(qint64 count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
}

void readColourMap(ReplayInfo& info)
{
    const MapCheck::Report report = MapCheck::inspectBytes(info.mapData);
    if (!report.png) {
        info.problems << QStringLiteral("The colour map is not a PNG picture.");
        return;
    }
    info.mapSize = report.size;
    info.colours = report.colours;
    if (report.damaged)
        info.problems << QStringLiteral("The colour map's picture is damaged or cut short.");
    if (report.settings == MapCheck::Report::Settings::Present) {
        info.hasLevel = true;
        info.level = report.level;
    } else if (report.settings == MapCheck::Report::Settings::WrongLength) {
        info.problems
            << QStringLiteral("The colour map's settings are %1, not 40 or 41.").arg(bytes(report.settingsLength));
    }
}

// A monochrome map is a ".BIT" file: the 40 bytes of a generated map's
// settings, then the land mask, a 1-bit picture that LEAD Technologies' own
// "CMP" compression packs (it starts with "LTRI"). That compression is not
// published, so the picture is checked by its mark only; its size is the
// one every monochrome map has.
void readMonochromeMap(ReplayInfo& info)
{
    const qint64 size = info.mapData.size();
    if (size < monochromeSettings) {
        info.problems << QStringLiteral("The monochrome map's settings are cut short (%1 of %2).")
                             .arg(QString::number(size), bytes(monochromeSettings));
        return;
    }
    info.hasLevel = MapCheck::parseLevelSettings(info.mapData.left(monochromeSettings), &info.level);
    info.mapSize = monochromeSize;
    if (!info.mapComplete)
        return; // the end of the file is the problem
    if (size == monochromeSettings)
        info.problems << QStringLiteral("The monochrome map holds no picture of its land.");
    else if (!info.mapData.mid(monochromeSettings, 4).startsWith(monochromePicture))
        info.problems << QStringLiteral("The monochrome map's picture does not start with \"LTRI\": it is damaged.");
}

// The map chunk from offset 4; the offset of the settings chunk, or -1 when
// the file gives no way to it.
qint64 readMap(const ReadAt& read, qint64 size, ReplayInfo& info)
{
    const QByteArray head = read(4, 8);
    if (head.size() < 8) {
        info.problems << QStringLiteral("The file ends before its map.");
        return -1;
    }
    // Copied out byte by byte: GCC cannot tell that the check above leaves
    // more than an empty array's one byte to read from.
    uchar fields[8];
    for (int i = 0; i < 8; ++i)
        fields[i] = uchar(head.at(i));
    const quint32 chunkLength = qFromLittleEndian<quint32>(fields);
    info.mapType = qFromLittleEndian<quint32>(fields + 4);
    info.hasMap = true;
    if (chunkLength < 4) {
        info.problems << QStringLiteral("The map's length (%1) is shorter than its type.").arg(chunkLength);
        return -1;
    }
    switch (info.mapType) {
    case 1:
        info.mapKind = ReplayInfo::MapKind::Monochrome;
        break;
    case 2:
        info.mapKind = ReplayInfo::MapKind::Generated;
        break;
    case 3:
        info.mapKind = ReplayInfo::MapKind::Colour;
        break;
    default:
        info.mapKind = ReplayInfo::MapKind::Unknown; // a module's own kind of map
        break;
    }
    const qint64 declared = qint64(chunkLength) - 4;
    const qint64 settingsAt = headerSize + declared;
    const qint64 present = std::max<qint64>(0, std::min(declared, size - headerSize));
    if (present > maxMapBytes) {
        info.problems << QStringLiteral("The map is too large to read (%1).").arg(bytes(present));
        return settingsAt;
    }
    if (info.mapKind == ReplayInfo::MapKind::Unknown)
        return settingsAt;
    info.mapData = read(headerSize, present);
    info.mapComplete = info.mapData.size() == declared;
    if (!info.mapComplete)
        info.problems << QStringLiteral("The file ends inside the map (%1 of %2).")
                             .arg(QString::number(info.mapData.size()), bytes(declared));
    if (info.mapKind == ReplayInfo::MapKind::Colour) {
        readColourMap(info);
    } else if (info.mapKind == ReplayInfo::MapKind::Monochrome) {
        readMonochromeMap(info);
    } else if (info.mapKind == ReplayInfo::MapKind::Generated && info.mapComplete) {
        info.hasLevel = MapCheck::parseLevelSettings(info.mapData, &info.level);
        if (!info.hasLevel)
            info.problems << QStringLiteral("The generated map's settings are %1, not 40.").arg(bytes(declared));
    }
    return settingsAt;
}

void readSettings(const ReadAt& read, qint64 size, qint64 at, ReplayInfo& info)
{
    const QByteArray lengthBytes = at <= size ? read(at, 4) : QByteArray();
    if (lengthBytes.size() < 4) {
        info.problems << QStringLiteral("The file ends before the game's settings.");
        return;
    }
    const quint32 declared = qFromLittleEndian<quint32>(lengthBytes.constData());
    const QByteArray chunk = read(at + 4, std::min<qint64>(declared, maxSettingsBytes));
    const char* d = chunk.constData();
    // The fixed fields: 3 bytes, version, start time, a byte, engine code,
    // game type, scheme type.
    constexpr qint64 fixed = 16;
    if (chunk.size() < fixed) {
        info.problems << (chunk.size() < qint64(declared)
                              ? QStringLiteral("The file ends inside the game's settings.")
                              : QStringLiteral("The game's settings are too short (%1).").arg(bytes(declared)));
        return;
    }
    info.hasSettings = true;
    if (chunk.size() < std::min<qint64>(declared, maxSettingsBytes))
        info.problems << QStringLiteral("The file ends inside the game's settings.");
    else if (at + 4 + qint64(declared) >= size)
        info.problems << QStringLiteral("The file ends after the game's settings: the game itself is missing.");
    const int version = qFromLittleEndian<quint16>(d + 3);
    if (version != info.formatVersion)
        info.problems << QStringLiteral("The settings give format version %1, the file's start %2.")
                             .arg(version)
                             .arg(info.formatVersion);
    info.startedAt = qFromLittleEndian<quint32>(d + 5);
    info.engineVersion = qFromLittleEndian<quint32>(d + 10);
    switch (quint8(d[14])) {
    case 1:
        info.gameType = ReplayInfo::GameType::Normal;
        break;
    case 2:
        info.gameType = ReplayInfo::GameType::Mission;
        break;
    case 3:
        info.gameType = ReplayInfo::GameType::Training;
        break;
    default:
        info.gameType = ReplayInfo::GameType::Unknown;
        break;
    }
    info.schemeType = quint8(d[15]);
    if (info.schemeType != storedScheme)
        return;
    if (chunk.size() < fixed + 4) {
        info.problems << QStringLiteral("The stored scheme's length is missing.");
        return;
    }
    const quint32 schemeLength = qFromLittleEndian<quint32>(d + fixed);
    const qint64 available = chunk.size() - fixed - 4;
    info.scheme = chunk.mid(fixed + 4, std::min<qint64>(schemeLength, available));
    if (info.scheme.size() < qint64(schemeLength))
        info.problems << QStringLiteral("The stored scheme is cut short (%1 of %2).")
                             .arg(QString::number(info.scheme.size()), bytes(schemeLength));
    if (!info.scheme.startsWith("SCHM"))
        info.problems << QStringLiteral("The stored scheme does not start with \"SCHM\".");
}

ReplayInfo readFrom(const ReadAt& read, qint64 size)
{
    ReplayInfo info;
    const QByteArray start = read(0, 4);
    if (!start.startsWith("WA")) {
        info.problems << QStringLiteral("The file is not a replay: it does not start with \"WA\".");
        return info;
    }
    info.replay = true;
    if (start.size() < 4) {
        info.problems << QStringLiteral("The file ends before its format version.");
        return info;
    }
    info.formatVersion = qFromLittleEndian<quint16>(start.constData() + 2);
    const qint64 settingsAt = readMap(read, size, info);
    if (settingsAt >= 0)
        readSettings(read, size, settingsAt, info);
    return info;
}

} // namespace

ReplayInfo readBytes(const QByteArray& bytes)
{
    return readFrom(
        [&bytes](qint64 offset, qint64 length) {
            return offset >= bytes.size() ? QByteArray() : bytes.mid(offset, length);
        },
        bytes.size());
}

bool readFile(const QString& path, ReplayInfo* info, QString* error)
{
    QFile file;
    if (!OutsideFile::open(path, file, error, OutsideFile::Words::Short))
        return false;
    const qint64 size = file.size();
    bool failed = false;
    *info = readFrom(
        [&](qint64 offset, qint64 length) {
            length = std::min(length, size - offset);
            if (failed || length <= 0 || !file.seek(offset))
                return QByteArray();
            QByteArray data = file.read(length);
            failed = file.error() != QFileDevice::NoError;
            return data;
        },
        size);
    if (failed) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString mapKindName(ReplayInfo::MapKind kind)
{
    switch (kind) {
    case ReplayInfo::MapKind::Colour:
        return QStringLiteral("colour");
    case ReplayInfo::MapKind::Monochrome:
        return QStringLiteral("monochrome");
    case ReplayInfo::MapKind::Generated:
        return QStringLiteral("generated");
    case ReplayInfo::MapKind::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QString gameTypeName(ReplayInfo::GameType type)
{
    switch (type) {
    case ReplayInfo::GameType::Normal:
        return QStringLiteral("normal");
    case ReplayInfo::GameType::Mission:
        return QStringLiteral("mission");
    case ReplayInfo::GameType::Training:
        return QStringLiteral("training");
    case ReplayInfo::GameType::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace ReplayReader
