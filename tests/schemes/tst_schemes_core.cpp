// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme reader on schemes of each version written here, the comparison
// of two schemes, and the --scheme-info command run through the program.
#include "SchemeBytes.h"
#include "schemes/core/Scheme.h"
#include "schemes/core/SchemeCompare.h"
#include "schemes/core/SchemeJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSchemesCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data();
    void read();
    void compare();
    void schemeInfo_data();
    void schemeInfo();
};

namespace {
constexpr int kExtended = 0x129;
constexpr int kDoubleTimeStackLimit = kExtended + 109; // the last extended option of 3.8
} // namespace

void TestSchemesCore::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("key");      // an option or extended option
    QTest::addColumn<QString>("text");     // its value in words
    QTest::addColumn<QJsonValue>("json");  // its value in the JSON object
    QTest::addColumn<int>("superWeapons"); // -1: none in the JSON object
    QTest::addColumn<QStringList>("problems");
    const QStringList none;
    const QString turn = QStringLiteral("turnTime");
    QTest::newRow("version 1") << schemeBytes(1, 221) << turn << "45 s" << QJsonValue(45) << -1 << none;
    QTest::newRow("version 2 anti-stockpiling") << schemeBytes(2, 297, {{0x0D, 2}}) << "stockpiling"
                                                << "anti" << QJsonValue("anti") << 19 << none;
    QTest::newRow("version 3 short: the rest default") << schemeBytes(3, 339) << "doubleTimeStackLimit"
                                                       << "1" << QJsonValue(1) << 19 << none;
    QTest::newRow("version 3 tri-state default")
        << schemeBytes(3, 407, {{kExtended + 39, 0x80}}) << "undeterminedCrates"
        << "default" << QJsonValue("default") << 19 << none;
    QTest::newRow("version 3 whole") << schemeBytes(3, 407, {{kDoubleTimeStackLimit, 3}}) << "doubleTimeStackLimit"
                                     << "3" << QJsonValue(3) << 19 << none;
    QTest::newRow("version 3 fixed point")
        << schemeBytes(3, 407, {{kExtended + 8, 0x00}, {kExtended + 9, 0x80}, {kExtended + 10, 0x01}}) << "gravity"
        << "1.5" << QJsonValue(1.5) << 19 << none;
    QTest::newRow("version 3 longer than 3.8 writes")
        << schemeBytes(3, 420) << turn << "45 s" << QJsonValue(45) << 19 << none;
    QTest::newRow("turn time 127") << schemeBytes(2, 297, {{0x1B, 127}}) << "turnTimeCountsUp"
                                   << "127 s" << QJsonValue(false) << 19 << none;
    QTest::newRow("turn time 128") << schemeBytes(2, 297, {{0x1B, 128}}) << "turnTimeCountsUp"
                                   << "infinite (counts up)" << QJsonValue(true) << 19 << none;
    QTest::newRow("round time 127") << schemeBytes(2, 297, {{0x1C, 127}}) << "roundTime"
                                    << "127 min" << QJsonValue(127) << 19 << none;
    QTest::newRow("round time 128") << schemeBytes(2, 297, {{0x1C, 128}}) << "roundTimeSeconds"
                                    << "128 s" << QJsonValue(128) << 19 << none;
    QTest::newRow("round time 255") << schemeBytes(2, 297, {{0x1C, 255}}) << "roundTimeSeconds"
                                    << "1 s" << QJsonValue(1) << 19 << none;
    QTest::newRow("wins 0 means 1") << schemeBytes(1, 221, {{0x1D, 0}}) << "wins"
                                    << "1" << QJsonValue(1) << -1 << none;
    QTest::newRow("random mine delay") << schemeBytes(1, 221, {{0x17, 4}}) << "mineDelay"
                                       << "random" << QJsonValue("random") << -1 << none;
    QTest::newRow("version 1 a byte short") << schemeBytes(1, 220) << turn << "45 s" << QJsonValue(45) << -1
                                            << QStringList{"A version-1 scheme is 221 bytes; this file is 220 bytes."};
    QTest::newRow("version 2 a byte long") << schemeBytes(2, 298) << turn << "45 s" << QJsonValue(45) << 19
                                           << QStringList{"A version-2 scheme is 297 bytes; this file is 298 bytes."};
    QTest::newRow("version 3 shorter than version 2")
        << schemeBytes(3, 250) << "doubleTimeStackLimit"
        << "1" << QJsonValue(1) << 7
        << QStringList{"A version-3 scheme is at least 297 bytes; this file is 250 bytes."};
    QTest::newRow("cut inside the options")
        << schemeBytes(1, 0x1C) << turn << "45 s" << QJsonValue(45) << -1
        << QStringList{"A version-1 scheme is 221 bytes; this file is 28 bytes.",
                       "The options end early: those past the end of the file are missing."};
    QTest::newRow("unknown version") << schemeBytes(4, 297) << turn << "45 s" << QJsonValue(45) << -1
                                     << QStringList{"Version 4 is no scheme version the game knows (1, 2 or 3)."};
    QTest::newRow("stockpiling past its range")
        << schemeBytes(1, 221, {{0x0D, 3}}) << "stockpiling"
        << "3" << QJsonValue("3") << -1 << QStringList{"Stockpiling is 3; the game knows 0 to 2."};
    QTest::newRow("tri-state past its range")
        << schemeBytes(3, 407, {{kExtended + 39, 2}}) << "undeterminedCrates"
        << "on" << QJsonValue(true) << 19
        << QStringList{"Undetermined crates is 2; the game knows 0, 1 and 128 (its default)."};
    QByteArray notScheme = schemeBytes(2, 297);
    notScheme[3] = 'X';
    QTest::newRow("no signature") << notScheme << QString() << QString() << QJsonValue() << -1
                                  << QStringList{
                                         "The file does not begin with \"SCHM\" and a version: it is no game scheme."};
    QTest::newRow("too large") << schemeBytes(3, 70000) << QString() << QString() << QJsonValue() << -1
                               << QStringList{"The file is larger than any game scheme (64 KiB)."};
}

void TestSchemesCore::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QJsonValue, json);
    QFETCH(int, superWeapons);
    QFETCH(QStringList, problems);
    const Scheme scheme = SchemeReader::read(bytes);
    QCOMPARE(scheme.problems, problems);
    QCOMPARE(scheme.readable(), problems.isEmpty());
    const QJsonObject object = SchemeJson::toJson(scheme);
    QCOMPARE(object.value(QStringLiteral("problems")).toArray().size(), problems.size());
    QCOMPARE(object.contains(QStringLiteral("superWeapons")), superWeapons >= 0);
    QCOMPARE(object.value(QStringLiteral("superWeapons")).toArray().size(), qMax(superWeapons, 0));
    if (key.isEmpty())
        return;
    const QJsonArray weapons = object.value(QStringLiteral("weapons")).toArray();
    QCOMPARE(weapons.size(), qBound(0, (static_cast<int>(bytes.size()) - 0x29) / 4, 45)); // only whole ones
    if (!weapons.isEmpty())
        QCOMPARE(weapons.at(0).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Bazooka"));
    const QJsonObject options = object.value(QStringLiteral("options")).toObject();
    const QJsonObject extended = object.value(QStringLiteral("extended")).toObject();
    QCOMPARE(options.contains(key) ? options.value(key) : extended.value(key), json);
    // The words are those of the setting the JSON member belongs to.
    const SchemeSetting* setting = nullptr;
    for (const QList<SchemeSetting>* list : {&scheme.options, &scheme.extended}) {
        for (const SchemeSetting& s : *list) {
            if (s.json.contains(key))
                setting = &s;
        }
    }
    QVERIFY(setting);
    QCOMPARE(setting->text, text);
}

void TestSchemesCore::compare()
{
    const Scheme mine = SchemeReader::read(schemeBytes(2, 297));
    const Scheme league = SchemeReader::read(schemeBytes(2, 297, {{0x1B, 60}, {0x0D, 2}, {0x29, 10}}));
    QCOMPARE(SchemeCompare::differences(mine, mine).size(), 0);
    const QList<SchemeCompare::Difference> differences = SchemeCompare::differences(mine, league);
    QStringList seen;
    for (const SchemeCompare::Difference& d : differences)
        seen << d.group + QStringLiteral(" | ") + d.label + QStringLiteral(": ") + d.left + QStringLiteral(" / ") +
                    d.right;
    QCOMPARE(seen, (QStringList{"Game options | Stockpiling: off / anti", "Game options | Turn time: 45 s / 60 s",
                                "Weapons | Bazooka: ammunition: 1 / infinite"}));
}

void TestSchemesCore::schemeInfo_data()
{
    QTest::addColumn<QStringList>("files"); // good.wsc, junk.wsc and missing.wsc as their names say
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines"); // per line: the file and what it holds
    QTest::newRow("every file a scheme") << QStringList{"good.wsc", "good.wsc"} << 0
                                         << QStringList{"good.wsc 2 0", "good.wsc 2 0"};
    QTest::newRow("one no scheme") << QStringList{"good.wsc", "junk.wsc"} << 1
                                   << QStringList{"good.wsc 2 0", "junk.wsc - 1"};
    QTest::newRow("one unreadable, order kept") << QStringList{"missing.wsc", "junk.wsc", "good.wsc"} << 2
                                                << QStringList{"missing.wsc error", "junk.wsc - 1", "good.wsc 2 0"};
}

void TestSchemesCore::schemeInfo()
{
    QFETCH(QStringList, files);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    QFile good(dir.filePath(QStringLiteral("good.wsc")));
    QVERIFY(good.open(QIODevice::WriteOnly) && good.write(schemeBytes(2, 297)) == 297);
    good.close();
    QFile junk(dir.filePath(QStringLiteral("junk.wsc")));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a scheme") > 0);
    junk.close();
    QStringList arguments{QStringLiteral("--scheme-info")};
    for (const QString& file : files)
        arguments << dir.filePath(file);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUILLANE_BINARY), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), status);
    QStringList seen;
    const QList<QByteArray> output = program.readAllStandardOutput().trimmed().split('\n');
    for (const QByteArray& line : output) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        const QString file = object.value(QStringLiteral("file")).toString().mid(dir.path().size() + 1);
        if (object.contains(QStringLiteral("error"))) {
            seen << file + QStringLiteral(" error");
            continue;
        }
        seen << QStringLiteral("%1 %2 %3")
                    .arg(file, object.contains(QStringLiteral("version"))
                                   ? QString::number(object.value(QStringLiteral("version")).toInt())
                                   : QStringLiteral("-"))
                    .arg(object.value(QStringLiteral("problems")).toArray().size());
        if (object.contains(QStringLiteral("version"))) {
            const QJsonObject options = object.value(QStringLiteral("options")).toObject();
            QCOMPARE(options.value(QStringLiteral("turnTime")).toInt(), 45);
            QCOMPARE(options.value(QStringLiteral("turnTimeCountsUp")).toBool(), false);
            QCOMPARE(object.value(QStringLiteral("size")).toInt(), 297);
        }
    }
    QCOMPARE(seen, lines);
}

QTEST_GUILESS_MAIN(TestSchemesCore)
#include "tst_schemes_core.moc"
