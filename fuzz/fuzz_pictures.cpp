// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG chunk cleaner, the palette PNG reader (row by row, and all at once
// against row by row) and the picture scaling on arbitrary file bytes.
//
// Input: the first byte chooses the box the picture is scaled into and
// whether its proportions are kept; the rest is the picture file.

#include "FuzzSupport.h"

#include "imaging/IndexedPngReader.h"
#include "imaging/PictureScaling.h"
#include "imaging/PngChunks.h"

#include <QColor>
#include <QVector>
#include <QtEndian>

#include <libdeflate.h>

namespace {

// Pictures up to this many pixels are also read straight through the reader,
// a few rows at a time; larger ones only through the scaling, which has a
// budget of its own.
constexpr qint64 directPixels = qint64(1) << 20;

// `bytes` with the CRC of every whole chunk made right, so that changes to
// the pixel data reach the decoders instead of failing the CRC check.
QByteArray withCrcsFixed(QByteArray bytes)
{
    for (qsizetype at = 8; bytes.size() - at >= 12;) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (length > quint64(bytes.size() - at - 12))
            break;
        const auto* typed = reinterpret_cast<const uchar*>(bytes.constData() + at + 4);
        qToBigEndian(libdeflate_crc32(0, typed, size_t(length) + 4), bytes.data() + at + 8 + length);
        at += 12 + qsizetype(length);
    }
    return bytes;
}

void readDirectly(const QByteArray& cleaned)
{
    if (!IndexedPngReader::canRead(cleaned))
        return;
    IndexedPngReader reader(cleaned);
    if (!reader.readHeader())
        return;
    const QSize size = reader.size();
    FuzzSupport::require(size.width() > 0 && size.height() > 0, "a header that reads has a size");
    if (qint64(size.width()) * size.height() > directPixels)
        return;
    (void)reader.colorTable();
    // Not a divisor of typical heights, so that the last call is short; an
    // interlaced picture's rows exist only once its last pass is read, so it
    // is read in one call.
    const int rowsAtOnce = reader.interlaced() ? size.height() : 7;
    const qsizetype width = size.width();
    QVector<uchar> rows(width * size.height());
    bool read = true;
    for (int y = 0; read && y < size.height(); y += rowsAtOnce)
        read = reader.readRows(rows.data() + y * width, width, qMin(rowsAtOnce, size.height() - y));
    const bool ended = read && reader.finish();

    // Decoded all at once, the same rows, or the same failure.
    IndexedPngReader whole(cleaned);
    FuzzSupport::require(whole.readHeader(), "the header reads again");
    QVector<uchar> wholeRows(rows.size());
    FuzzSupport::require(whole.readAllRows(wholeRows.data(), width) == read, "all at once fails as row by row");
    FuzzSupport::require(!read || wholeRows == rows, "all at once gives the same rows");

    // Read as stored and put in place, the same rows again.
    IndexedPngReader stored(cleaned, IndexedPngReader::Rows::Stored);
    FuzzSupport::require(stored.readHeader(), "the header reads as stored");
    QVector<uchar> placed(rows.size());
    QVector<uchar> row(width);
    IndexedPngReader::Placement at;
    int count = 0;
    while (stored.readStoredRow(row.data(), &count, &at)) {
        FuzzSupport::require(at.y >= 0 && at.y < size.height() && at.firstX >= 0 && at.stepX > 0 &&
                                 at.firstX + qint64(count - 1) * at.stepX < width,
                             "a stored row lies inside the picture");
        for (int i = 0; i < count; ++i)
            placed[at.y * width + at.firstX + i * at.stepX] = row[i];
    }
    FuzzSupport::require(stored.finish() == ended, "as stored fails as row by row");
    FuzzSupport::require(!ended || placed == rows, "rows as stored fall in place");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t choice = data[0];
    const QByteArray file = FuzzSupport::bytes(data + 1, size - 1);

    QByteArray cleaned = file;
    const int removed = PngChunks::stripForeignChunks(cleaned);
    FuzzSupport::require(removed >= 0 && cleaned.size() <= file.size(), "cleaning only removes chunks");
    FuzzSupport::require(PngChunks::isPng(cleaned) == PngChunks::isPng(file), "cleaning keeps the signature");
    readDirectly(cleaned);
    readDirectly(withCrcsFixed(cleaned));

    const QString path = FuzzSupport::writeScratchFile(QStringLiteral("map.png"), file);
    const QSize asked(1 + (choice & 0x3f), 1 + (choice >> 6) * 17);
    const PictureScaling::PictureResult result =
        PictureScaling::loadPictureResized(path, asked, Qt::white, (choice & 1) != 0);
    if (result.ok())
        FuzzSupport::require(result.picture().size() == asked, "the picture has the size asked for");
    else
        FuzzSupport::require(result.error().number == PictureScaling::loadErrorNumber ||
                                 result.error().number == PictureScaling::tooLargeErrorNumber,
                             "a failure is the load error or too large to preview");
    return 0;
}
