// SPDX-License-Identifier: GPL-3.0-or-later
// The replay reader on replays built from the documented layout: each kind of
// map, stored schemes or none, files cut short and lengths that lie.
#include "replays/core/ReplayReader.h"
#include "support/TestMaps.h"
#include "support/TestReplays.h"

#include <QDateTime>
#include <QTest>

#include <sys/stat.h>

namespace {

using TestReplays::replay;

// A 640 x 32 map whose pixels use palette entries 0 (transparent), 1, 2 and 5.
QByteArray colourMap(const QByteArray& level)
{
    QImage image(640, 32, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(9, 9, 9), qRgb(99, 9, 9), qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(5, 5, 5)});
    image.fill(0);
    image.setPixel(3, 3, 1);
    image.setPixel(4, 3, 2);
    image.setPixel(5, 30, 5);
    const QByteArray png = TestMaps::pngBytes(image);
    return level.isEmpty() ? png : TestMaps::withChunkAfterHeader(png, "w2lv", level);
}

// The facts of a replay in one line.
QString summary(const ReplayInfo& r)
{
    if (!r.replay)
        return QStringLiteral("no replay: ") + r.problems.join(' ');
    QString out = QStringLiteral("v%1 %2 %3 | %4")
                      .arg(r.formatVersion)
                      .arg(ReplayReader::gameTypeName(r.gameType))
                      .arg(r.startedAt ? QDateTime::fromSecsSinceEpoch(*r.startedAt, Qt::UTC).toString(Qt::ISODate)
                                       : QStringLiteral("-"))
                      .arg(ReplayReader::mapKindName(r.mapKind));
    if (r.mapSize.isValid())
        out += QStringLiteral(" %1x%2 %3 colours").arg(r.mapSize.width()).arg(r.mapSize.height()).arg(r.colours);
    if (r.hasLevel)
        out += QStringLiteral(" %1 water %2").arg(r.level.cavern ? "cavern" : "island").arg(r.level.waterLevel);
    out += QStringLiteral(" | scheme %1").arg(r.scheme.size());
    if (!r.problems.isEmpty())
        out += QStringLiteral(" | ") + r.problems.join(' ');
    return out;
}

} // namespace

class ReplaysCoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data();
    void read();
    void cutAtEveryChunkBoundary();
    void onlyRegularFiles();
};

void ReplaysCoreTest::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("facts");
    const QByteArray scheme = TestReplays::scheme();
    const QByteArray generated = TestMaps::levelData(true, 7, 50, 20);
    const QString start = "v20 normal 2025-02-28T12:35:40Z | ";

    QTest::newRow("colour map with its settings") << replay(3, colourMap(TestMaps::levelData(true, 55, 0, 0)), scheme)
                                                  << start + "colour 640x32 3 colours cavern water 55 | scheme 297";
    QTest::newRow("colour map, plain picture")
        << replay(3, colourMap({}), {}) << start + "colour 640x32 3 colours | scheme 0";
    QTest::newRow("colour map that is no picture")
        << replay(3, "GIF89a", scheme) << start + "colour | scheme 297 | The colour map is not a PNG picture.";
    QTest::newRow("generated, mission") << replay(2, generated, scheme, 0, 2)
                                        << "v20 mission 1970-01-01T00:00:00Z | generated cavern water 7 | "
                                           "scheme 297";
    QTest::newRow("generated of the wrong length")
        << replay(2, generated.left(39), {}, 1740746140, 3)
        << "v20 training 2025-02-28T12:35:40Z | generated | scheme 0 | The generated map's settings are 39 bytes, "
           "not 40.";
    const QByteArray bit = TestMaps::levelData(false, 30, 44, 11) + "LTRI" + QByteArray(500, '\x55');
    const QString mono = start + "monochrome 1920x696 -1 colours island water 30 | scheme ";
    QTest::newRow("monochrome") << replay(1, bit, scheme) << mono + "297";
    QTest::newRow("monochrome without its land")
        << replay(1, bit.left(40), {}) << mono + "0 | The monochrome map holds no picture of its land.";
    QTest::newRow("monochrome cut short")
        << replay(1, bit.left(30), {})
        << start + "monochrome | scheme 0 | The monochrome map's settings are cut short (30 of 40 bytes).";
    QTest::newRow("a module's map, unknown game type") << replay(77, "module data", scheme, 1740746140, 9)
                                                       << "v20 unknown 2025-02-28T12:35:40Z | unknown | "
                                                          "scheme 297";
    QTest::newRow("not a replay") << QByteArray("PK\3\4")
                                  << "no replay: The file is not a replay: it does not "
                                     "start with \"WA\".";
    QTest::newRow("empty") << QByteArray() << "no replay: The file is not a replay: it does not start with \"WA\".";

    // Lengths that lie.
    QByteArray longMap = replay(2, generated, {});
    qToLittleEndian<quint32>(0xFFFFFFF0, longMap.data() + 4);
    QTest::newRow("map longer than the file")
        << longMap
        << "v20 unknown - | generated | scheme 0 | The file ends inside the map (147 of 4294967276 "
           "bytes). The file ends before the game's settings.";
    QByteArray shortMap = replay(2, generated, {});
    qToLittleEndian<quint32>(3, shortMap.data() + 4);
    QTest::newRow("map shorter than its type")
        << shortMap << "v20 unknown - | unknown | scheme 0 | The map's length (3) is shorter than its type.";
    QByteArray longSettings = replay(2, generated, scheme, 1740746140, 1, {});
    qToLittleEndian<quint32>(0x7FFFFFFF, longSettings.data() + 12 + 40);
    QTest::newRow("settings longer than the file")
        << longSettings << start + "generated cavern water 7 | scheme 297 | The file ends inside the game's settings.";
    QByteArray longScheme = replay(2, generated, scheme);
    qToLittleEndian<quint32>(100000, longScheme.data() + 12 + 40 + 4 + 16);
    QTest::newRow("scheme longer than the settings")
        << longScheme
        << start + "generated cavern water 7 | scheme 320 | The stored scheme is cut short (320 of "
                   "100000 bytes).";
    QByteArray otherVersion = replay(2, generated, {});
    otherVersion[2] = 19;
    QTest::newRow("two versions")
        << otherVersion
        << "v19 normal 2025-02-28T12:35:40Z | generated cavern water 7 | scheme 0 | The settings "
           "give format version 20, the file's start 19.";
    QByteArray notScheme = replay(2, generated, "SCHX" + scheme.mid(4));
    QTest::newRow("stored scheme without its mark")
        << notScheme
        << start + "generated cavern water 7 | scheme 297 | The stored scheme does not start with "
                   "\"SCHM\".";
}

void ReplaysCoreTest::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, facts);
    const ReplayInfo fromBytes = ReplayReader::readBytes(bytes);
    QCOMPARE(summary(fromBytes), facts);
    // The file gives what its bytes give, and its stored parts byte for byte.
    QTemporaryDir dir;
    const QString path = TestMaps::writeBytes(dir.filePath("game.WAgame"), bytes);
    ReplayInfo fromFile;
    QString error;
    QVERIFY(ReplayReader::readFile(path, &fromFile, &error));
    QCOMPARE(summary(fromFile), facts);
    QCOMPARE(fromFile.mapData, fromBytes.mapData);
    QCOMPARE(fromFile.scheme, fromBytes.scheme);
    if (fromFile.mapKind != ReplayInfo::MapKind::Unknown && fromFile.mapComplete)
        QVERIFY(bytes.contains(fromFile.mapData));
}

void ReplaysCoreTest::cutAtEveryChunkBoundary()
{
    const QByteArray map = colourMap(TestMaps::levelData(false, 20, 0, 0));
    const QByteArray whole = replay(3, map, TestReplays::scheme());
    const qsizetype settingsAt = 12 + map.size();
    const qsizetype schemeAt = settingsAt + 4 + 20;
    const qsizetype gameAt = whole.size() - 64;
    const QList<QPair<qsizetype, QString>> cuts{
        {2, "The file ends before its format version."},
        {4, "The file ends before its map."},
        {12, "The file ends inside the map (0 of"},
        {settingsAt - 1, "The file ends inside the map ("},
        {settingsAt, "The file ends before the game's settings."},
        {settingsAt + 4, "The file ends inside the game's settings."},
        {schemeAt, "The file ends inside the game's settings. The stored scheme is cut short (0 of 297 bytes)."},
        {gameAt, "The file ends after the game's settings: the game itself is missing."},
    };
    for (const auto& [size, problem] : cuts) {
        const ReplayInfo info = ReplayReader::readBytes(whole.left(size));
        QVERIFY2(info.replay && info.problems.join(' ').startsWith(problem),
                 qPrintable(QString::number(size) + ": " + info.problems.join(' ')));
        // What lies before the cut is still read.
        QCOMPARE(info.hasMap, size >= 12);
        QCOMPARE(info.mapSize.isValid(), size >= 12 + 33);
        QCOMPARE(info.startedAt.has_value(), size >= settingsAt + 4 + 16);
    }
    QVERIFY(ReplayReader::readBytes(whole).problems.isEmpty());
}

void ReplaysCoreTest::onlyRegularFiles()
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.WAgame"));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    ReplayInfo info;
    QString error;
    for (const QString& path : {QString::fromLocal8Bit(fifo), dir.path(), QStringLiteral("/dev/zero")}) {
        QVERIFY(!ReplayReader::readFile(path, &info, &error)); // returns at once, pipe or not
        QVERIFY(error == "it is not a regular file" || error == "it is a folder");
    }
}

QTEST_GUILESS_MAIN(ReplaysCoreTest)
#include "tst_replays_core.moc"
