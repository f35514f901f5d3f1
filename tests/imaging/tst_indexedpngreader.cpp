#include "imaging/IndexedPngReader.h"
#include "support/TestMaps.h"

#include <QImage>
#include <QTest>

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

// `png` with byte `offset` of its IHDR data set to `value` (CRC fixed).
QByteArray withHeaderByte(const QByteArray& png, int offset, char value)
{
    QByteArray header = png.mid(16, 13);
    header[offset] = value;
    return png.left(8) + TestMaps::chunk("IHDR", header) + png.mid(33);
}

// The rows of `png` through the reader, `rowsAtOnce` at a time.
QImage decode(const QByteArray& png, int rowsAtOnce)
{
    IndexedPngReader reader(png);
    if (!reader.readHeader())
        return {};
    QImage picture(reader.size(), QImage::Format_Indexed8);
    picture.setColorTable(reader.colorTable());
    for (int y = 0; y < picture.height(); y += rowsAtOnce) {
        const int count = std::min(rowsAtOnce, picture.height() - y);
        if (!reader.readRows(picture.scanLine(y), picture.bytesPerLine(), count))
            return {};
    }
    return reader.finish() ? picture : QImage();
}

} // namespace

class IndexedPngReaderTest : public QObject {
    Q_OBJECT

private slots:
    void decodesAsQtDoes_data();
    void decodesAsQtDoes();
};

void IndexedPngReaderTest::decodesAsQtDoes_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<bool>("readable"); // false: left to Qt's own reader
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

    QTest::newRow("8 bits") << eightBit << true;
    QTest::newRow("map saved by Qt") << TestMaps::pngBytes(map) << true;
    QTest::newRow("translucent colours, 8 bits") << TestMaps::palettePng(translucentMap, 8) << true;
    QTest::newRow("4 bits, odd width") << TestMaps::palettePng(indexedPicture(QSize(37, 9), 16, true), 4) << true;
    QTest::newRow("2 bits, odd width") << TestMaps::palettePng(indexedPicture(QSize(37, 9), 4), 2) << true;
    QTest::newRow("indexes beyond the palette") << TestMaps::palettePng(shortPalette, 4) << true;
    QTest::newRow("one pixel") << TestMaps::palettePng(indexedPicture(QSize(1, 1), 1), 8) << true;
    QTest::newRow("1 bit") << TestMaps::palettePng(indexedPicture(QSize(9, 5), 2), 1) << false;
    QTest::newRow("interlaced") << withHeaderByte(eightBit, 12, 1) << false;
    QTest::newRow("true colour") << TestMaps::pngBytes(sixteen.convertToFormat(QImage::Format_RGB32)) << false;
    QTest::newRow("not a PNG") << QByteArray("BM and then some bytes of no picture at all") << false;
    QTest::newRow("header cut short") << eightBit.left(28) << false;
}

void IndexedPngReaderTest::decodesAsQtDoes()
{
    QFETCH(QByteArray, png);
    QFETCH(bool, readable);
    QCOMPARE(IndexedPngReader::canRead(png), readable);
    QCOMPARE(IndexedPngReader(png).readHeader(), readable);
    if (!readable)
        return;
    const QImage expected = QImage::fromData(png, "PNG");
    QVERIFY(!expected.isNull());
    QCOMPARE(expected.format(), QImage::Format_Indexed8);
    for (int rowsAtOnce : {1, 4, 1000}) {
        const QImage decoded = decode(png, rowsAtOnce);
        QVERIFY(!decoded.isNull());
        QCOMPARE(decoded.size(), expected.size());
        QCOMPARE(decoded.colorTable(), expected.colorTable());
        for (int y = 0; y < expected.height(); ++y)
            QVERIFY2(std::memcmp(decoded.constScanLine(y), expected.constScanLine(y), size_t(expected.width())) == 0,
                     qPrintable(QStringLiteral("row %1").arg(y)));
    }
}

QTEST_GUILESS_MAIN(IndexedPngReaderTest)
#include "tst_indexedpngreader.moc"
