// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapCheck.h"
#include "maps/core/MapDrag.h"
#include "maps/core/MapFolder.h"
#include "maps/core/MapNames.h"
#include "maps/core/MapThumbnails.h"
#include "support/TestFolders.h"
#include "support/TestMaps.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUrl>
#include <QtEndian>

#include <cstring>

namespace {

// An 8-bit palette map of `size` whose pixels use entries 1..colours (and 0).
QByteArray indexedMap(QSize size, int colours, const QByteArray& chunkData = {})
{
    QImage image(size, QImage::Format_Indexed8);
    QList<QRgb> table{qRgb(0, 0, 0)};
    for (int i = 1; i <= colours; ++i)
        table << qRgb(i, 255 - i, 100);
    image.setColorTable(table);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.scanLine(y)[x] = uchar((x + y * size.width()) % (colours + 1));
    const QByteArray png = TestMaps::palettePng(image, 8);
    return chunkData.isNull() ? png : TestMaps::withChunkAfterHeader(png, "waLV", chunkData);
}

const QString kNoLoad = QStringLiteral(": the game will not load this map.");

} // namespace

// A drag: our own type's data ("" for none) and its addresses, and what it is read as.
struct DragCase {
    const char* row;
    QString own;
    QStringList urls;
    MapDrag::Kind kind;
    QString map;
    QStringList files;
};
Q_DECLARE_METATYPE(DragCase)

// The file operations are tested through the window. Here: the checks, the
// naming rules in full, drags the window cannot easily be handed (our own type
// naming a file outside this maps root, web addresses), links in the tree, and
// the thumbnails.
class TestMapsCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void report_data();
    void report();
    void commandExitStatus();
    void thumbnailsInTheSharedCache();
    void names_data();
    void names();
    void readDrag_data();
    void readDrag();
    void linksInTheTree_data();
    void linksInTheTree();
};

void TestMapsCheck::report_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line"); // "": not the point of the row
    QTest::addColumn<QStringList>("findings");
    QTest::addColumn<bool>("loads");
    const QByteArray cavern = TestMaps::levelData(true, 0, 0, 0, -1), island = TestMaps::levelData(false, 0, 0, 0, -1);
    const QSize s(640, 32);
    auto colours = [s](int n) { return indexedMap(s, n); };
    const QString sprites = QStringLiteral(" colours are more than 64: the game leaves out the background sprites.");
    const QString black =
        QStringLiteral(" colours are more than 96: the game shows a black background behind this map.");
    // clang-format off
    QTest::newRow("cavern, 41st byte") << indexedMap(s, 5, TestMaps::levelData(true, 20, 50, 10, 9))
        << "cavern, 640 × 32, 5 colours, water level 20, objects 50 %, bridges 10 %, 9 worm places" << QStringList()
        << true;
    QTest::newRow("island, 40 bytes") << indexedMap(s, 1, island)
        << "island, 640 × 32, 1 colour, water level 0, objects 0 %, bridges 0 %, 18 worm places" << QStringList()
        << true;
    QTest::newRow("wrong length") << indexedMap(s, 3, QByteArray(12, '\1'))
        << "640 × 32, 3 colours, game settings of the wrong length (12 bytes, not 40 or 41)" << QStringList() << true;
    QTest::newRow("640 x 32, no chunk") << colours(8) << "640 × 32, 8 colours, no game settings (a plain picture)"
        << QStringList() << true;
    // Interlaced maps are counted pass by pass, never decoded whole.
    QTest::newRow("interlaced") << TestMaps::interlacedPng(QImage::fromData(colours(9)))
        << "640 × 32, 9 colours, no game settings (a plain picture)" << QStringList() << true;
    QTest::newRow("truecolour") << TestMaps::pngBytes(QImage(s, QImage::Format_RGB32))
        << "640 × 32, truecolour, no game settings (a plain picture)"
        << QStringList{"The picture is truecolour, not 8-bit indexed" + kNoLoad} << false;
    QTest::newRow("not a picture") << QByteArray("just text") << "not a PNG picture"
        << QStringList{"The file is not a PNG picture" + kNoLoad} << false;
    QTest::newRow("1920 x 696") << indexedMap(QSize(1920, 696), 8, island) << "" << QStringList() << true;
    QTest::newRow("width 1921") << indexedMap(QSize(1921, 696), 8, island) << ""
        << QStringList{"Width 1921 is not a multiple of 8" + kNoLoad} << false;
    QTest::newRow("632 x 32") << indexedMap(QSize(632, 32), 8) << ""
        << QStringList{"632 × 32 is smaller than the smallest map, 640 × 32" + kNoLoad} << false;
    QTest::newRow("island too wide") << indexedMap(QSize(28416, 32), 2, island) << ""
        << QStringList{"28416 × 32 is larger than an island can be, 28408 × 30552" + kNoLoad} << false;
    QTest::newRow("cavern as wide") << indexedMap(QSize(28416, 32), 2, cavern) << "" << QStringList() << true;
    QTest::newRow("64 colours") << colours(64) << "" << QStringList() << true;
    QTest::newRow("65 colours") << colours(65) << "" << QStringList{"65" + sprites} << true;
    QTest::newRow("96 colours") << colours(96) << "" << QStringList{"96" + sprites} << true;
    QTest::newRow("97 colours") << colours(97) << "" << QStringList{"97" + black} << true;
    QTest::newRow("112 colours") << colours(112) << "" << QStringList{"112" + black} << true;
    QTest::newRow("113 colours") << colours(113) << ""
        << QStringList{"113 colours are more than 112" + kNoLoad} << false;
    QTest::newRow("cut short") << colours(8).left(120) << ""
        << QStringList{"The picture data is damaged or cut short" + kNoLoad} << false;
    // clang-format on
}

void TestMapsCheck::report()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    QFETCH(QStringList, findings);
    QFETCH(bool, loads);
    const MapCheck::Report report = MapCheck::inspectBytes(bytes);
    if (!line.isEmpty())
        QCOMPARE(report.settingsLine(), line);
    QCOMPARE(report.findings, findings);
    QCOMPARE(report.loads, loads);
}

// Through the program itself, with no display to open a window on.
void TestMapsCheck::commandExitStatus()
{
    QTemporaryDir dir;
    const QString good = TestMaps::writeBytes(dir.filePath("good.png"), indexedMap(QSize(640, 32), 4));
    const QString bad = TestMaps::writeBytes(dir.filePath("bad.png"), indexedMap(QSize(644, 32), 4));
    const QString missing = dir.filePath("missing.png");
    // Neither waited on nor read without end; a sparse map of a gigabyte is
    // read only as far as its data goes.
    const QString fifo = dir.filePath("fifo.png"), zero = dir.filePath("zero.png"), huge = dir.filePath("huge.png");
    QVERIFY(QProcess::execute("mkfifo", {fifo}) == 0 && QFile::link("/dev/zero", zero));
    QFile hugeFile(TestMaps::writeBytes(huge, indexedMap(QSize(640, 32), 4).left(200)));
    QVERIFY(hugeFile.resize(qint64(1) << 30));
    const QString notRegular = ": cannot be read: it is not a regular file (a pipe, a device or a socket)";
    const struct {
        QStringList files;
        int status;
        QString firstLine;
    } cases[] = {
        {{good}, 0, good + ": 640 × 32, 4 colours, no game settings (a plain picture)"},
        {{good, bad}, 1, good + ": 640 × 32, 4 colours, no game settings (a plain picture)"},
        {{missing, bad}, 2, missing + ": cannot be read: No such file or directory"},
        {{fifo}, 2, fifo + notRegular},
        {{zero}, 2, zero + notRegular},
        {{huge}, 1, huge + ": 640 × 32, 8-bit indexed, no game settings (a plain picture)"},
    };
    for (const auto& c : cases) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLANE_BINARY), QStringList{"--check-map"} + c.files);
        QVERIFY(process.waitForFinished(20000));
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
        QCOMPARE(process.exitCode(), c.status);
        QCOMPARE(lines.first(), c.firstLine);
    }
}

void TestMapsCheck::thumbnailsInTheSharedCache()
{
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    const QByteArray mapBytes = indexedMap(QSize(1920, 696), 8, TestMaps::levelData(false, 0, 0, 0, -1));
    const QString map = TestMaps::writeBytes(dir.filePath("My Maps/Dune #1.png"), mapBytes);
    const QByteArray uri = "file://" + QUrl::toPercentEncoding(map, "/");
    const QString expected = dir.filePath("cache/thumbnails/normal/") +
                             QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";

    auto keys = [&] {
        const QImage cached(expected);
        return QStringList{cached.text("Thumb::URI"), cached.text("Thumb::MTime")};
    };
    bool made = false;
    // Made, reused, and made anew once the map's modification time changed.
    for (const auto& [step, shift, wantMade] :
         {std::tuple{"first", 0, true}, {"again", 0, false}, {"changed", 5, true}}) {
        if (shift) {
            QFile f(map);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QFileInfo(map).lastModified().addSecs(shift), QFileDevice::FileModificationTime));
        }
        const QImage thumb = MapThumbnails::thumbnail(map, MapThumbnails::Size::Normal, &made);
        QVERIFY2(made == wantMade, step);
        QCOMPARE(thumb.size(), QSize(128, 46));
        QCOMPARE(keys(), (QStringList{QString::fromLatin1(uri),
                                      QString::number(QFileInfo(map).lastModified().toSecsSinceEpoch())}));
    }
    QFile f(map);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), mapBytes); // the map itself is never written
    QVERIFY(MapThumbnails::thumbnail(dir.filePath("gone.png"), MapThumbnails::Size::Normal).isNull());
    // The largest interlaced cavern, in one colour: averaged pass by pass.
    const QString largest = dir.filePath("largest.png");
    QVERIFY(TestMaps::writeLargeMap(largest, QSize(16384, 16384), {qRgb(9, 99, 199)}, true,
                                    [](int, uchar* row) { std::memset(row, 0, 16384); }));
    QCOMPARE(MapThumbnails::thumbnail(largest, MapThumbnails::Size::Normal).pixel(64, 64), qRgb(9, 99, 199));
}

void TestMapsCheck::names_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("renameDefault");

    const char* rows[][3] = {
        {"Dune.old.png", "Dune", "Dune.old"}, {"Arena.Png", "Arena", "Arena.Png"}, {"a.png.png", "a", "a"},
        {"x.PNG.bak.png", "x", "x.bak"},      {"Island", "Island", "Island"},      {".png", "", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QString(r[0]) << QString(r[1]) << QString(r[2]);
}

void TestMapsCheck::names()
{
    QFETCH(QString, file);
    QFETCH(QString, shown);
    QFETCH(QString, renameDefault);
    QCOMPARE(MapNames::displayName(file), shown);
    QCOMPARE(MapNames::renameDefault(file), renameDefault);
}

void TestMapsCheck::readDrag_data()
{
    QTest::addColumn<DragCase>("c");
    using K = MapDrag::Kind;
    const QString s = QStringLiteral("/g/User/SavedLevels"), dune = s + "/Caverns/Dune.png";
    const QString other = QStringLiteral("/h/User/SavedLevels/Dune.png");
    const DragCase rows[] = {
        // clang-format off
        {"own drag", dune, {"file://" + dune}, K::OwnMap, dune, {}},
        {"own type from another User folder", other, {"file://" + other}, K::OutsideFiles, "", {other}},
        {"own type naming the root itself", s, {}, K::Nothing, "", {}},
        {"own type climbing out", s + "/../Games/x.WAgame", {}, K::Nothing, "", {}},
        {"desktop files", "", {"file:///home/me/a.png", "file:///home/me/b b.txt"}, K::OutsideFiles, "",
         {"/home/me/a.png", "/home/me/b b.txt"}},
        {"desktop file inside SavedLevels", "", {"file://" + s + "/x.png"}, K::OutsideFiles, "", {s + "/x.png"}},
        {"web addresses only", "", {"https://www.wmdb.org/"}, K::Nothing, "", {}},
        {"web and local", "", {"https://www.wmdb.org/", "file:///tmp/m.png"}, K::OutsideFiles, "", {"/tmp/m.png"}},
        // clang-format on
    };
    for (const DragCase& r : rows)
        QTest::newRow(r.row) << r;
}

void TestMapsCheck::readDrag()
{
    QFETCH(DragCase, c);
    QMimeData mime;
    if (!c.own.isEmpty())
        mime.setData(MapDrag::mimeType(), c.own.toUtf8());
    if (!c.urls.isEmpty())
        mime.setUrls(QUrl::fromStringList(c.urls));
    mime.setText(QStringLiteral("some text"));
    const MapDrag::Drag drag = MapDrag::read(mime, QStringLiteral("/g/User/SavedLevels"));
    QCOMPARE(drag.kind, c.kind);
    QCOMPARE(drag.mapPath, c.map);
    QCOMPARE(drag.files, c.files);
}

void TestMapsCheck::linksInTheTree_data()
{
    QTest::addColumn<QStringList>("steps"); // folders entered one after the other
    QTest::addColumn<QString>("relative");
    QTest::newRow("a link to another disk") << QStringList{"Away"} << "/Away";
    QTest::newRow("a link back to the folder above") << QStringList{"Caves", "Deep", "Up"} << "/Caves";
    QTest::newRow("a link back to the root") << QStringList{"Caves", "Deep", "Top", "Caves", "Deep", "Top"} << "/";
}

void TestMapsCheck::linksInTheTree()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, relative);
    TestUserFolder f;
    f.makeDir("SavedLevels/Caves/Deep");
    f.makeDir("Disk");
    QVERIFY(QFile::link(f.path("Disk"), f.path("SavedLevels/Away")));
    QVERIFY(QFile::link(f.path("SavedLevels/Caves"), f.path("SavedLevels/Caves/Deep/Up")));
    QVERIFY(QFile::link(f.path("SavedLevels"), f.path("SavedLevels/Caves/Deep/Top")));
    MapFolder folder;
    for (const QString& step : steps)
        folder.enter(f.path("SavedLevels"), step);
    QCOMPARE(folder.relative(), relative);
}

QTEST_GUILESS_MAIN(TestMapsCheck)
#include "tst_maps_check.moc"
