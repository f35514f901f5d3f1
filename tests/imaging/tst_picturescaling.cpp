// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BicubicResampler.h"
#include "imaging/PictureScaling.h"
#include "imaging/PngChunks.h"
#include "support/TestMaps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cfenv>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace PictureScaling;

namespace {

const QColor background(0x12, 0x34, 0x56);
const QColor paint(200, 30, 30);

} // namespace

class PictureScalingTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString writePng(const QString& name, const QImage& image) const
    {
        return TestMaps::writeBytes(path(name), TestMaps::pngBytes(image));
    }

private slots:
    void fitsOrStretchesOnBackground_data();
    void fitsOrStretchesOnBackground();
    void transparencyShowsBackgroundWithoutBleeding_data();
    void transparencyShowsBackgroundWithoutBleeding();
    void palettePngsMatchOtherFormats_data();
    void palettePngsMatchOtherFormats();
    void stripsOnlyForeignChunks_data();
    void stripsOnlyForeignChunks();
    void hostileFilesGiveTheError_data();
    void hostileFilesGiveTheError();
    void largestMapsPreview_data();
    void largestMapsPreview();
    void cancellingGivesTheError_data();
    void cancellingGivesTheError();
    void stripsDoNotChangeTheResult_data();
    void stripsDoNotChangeTheResult();
    void memoryLimitIsKept();
    void cubicOvershootsButNotPastAlpha();
};

void PictureScalingTest::fitsOrStretchesOnBackground_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QRect>("drawn");
    // Fitted sizes and places are rounded half to even.
    QTest::newRow("3x1: top 3.5 to 4") << QSize(3, 1) << QSize(10, 10) << true << QRect(0, 4, 10, 3);
    QTest::newRow("height 2.5 to 2") << QSize(4, 1) << QSize(10, 10) << true << QRect(0, 4, 10, 2);
    QTest::newRow("height 1.5 to 2, top 3.5 to 4") << QSize(6, 1) << QSize(9, 9) << true << QRect(0, 4, 9, 2);
    QTest::newRow("left 0.5 to 0") << QSize(1, 1) << QSize(11, 10) << true << QRect(0, 0, 10, 10);
    QTest::newRow("left 1.5 to 2") << QSize(1, 1) << QSize(13, 10) << true << QRect(2, 0, 10, 10);
    QTest::newRow("map into preview") << QSize(1920, 696) << QSize(777, 265) << true << QRect(23, 0, 731, 265);
    QTest::newRow("height 6.67 to 7, top 1.5 to 2") << QSize(3, 2) << QSize(10, 10) << true << QRect(0, 2, 10, 7);
    QTest::newRow("line too thin to draw") << QSize(1000, 1) << QSize(10, 10) << true << QRect(0, 5, 10, 0);
    QTest::newRow("3x1 stretched") << QSize(3, 1) << QSize(10, 10) << false << QRect(0, 0, 10, 10);
}

void PictureScalingTest::fitsOrStretchesOnBackground()
{
    QFETCH(QSize, image);
    QFETCH(QSize, box);
    QFETCH(bool, keep);
    QFETCH(QRect, drawn);
    // A thread may run under another rounding mode; the result must not change.
    const int mode = std::fegetround();
    for (int other : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(other);
        const QRect rect = PictureScaling::drawRect(image, box, keep);
        std::fesetround(mode);
        QCOMPARE(rect, drawn);
    }
    QImage solid(image, QImage::Format_RGB32);
    solid.fill(paint);
    const PictureResult result =
        loadPictureResized(writePng(QStringLiteral("solid.png"), solid), box, background, keep);
    QVERIFY(result.ok());
    QCOMPARE(result.picture().size(), box);
    QCOMPARE(result.picture().format(), QImage::Format_RGB32);
    // Inside the drawn rectangle the picture's colour, everywhere else the background.
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            QVERIFY2(result.picture().pixel(x, y) == (drawn.contains(x, y) ? paint.rgb() : background.rgb()),
                     qPrintable(QStringLiteral("at %1, %2").arg(x).arg(y)));
}

void PictureScalingTest::transparencyShowsBackgroundWithoutBleeding_data()
{
    // Left half opaque red, right half fully transparent green: the green must
    // never show, however the halves are mixed at the seam.
    QImage indexed(40, 10, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 0)});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x)
            indexed.setPixel(x, y, x < 20 ? 0 : 1);
    const QImage argb = indexed.convertToFormat(QImage::Format_ARGB32);
    QTest::addColumn<QImage>("image");
    QTest::newRow("RGBA") << argb;
    QTest::newRow("indexed with a transparent colour") << indexed;
}

void PictureScalingTest::transparencyShowsBackgroundWithoutBleeding()
{
    QFETCH(QImage, image);
    const QString file = writePng(QStringLiteral("alpha.png"), image);
    QCOMPARE(QImage(file).pixel(30, 0), qRgba(0, 255, 0, 0)); // the green is stored in the file
    const QColor blue(0, 0, 255);
    const PictureResult result = loadPictureResized(file, QSize(13, 7), blue, false);
    QVERIFY(result.ok());
    const QImage& picture = result.picture();
    bool mixed = false;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            QVERIFY2(qGreen(p) == 0, qPrintable(QStringLiteral("green at %1, %2").arg(x).arg(y)));
            mixed = mixed || (qRed(p) > 0 && qBlue(p) > 0);
        }
    QVERIFY(mixed);
    QCOMPARE(picture.pixel(0, 3), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(12, 3), qRgb(0, 0, 255));
}

void PictureScalingTest::palettePngsMatchOtherFormats_data()
{
    // Palette PNGs are decoded row by row while they are resampled; every
    // other picture is decoded whole by Qt first. The same pixels must give
    // the same picture either way.
    QTest::addColumn<QByteArray>("palettePng");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<bool>("keep");
    const QImage map = TestMaps::sampleMap(QSize(400, 150));
    QImage translucent = map;
    QList<QRgb> colors = map.colorTable();
    for (int i = 0; i < colors.size(); i += 4)
        colors[i] = qRgba(qRed(colors[i]), qGreen(colors[i]), qBlue(colors[i]), i);
    translucent.setColorTable(colors);
    QImage sixteen = map;
    for (int y = 0; y < sixteen.height(); ++y)
        for (int x = 0; x < sixteen.width(); ++x)
            sixteen.setPixel(x, y, sixteen.pixelIndex(x, y) % 16);
    sixteen.setColorTable(colors.mid(0, 16));

    QTest::newRow("map, stretched") << TestMaps::levelMapPng(map) << QSize(777, 265) << false;
    QTest::newRow("map, own size") << TestMaps::levelMapPng(map) << QSize(-1, -1) << false;
    QTest::newRow("map, height -1") << TestMaps::levelMapPng(map) << QSize(30, -1) << true;
    QTest::newRow("map with the other level chunk, smaller")
        << TestMaps::levelMapPng(map, "waLV") << QSize(77, 26) << false;
    QTest::newRow("translucent colours") << TestMaps::palettePng(translucent, 8) << QSize(131, 52) << true;
    QTest::newRow("4 bits") << TestMaps::palettePng(sixteen, 4) << QSize(131, 52) << false;
    QTest::newRow("interlaced") << TestMaps::interlacedPng(map) << QSize(131, 52) << true;
}

void PictureScalingTest::palettePngsMatchOtherFormats()
{
    QFETCH(QByteArray, palettePng);
    QFETCH(QSize, box);
    QFETCH(bool, keep);
    const QString indexedFile = TestMaps::writeBytes(path(QStringLiteral("indexed.png")), palettePng);
    QByteArray plain = palettePng;
    PngChunks::stripForeignChunks(plain); // Qt refuses the level chunk
    const QImage decoded = QImage::fromData(plain, "PNG");
    QCOMPARE(decoded.format(), QImage::Format_Indexed8);
    const QImage direct =
        decoded.convertToFormat(decoded.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const QString directFile = writePng(QStringLiteral("direct.png"), direct);
    QCOMPARE(QImage(directFile).format(), direct.format());

    const PictureResult fromDirect = loadPictureResized(directFile, box, background, keep);
    QVERIFY(fromDirect.ok());
    // From several threads at once, each call gives the same picture.
    std::vector<PictureResult> fromPalette(4);
    std::vector<std::thread> threads;
    for (PictureResult& result : fromPalette)
        threads.emplace_back(
            [&, &result = result] { result = loadPictureResized(indexedFile, box, background, keep); });
    for (std::thread& thread : threads)
        thread.join();
    for (const PictureResult& result : fromPalette)
        QCOMPARE(result.picture(), fromDirect.picture());
    if (box.width() < 0 || box.height() < 0) { // -1: its own size, copied rather than filtered
        QCOMPARE(fromDirect.picture().size(), decoded.size());
        QCOMPARE(fromDirect.picture(), direct);
    }
    QFile file(indexedFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), palettePng); // the map file is never rewritten
}

void PictureScalingTest::stripsOnlyForeignChunks_data()
{
    QImage transparent(6, 4, QImage::Format_Indexed8);
    transparent.setColorTable({qRgba(0, 0, 0, 0), qRgb(10, 200, 30)});
    transparent.fill(1);
    transparent.setPixel(0, 0, 0);
    const QByteArray plain = TestMaps::pngBytes(TestMaps::sampleMap(QSize(12, 8)));
    const QByteArray withTrns = TestMaps::pngBytes(transparent);
    QVERIFY(withTrns.contains("tRNS"));

    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("removed");
    QTest::newRow("plain map") << plain << plain << 0;
    QTest::newRow("w2lv") << TestMaps::withChunkAfterHeader(plain, "w2lv", "level") << plain << 1;
    QTest::newRow("waLV") << TestMaps::withChunkAfterHeader(plain, "waLV", "level") << plain << 1;
    QTest::newRow("registered ancillary kept") << withTrns << withTrns << 0;
    const QByteArray critical = TestMaps::withChunkAfterHeader(plain, "ABCD", "x");
    QTest::newRow("unknown critical kept") << critical << critical << 0;
    const QByteArray cut = TestMaps::withChunkAfterHeader(plain, "w2lv", "level").left(40);
    QTest::newRow("truncated chunk left alone") << cut << cut << 0;
    QTest::newRow("not a PNG") << QByteArray("BM just some bytes") << QByteArray("BM just some bytes") << 0;
    QTest::newRow("bytes after IEND move along")
        << TestMaps::withChunkAfterHeader(plain, "w2lv", "level") + "tail" << plain + "tail" << 1;
}

void PictureScalingTest::stripsOnlyForeignChunks()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, removed);
    QByteArray bytes = input;
    QCOMPARE(PngChunks::stripForeignChunks(bytes), removed);
    QCOMPARE(bytes, expected);
}

void PictureScalingTest::hostileFilesGiveTheError_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("tooLarge"); // else the loading error
    const QByteArray png = TestMaps::levelMapPng(TestMaps::sampleMap(QSize(120, 60)));
    const int idat = png.indexOf("IDAT");
    QByteArray corrupt = png;
    for (int i = idat + 20; i < idat + 60; ++i)
        corrupt[i] = char(corrupt[i] ^ 0x5A);
    const QByteArray garbage = TestMaps::pngBytes(TestMaps::sampleMap(QSize(8, 8))).left(33) +
                               TestMaps::chunk("IDAT", QByteArray(64, '\x7F')) + TestMaps::chunk("IEND", {});
    QByteArray hugeChunk = png;
    hugeChunk.replace(33, 4, QByteArray("\x7F\xFF\xFF\xF0", 4));
    // A file named after its row, and the size asked of it.
    const auto row = [this](const char* tag, const QByteArray& bytes, int width = 100, int height = 100,
                            bool tooLarge = false) {
        QTest::newRow(tag) << TestMaps::writeBytes(path(QLatin1String(tag) + ".png"), bytes) << width << height
                           << tooLarge;
    };

    QTest::newRow("missing file") << path(QStringLiteral("Nowhere/gone.png")) << 100 << 100 << false;
    QTest::newRow("folder named x.png") << QDir(path(QStringLiteral("x.png"))).absolutePath() << 100 << 100 << false;
    QDir().mkpath(path(QStringLiteral("x.png")));
    row("text named .png", "Not a picture at all.\n");
    row("empty file", {});
    row("truncated PNG", png.left(png.size() / 2));
    row("PNG without IEND", png.left(png.size() - 12));
    const int plte = png.indexOf("PLTE");
    row("palette missing",
        png.left(plte - 4) + png.mid(plte + 8 + int(qFromBigEndian<quint32>(png.constData() + plte - 4))));
    row("taller than its pixel data", TestMaps::withDeclaredSize(png, 120, 90));
    row("zero width in the header", TestMaps::withDeclaredSize(png, 0, 60));
    row("corrupt pixel data", corrupt);
    row("undecodable data, right CRC", garbage);
    row("chunk length past the end", hugeChunk);
    row("header claims 60000x60000", TestMaps::withDeclaredSize(png, 60000, 60000), 777, 265, true);
    // Longer than the game's largest map, with all their pixel data: refused
    // before a row is decoded (a 1,000,000 x 2 map took seconds to scale).
    const auto strip = [](int width, int height) {
        QImage indexed(width, height, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        indexed.fill(1);
        return indexed;
    };
    row("map 32769 wide", TestMaps::palettePng(strip(32769, 2), 8), 100, 100, true);
    row("map 1000000 wide", TestMaps::palettePng(strip(1000000, 2), 1), 777, 265, true);
    row("picture 32769 tall", TestMaps::pngBytes(strip(2, 32769).convertToFormat(QImage::Format_RGB32)), 100, 100,
        true);
    const QString good = TestMaps::writeBytes(path(QStringLiteral("good map.png")), png);
    QTest::newRow("zero width asked") << good << 0 << 100 << false;
    QTest::newRow("negative height asked") << good << 100 << -5 << false;
    QTest::newRow("size beyond the memory budget") << good << 12000 << 12000 << true;
    // The name in the message is the name as given, not a cleaned-up path.
    QTest::newRow("name kept as given") << m_dir.path() + QStringLiteral("//./missing .png") << 100 << 100 << false;
#ifdef Q_OS_UNIX
    const QString fifo = path(QStringLiteral("pipe.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("named pipe") << fifo << 100 << 100 << false;
#endif
}

void PictureScalingTest::hostileFilesGiveTheError()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, tooLarge);
    const PictureResult result = loadPictureResized(file, QSize(width, height), background, false);
    QVERIFY(!result.ok());
    QVERIFY(result.picture().isNull());
    QCOMPARE(result.tooLarge(), tooLarge);
    QCOMPARE(result.error().number, tooLarge ? 998 : 999);
    QCOMPARE(result.error().source, QStringLiteral("GDI+ Module"));
    QCOMPARE(result.error().description,
             (tooLarge ? QStringLiteral("Too large to preview: ") : QStringLiteral("Error loading picture ")) + file);
}

void PictureScalingTest::largestMapsPreview_data()
{
    QTest::addColumn<bool>("interlaced");
    QTest::addColumn<bool>("cutShort");
    QTest::newRow("interlaced") << true << false;
    QTest::newRow("not interlaced") << false << false;
    QTest::newRow("interlaced, cut short") << true << true;
}

void PictureScalingTest::largestMapsPreview()
{
    QFETCH(bool, interlaced);
    QFETCH(bool, cutShort);
    // 16384 x 16384, as a cavern may be: its left quarter and upper half in
    // colours of their own, the rest transparent.
    constexpr int side = 16384;
    const QList<QRgb> colours{qRgba(0, 255, 0, 0), qRgb(200, 0, 0), qRgb(0, 0, 200), qRgb(200, 200, 0)};
    const QString file = path(QStringLiteral("largest.png"));
    QVERIFY(TestMaps::writeLargeMap(file, QSize(side, side), colours, interlaced, [](int y, uchar* row) {
        std::memset(row, (y < side / 2 ? 2 : 0) + 1, side / 4);
        std::memset(row + side / 4, y < side / 2 ? 2 : 0, side - side / 4);
    }));
    if (cutShort)
        QVERIFY(QFile::resize(file, QFileInfo(file).size() * 2 / 3));
    const PictureResult result = loadPictureResized(file, QSize(777, 265), background, false);
    QCOMPARE(result.error().description, cutShort ? QStringLiteral("Error loading picture ") + file : QString());
    // The quarter ends at x 194.25 and the half at y 132.5 of the preview.
    const QRgb expected[] = {colours[3], colours[2], colours[1], background.rgb()};
    for (int i = 0; !cutShort && i < 4; ++i)
        QCOMPARE(result.picture().pixel(i % 2 ? 198 : 190, i / 2 ? 137 : 128), expected[i]);
}

void PictureScalingTest::cancellingGivesTheError_data()
{
    // A caller that no longer wants the picture (the map preview after
    // another map was chosen, or its window closed) is answered "no" a few
    // times, then "yes": the work stops and the call fails.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("answersBeforeYes"); // -1: never cancelled
    const QImage map = TestMaps::sampleMap(QSize(400, 300));
    const QByteArray level = TestMaps::levelMapPng(map);
    const QByteArray rgb = TestMaps::pngBytes(map.convertToFormat(QImage::Format_RGB32));
    QTest::newRow("game map, never") << level << -1;
    QTest::newRow("game map, at once") << level << 0;
    QTest::newRow("game map, while decoding") << level << 5;
    QTest::newRow("game map, while resampling") << level << 300;
    QTest::newRow("picture decoded by Qt, never") << rgb << -1;
    QTest::newRow("picture decoded by Qt, while decoding") << rgb << 2;
    QTest::newRow("picture decoded by Qt, while resampling") << rgb << 300;
}

void PictureScalingTest::cancellingGivesTheError()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, answersBeforeYes);
    const QString file = TestMaps::writeBytes(path(QStringLiteral("cancelled.png")), bytes);
    std::atomic<int> asked{0};
    const auto cancelled = [&asked, answersBeforeYes] { return asked++ >= answersBeforeYes && answersBeforeYes >= 0; };
    const PictureResult result = loadPictureResized(file, QSize(157, 53), background, false, cancelled);
    QCOMPARE(result.ok(), answersBeforeYes < 0);
    if (answersBeforeYes < 0) {
        // Asked all along the way: often enough to stop soon at any point.
        QVERIFY2(asked > 40, qPrintable(QString::number(asked)));
        return;
    }
    QCOMPARE(result.error().description, QStringLiteral("Error loading picture ") + file);
}

void PictureScalingTest::stripsDoNotChangeTheResult_data()
{
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QSize>("size");
    const QImage map = TestMaps::sampleMap(QSize(300, 200));
    QImage alpha = map.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < alpha.height(); ++y)
        for (int x = 0; x < alpha.width(); ++x)
            alpha.setPixel(x, y, (alpha.pixel(x, y) & 0xFFFFFF) | (uint((x * 7 + y * 3) & 0xFF) << 24));
    QImage alphaPalette = map;
    QList<QRgb> colors = map.colorTable();
    for (int i = 0; i < colors.size(); i += 3)
        colors[i] = qRgba(qRed(colors[i]), qGreen(colors[i]), qBlue(colors[i]), i % 256);
    alphaPalette.setColorTable(colors);
    QImage shortPalette = alphaPalette;
    shortPalette.setColorTable(colors.mid(0, 100)); // indexes 100 and up have no colour
    QTest::newRow("indexed, smaller") << map << QSize(77, 45);
    QTest::newRow("indexed, larger") << map.copy(0, 0, 20, 13) << QSize(55, 33);
    QTest::newRow("indexed, only narrower") << map << QSize(123, 200);
    QTest::newRow("indexed, only lower") << map << QSize(300, 57);
    QTest::newRow("alpha, smaller") << alpha << QSize(61, 90);
    QTest::newRow("palette with alpha") << alphaPalette << QSize(61, 90);
    QTest::newRow("short palette with alpha, larger") << shortPalette.copy(0, 100, 60, 30) << QSize(131, 45);
    QTest::newRow("RGB888, converted first") << map.convertToFormat(QImage::Format_RGB888) << QSize(77, 45);
    QTest::newRow("one bit, converted first") << map.convertToFormat(QImage::Format_Mono) << QSize(77, 45);
}

void PictureScalingTest::stripsDoNotChangeTheResult()
{
    QFETCH(QImage, source);
    QFETCH(QSize, size);
    BicubicResampler::Options single;
    single.strips = 1;
    const QImage whole = BicubicResampler::resample(source, size, single);
    QCOMPARE(whole.size(), size);
    QCOMPARE(whole.format(), BicubicResampler::workingFormat(source));
    // Indexed pictures are expanded through their palette by the resampler
    // itself; the result must be what Qt's own conversion gives.
    const QImage direct =
        source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QCOMPARE(BicubicResampler::resample(direct, size, single), whole);
    for (int strips : {2, 3, 5, 8, size.height()}) {
        BicubicResampler::Options options;
        options.strips = strips;
        QVERIFY2(BicubicResampler::resample(source, size, options) == whole,
                 qPrintable(QStringLiteral("%1 strips").arg(strips)));
    }
    // The same while the rows arrive a few at a time, as they are decoded.
    QImage arriving(source.size(), source.format());
    arriving.setColorTable(source.colorTable());
    uchar* const rows = arriving.bits();
    for (int strips : {1, 3}) {
        BicubicResampler::Options options;
        options.strips = strips;
        options.fill = [&source, rows, &arriving](BicubicResampler::RowProgress& progress) {
            for (int y = 0; y < source.height(); ++y) {
                std::memcpy(rows + y * arriving.bytesPerLine(), source.constScanLine(y), size_t(source.bytesPerLine()));
                if (y % 7 == 6)
                    progress.publish(y + 1);
            }
            return true;
        };
        QVERIFY2(BicubicResampler::resample(arriving, size, options) == whole,
                 qPrintable(QStringLiteral("%1 strips, rows arriving").arg(strips)));
        // Rows found damaged half-way, or (for a map as the preview decodes it)
        // memory running out: the threads waiting for the rest give up, and no
        // picture comes out.
        options.fill = [&source](BicubicResampler::RowProgress& progress) {
            progress.publish(source.height() / 2);
            return false;
        };
        QVERIFY(BicubicResampler::resample(arriving, size, options).isNull());
        options.fill = [](BicubicResampler::RowProgress&) -> bool { throw std::bad_alloc(); };
        QVERIFY(source.format() != QImage::Format_Indexed8 ||
                BicubicResampler::resample(arriving, size, options).isNull());
    }
}

void PictureScalingTest::memoryLimitIsKept()
{
    const QImage map = TestMaps::sampleMap(QSize(600, 300));
    const QImage rgb = map.convertToFormat(QImage::Format_RGB888);
    const struct {
        QImage source;
        qint64 limit;
        bool ok;
    } cases[] = {
        {map, qint64(64) << 20, true},
        {map, 4096, false}, // too little for the ring buffers
        // Converting this format takes width x height x 4 bytes before anything else.
        {rgb, 600 * 300 * 4 - 1, false},
    };
    for (const auto& c : cases)
        for (int strips : {1, 2}) {
            BicubicResampler::Options options;
            options.memoryLimit = c.limit;
            options.strips = strips;
            QCOMPARE(!BicubicResampler::resample(c.source, QSize(77, 26), options).isNull(), c.ok);
        }
}

void PictureScalingTest::cubicOvershootsButNotPastAlpha()
{
    // A step enlarged: the cubic's negative lobes dip below the dark side and
    // rise above the light side next to the step, which no bilinear or box
    // filter does. With alpha, the overshoot must not lift a colour above its
    // alpha: that is no premultiplied colour, and drawn over white it would
    // come out darker than either side.
    for (const auto& [left, right] :
         {std::pair{qRgb(64, 64, 64), qRgb(192, 192, 192)}, {qRgba(255, 255, 255, 128), qRgba(0, 0, 0, 128)}}) {
        QImage step(8, 4, qAlpha(left) == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                step.setPixel(x, y, x < 4 ? left : right);
        const QImage big = BicubicResampler::resample(step, QSize(32, 4));
        const auto* row = reinterpret_cast<const QRgb*>(big.constScanLine(1)); // premultiplied as stored
        int low = 255;
        int high = 0;
        for (int x = 0; x < big.width(); ++x) {
            low = std::min(low, qRed(row[x]));
            high = std::max(high, qRed(row[x]));
            QVERIFY2(qRed(row[x]) <= qAlpha(row[x]), qPrintable(QStringLiteral("red above alpha at %1").arg(x)));
        }
        QCOMPARE(qRed(row[0]), qRed(qPremultiply(left)));
        QCOMPARE(qRed(row[31]), qRed(qPremultiply(right)));
        if (qAlpha(left) == 255)
            QVERIFY2(low < 64 && high > 192, qPrintable(QStringLiteral("range %1..%2").arg(low).arg(high)));
    }
}

QTEST_GUILESS_MAIN(PictureScalingTest)
#include "tst_picturescaling.moc"
