// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/IndexedPngReader.h"
#include "support/TestMaps.h"

#include <QImage>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

// A picture of `size` with `colors` palette colours, every index used.
QImage indexedPicture(QSize size, int colors, bool translucent = false)
{
    QImage picture(size, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colors; ++i)
        table << qRgba(i * 37 % 256, 255 - i * 11 % 256, i * 71 % 256, translucent && i % 3 == 1 ? i * 9 % 256 : 255);
    picture.setColorTable(table);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, uint((x * 5 + y * 3 + x * y) % colors));
    return picture;
}

// The rows of `png` through the reader, `rowsAtOnce` at a time (0: all at
// once); a null image when reading fails. Without `finish`, what follows the
// rows is not read: the map check counts colours that way.
QImage decode(const QByteArray& png, int rowsAtOnce, bool finish)
{
    IndexedPngReader reader(png);
    if (!reader.readHeader())
        return {};
    QImage picture(reader.size(), QImage::Format_Indexed8);
    picture.setColorTable(reader.colorTable());
    if (rowsAtOnce == 0)
        return reader.readAllRows(picture.bits(), picture.bytesPerLine()) ? picture : QImage();
    // An interlaced picture's rows come all at once.
    const int step = reader.interlaced() ? picture.height() : rowsAtOnce;
    for (int y = 0; y < picture.height(); y += step) {
        const int count = std::min(step, picture.height() - y);
        if (!reader.readRows(picture.scanLine(y), picture.bytesPerLine(), count))
            return {};
    }
    return !finish || reader.finish() ? picture : QImage();
}

// `png` with its pixel data, zlib stream `stream`, split into IDAT chunks of
// `piece` bytes.
QByteArray withImageData(const QByteArray& png, const QByteArray& stream, int piece)
{
    const qsizetype idat = png.indexOf("IDAT") - 4, end = png.indexOf("IEND") - 4;
    QByteArray out = png.left(idat);
    for (qsizetype at = 0; at < stream.size(); at += piece)
        out += TestMaps::chunk("IDAT", stream.mid(at, piece));
    return out + png.mid(end);
}

QByteArray imageStream(const QByteArray& png)
{
    const qsizetype idat = png.indexOf("IDAT");
    return png.mid(idat + 4, qFromBigEndian<quint32>(png.constData() + idat - 4));
}

bool sameRows(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.colorTable() != b.colorTable())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width())) != 0)
            return false;
    return true;
}

} // namespace

enum class Outcome { AsQt, Damaged, LeftToQt };
Q_DECLARE_METATYPE(Outcome)

class IndexedPngReaderTest : public QObject {
    Q_OBJECT

private slots:
    void decodesAsQtDoes_data();
    void decodesAsQtDoes();
};

void IndexedPngReaderTest::decodesAsQtDoes_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<Outcome>("outcome");
    const QImage map = TestMaps::sampleMap(QSize(97, 41));
    QImage translucentMap = map;
    QList<QRgb> colors = map.colorTable();
    for (int i = 0; i < colors.size(); i += 5)
        colors[i] = qRgba(qRed(colors[i]), qGreen(colors[i]), qBlue(colors[i]), i);
    translucentMap.setColorTable(colors);
    QImage shortPalette = indexedPicture(QSize(37, 9), 16);
    shortPalette.setColorTable(shortPalette.colorTable().mid(0, 10)); // indexes 10 to 15 have no colour
    const QImage sixteen = indexedPicture(QSize(9, 5), 16);
    const QByteArray eightBit = TestMaps::palettePng(sixteen, 8);
    const auto ok = Outcome::AsQt;

    QTest::newRow("map saved by Qt") << TestMaps::pngBytes(map) << ok;
    QTest::newRow("translucent colours, 8 bits") << TestMaps::palettePng(translucentMap, 8) << ok;
    QTest::newRow("4 bits, odd width") << TestMaps::palettePng(indexedPicture(QSize(37, 9), 16, true), 4) << ok;
    QTest::newRow("2 bits, odd width") << TestMaps::palettePng(indexedPicture(QSize(37, 9), 4), 2) << ok;
    QTest::newRow("indexes beyond the palette") << TestMaps::palettePng(shortPalette, 4) << ok;
    for (int bits : {2, 4, 8})
        QTest::addRow("every filter, %d bits", bits)
            << TestMaps::palettePng(indexedPicture(QSize(37, 11), 4), bits, -1) << ok;
    QTest::newRow("pixel data in many chunks") << withImageData(eightBit, imageStream(eightBit), 5) << ok;
    QTest::newRow("one pixel") << TestMaps::palettePng(indexedPicture(QSize(1, 1), 1), 8) << ok;

    const QByteArray png = TestMaps::palettePng(indexedPicture(QSize(23, 7), 16), 8, -1);
    const QByteArray stream = imageStream(png);
    QByteArray badCrc = png;
    badCrc[badCrc.indexOf("IEND") - 9] ^= 1; // the last byte of IDAT's CRC
    // The rows as stored (7 of a filter byte and 23 pixels), the fourth with
    // a filter type that does not exist.
    QByteArray rows = qUncompress(QByteArray::fromRawData("\0\0\0\xa8", 4) + stream);
    rows[3 * 24] = 7;
    QTest::newRow("IDAT's CRC wrong") << badCrc << Outcome::Damaged;
    QTest::newRow("stream cut short") << withImageData(png, stream.left(stream.size() / 2), 1 << 20)
                                      << Outcome::Damaged;
    QTest::newRow("no filter type 7") << withImageData(png, qCompress(rows).mid(4), 1 << 20) << Outcome::Damaged;
    QTest::newRow("more data than the rows")
        << withImageData(png, qCompress(rows + QByteArray(30, '\1')).mid(4), 9) << Outcome::Damaged;

    QTest::newRow("1 bit") << TestMaps::palettePng(indexedPicture(QSize(9, 5), 2), 1) << Outcome::LeftToQt;
    QTest::newRow("interlaced") << TestMaps::interlacedPng(indexedPicture(QSize(13, 11), 40)) << Outcome::AsQt;
    QTest::newRow("true colour") << TestMaps::pngBytes(sixteen.convertToFormat(QImage::Format_RGB32))
                                 << Outcome::LeftToQt;
    QTest::newRow("not a PNG") << QByteArray("BM and then some bytes of no picture at all") << Outcome::LeftToQt;
    QTest::newRow("header cut short") << eightBit.left(28) << Outcome::LeftToQt;
}

void IndexedPngReaderTest::decodesAsQtDoes()
{
    QFETCH(QByteArray, png);
    QFETCH(Outcome, outcome);
    QCOMPARE(IndexedPngReader::canRead(png), outcome != Outcome::LeftToQt);
    QCOMPARE(IndexedPngReader(png).readHeader(), outcome != Outcome::LeftToQt);
    if (outcome == Outcome::LeftToQt)
        return;
    const QImage expected = outcome == Outcome::AsQt ? QImage::fromData(png, "PNG") : QImage();
    QCOMPARE(expected.format(), outcome == Outcome::AsQt ? QImage::Format_Indexed8 : QImage::Format_Invalid);
    // Damaged data fails in the rows themselves, read one by one or all at once.
    for (int rowsAtOnce : {0, 1, 4, 1000}) {
        const QImage decoded = decode(png, rowsAtOnce, outcome == Outcome::AsQt);
        QVERIFY2(expected.isNull() ? decoded.isNull() : sameRows(decoded, expected),
                 qPrintable(QString::number(rowsAtOnce)));
    }
}

QTEST_GUILESS_MAIN(IndexedPngReaderTest)
#include "tst_indexedpngreader.moc"
