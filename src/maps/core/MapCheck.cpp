// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapCheck.h"

#include "common/core/OutsideFile.h"
#include "imaging/IndexedPngReader.h"
#include "imaging/PngChunks.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtEndian>

#include <array>
#include <vector>

namespace MapCheck {

namespace {

constexpr int headerEnd = 8 + 4 + 4 + 13;
constexpr int indexedType = 3;
// Larger files are not maps: the largest map the game takes is about a
// gigabyte of pixels before compression.
constexpr qint64 maxFileSize = qint64(1) << 30;

const QString notLoading = QStringLiteral(": the game will not load this map.");

QString plural(qint64 count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QString colourKind(int colourType, int bitDepth)
{
    switch (colourType) {
    case 0:
        return QStringLiteral("greyscale");
    case 2:
        return QStringLiteral("truecolour");
    case indexedType:
        return QString::number(bitDepth) + QStringLiteral("-bit indexed");
    case 4:
        return QStringLiteral("greyscale with transparency");
    case 6:
        return QStringLiteral("truecolour with transparency");
    default:
        return QStringLiteral("of an unknown colour type");
    }
}

// Counts the palette entries other than 0 that the pixels use, reading the
// rows as stored (an interlaced map pass by pass) one at a time, so that a
// map of any size takes one row of memory; -1 when the pixels cannot be
// decoded, -2 when this reader does not take the picture.
int countColours(QIODevice& in, const QByteArray& head, QSize size, const std::function<bool()>& cancelled)
{
    if (!IndexedPngReader::canRead(head))
        return -2;
    std::array<bool, 256> used{};
    IndexedPngReader reader(in, IndexedPngReader::Rows::Stored);
    if (!reader.readHeader())
        return -1;
    std::vector<uchar> row(size_t(size.width()));
    qint64 rowsLeft = 0; // rows until the next look at `cancelled`
    int width = 0;
    for (qint64 pixels = 0;; pixels += width) {
        if (--rowsLeft < 0) {
            if (cancelled && cancelled())
                return -1;
            rowsLeft = std::max<qint64>(1, (qint64(4) << 20) / size.width());
        }
        if (!reader.readStoredRow(row.data(), &width))
            return pixels == qint64(size.width()) * size.height() ? int(std::count(used.begin() + 1, used.end(), true))
                                                                  : -1;
        for (int x = 0; x < width; ++x)
            used[row[size_t(x)]] = true;
    }
}

// The data of the first level chunk (and its length): walked chunk by
// chunk through the file, never holding more than one chunk header.
void findLevelChunk(QIODevice& in, Report& r)
{
    const qint64 size = in.size();
    for (qint64 pos = 8; pos + 12 <= size;) {
        if (!in.seek(pos))
            return;
        const QByteArray head = in.read(8);
        if (head.size() != 8)
            return;
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        if (length > 0x7fffffff || length > size - pos - 12)
            return; // cut short
        const QByteArray type = head.mid(4);
        if (type == "IEND" || !PngChunks::isNamed(type.constData()))
            return; // the end, or damage: no chunk past it is found
        if (type == "w2lv" || type == "waLV") {
            r.settingsLength = int(std::min<qint64>(length, INT_MAX));
            const QByteArray data = length <= 41 ? in.read(length) : QByteArray();
            r.settings = parseLevelSettings(data, &r.level) ? Report::Settings::Present : Report::Settings::WrongLength;
            return;
        }
        pos += 12 + length;
    }
}

void checkRules(Report& r)
{
    auto block = [&r](const QString& text) {
        r.findings << text + notLoading;
        r.loads = false;
    };
    r.loads = true;
    if (r.colourType != indexedType || r.bitDepth != 8)
        block(QStringLiteral("The picture is %1, not 8-bit indexed").arg(colourKind(r.colourType, r.bitDepth)));
    const int width = r.size.width(), height = r.size.height();
    if (width % 8 != 0)
        block(QStringLiteral("Width %1 is not a multiple of 8").arg(width));
    if (height % 8 != 0)
        block(QStringLiteral("Height %1 is not a multiple of 8").arg(height));
    if (width < minWidth || height < minHeight)
        block(QStringLiteral("%1 × %2 is smaller than the smallest map, %3 × %4")
                  .arg(width)
                  .arg(height)
                  .arg(minWidth)
                  .arg(minHeight));
    // A plain picture is held to the larger, cavern limits: its kind is the
    // game's choice.
    const bool island = r.settings == Report::Settings::Present && !r.level.cavern;
    const int maxWidth = island ? maxIslandWidth : maxCavernWidth;
    const int maxHeight = island ? maxIslandHeight : maxCavernHeight;
    const QString kind = island ? QStringLiteral("an island") : QStringLiteral("a cavern");
    if (width > maxWidth || height > maxHeight)
        block(QStringLiteral("%1 × %2 is larger than %3 can be, %4 × %5")
                  .arg(width)
                  .arg(height)
                  .arg(kind)
                  .arg(maxWidth)
                  .arg(maxHeight));
    if (r.damaged)
        block(QStringLiteral("The picture data is damaged or cut short"));
    if (r.colours > 112)
        block(QStringLiteral("%1 colours are more than 112").arg(r.colours));
    else if (r.colours > 96)
        r.findings << QStringLiteral("%1 colours are more than 96: the game shows a black background behind this map.")
                          .arg(r.colours);
    else if (r.colours > 64)
        r.findings << QStringLiteral("%1 colours are more than 64: the game leaves out the background sprites.")
                          .arg(r.colours);
}

} // namespace

bool parseLevelSettings(const QByteArray& data, LevelSettings* out)
{
    if (data.size() != 40 && data.size() != 41)
        return false;
    const char* d = data.constData();
    auto u32 = [d](int at) { return qFromLittleEndian<quint32>(d + at); };
    LevelSettings s;
    s.landSeed = u32(0);
    s.objectSeed = u32(4);
    s.cavern = u32(8) != 0;
    s.style = u32(12);
    s.noIndestructibleBorders = u32(16) != 0;
    s.objectPercent = u32(20);
    s.bridgePercent = u32(24);
    s.waterLevel = u32(28);
    s.soilTexture = qFromLittleEndian<quint16>(d + 32);
    s.version = qFromLittleEndian<quint16>(d + 34);
    s.waterColour = u32(36);
    if (data.size() == 41)
        s.wormPlaces = quint8(d[40]);
    *out = s;
    return true;
}

QString Report::settingsLine() const
{
    if (!readable)
        return QStringLiteral("cannot be read: ") + readError;
    if (!png)
        return QStringLiteral("not a PNG picture");
    QStringList parts;
    if (settings == Settings::Present)
        parts << (level.cavern ? QStringLiteral("cavern") : QStringLiteral("island"));
    parts << QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
    if (colours >= 0)
        parts << plural(colours, "colour", "colours");
    else
        parts << colourKind(colourType, bitDepth);
    switch (settings) {
    case Settings::Present:
        parts << QStringLiteral("water level %1").arg(level.waterLevel)
              << QStringLiteral("objects %1 %, bridges %2 %").arg(level.objectPercent).arg(level.bridgePercent)
              << plural(level.wormPlaces, "worm place", "worm places");
        break;
    case Settings::WrongLength:
        parts << QStringLiteral("game settings of the wrong length (%1, not 40 or 41)")
                     .arg(plural(settingsLength, "byte", "bytes"));
        break;
    case Settings::None:
        parts << QStringLiteral("no game settings (a plain picture)");
        break;
    }
    return parts.join(QStringLiteral(", "));
}

Report inspectDevice(QIODevice& in, const std::function<bool()>& cancelled)
{
    Report r;
    r.readable = true;
    const QByteArray head = in.peek(headerEnd);
    if (!PngChunks::isPng(head) || head.size() < headerEnd || head.mid(12, 4) != "IHDR") {
        r.findings << QStringLiteral("The file is not a PNG picture") + notLoading;
        return r;
    }
    r.png = true;
    const char* d = head.constData();
    const quint32 width = qFromBigEndian<quint32>(d + 16), height = qFromBigEndian<quint32>(d + 20);
    r.size = QSize(int(std::min<quint32>(width, INT_MAX)), int(std::min<quint32>(height, INT_MAX)));
    r.bitDepth = quint8(d[24]);
    r.colourType = quint8(d[25]);

    findLevelChunk(in, r);

    // Colours are counted only for pictures the game could take: the size
    // rules already turn the others down, and their pixels may be huge.
    const bool fits = r.size.width() >= 1 && r.size.height() >= 1 && r.size.width() <= maxCavernWidth &&
                      r.size.height() <= maxCavernHeight;
    if (r.colourType == indexedType && fits) {
        if (in.seek(0))
            r.colours = countColours(in, head, r.size, cancelled);
        r.damaged = r.colours == -1;
        if (r.colours < 0)
            r.colours = -1;
    } else if (width == 0 || height == 0) {
        r.damaged = true;
    }
    checkRules(r);
    return r;
}

Report inspectBytes(const QByteArray& bytes, const std::function<bool()>& cancelled)
{
    QByteArray shared = bytes; // never detached: the buffer only reads
    QBuffer buffer(&shared);
    buffer.open(QIODevice::ReadOnly);
    return inspectDevice(buffer, cancelled);
}

Report inspectFile(const QString& file, const std::function<bool()>& cancelled)
{
    Report r;
    QFile in;
    if (!OutsideFile::open(file, in, &r.readError))
        return r;
    if (in.size() > maxFileSize) {
        r.readable = true;
        r.findings << QStringLiteral("The file is too large to be a map") + notLoading;
        return r;
    }
    // The file is read as a stream, a row at a time: never whole.
    return inspectDevice(in, cancelled);
}

QString problemsMessage(const QStringList& files, const QList<Report>& reports)
{
    QStringList problems;
    for (qsizetype i = 0; i < files.size() && i < reports.size(); ++i) {
        if (reports[i].findings.isEmpty())
            continue;
        problems << QFileInfo(files[i]).fileName() + QStringLiteral(" (") + reports[i].settingsLine() +
                        QStringLiteral("):\n- ") + reports[i].findings.join(QStringLiteral("\n- "));
    }
    if (problems.isEmpty())
        return {};
    return QStringLiteral("These maps were brought in, but they break the game's rules for maps:\n\n") +
           problems.join(QStringLiteral("\n\n"));
}

int checkMapsCommand(const QStringList& files, QTextStream& out)
{
    if (files.isEmpty()) {
        out << "--check-map: name the map files to check.\n";
        out.flush();
        return 2;
    }
    int status = 0;
    for (const QString& file : files) {
        const Report r = inspectFile(file);
        out << file << ": " << r.settingsLine() << '\n';
        for (const QString& finding : r.findings)
            out << "  " << finding << '\n';
        if (!r.readable)
            status = 2;
        else if (!r.loads && status == 0)
            status = 1;
    }
    out.flush();
    return status;
}

} // namespace MapCheck
