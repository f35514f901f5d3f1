// SPDX-License-Identifier: GPL-3.0-or-later
// The built program on a bare terminal (no display, no Qt platform named),
// with a home of the test's own that may hold a Steam library with the game.
#include "support/TestMaps.h"
#include "support/TestReplays.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutDisplay_data();
    void withoutDisplay();
    void replayInfo_data();
    void replayInfo();
};

void TestCommandLine::withoutDisplay_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("steamGame");
    QTest::addColumn<QString>("out");   // the start of stdout; "<home>" is the home folder
    QTest::addColumn<QString>("error"); // the start of stderr
    QTest::addColumn<int>("status");
    const QString none;
    QTest::newRow("help") << "--help" << true << "Usage: " << none << 0;
    QTest::newRow("version") << "--version" << true << "quillane " << none << 0;
    QTest::newRow("list") << "--list-installs" << true
                          << "steam\t<home>/.local/share/Steam/steamapps/common/Worms Armageddon/User\n"
                          << none << 0;
    QTest::newRow("nothing to list") << "--list-installs" << false << none
                                     << "No copy of Worms Armageddon was found in the folder of this program, in the "
                                        "Steam libraries of ~/.steam/steam"
                                     << 0;
    // Refused before any window is asked for: without a display that would abort.
    QTest::newRow("unknown option") << "--no-such-option" << true << none
                                    << "quillane: Unknown option 'no-such-option'.\nUsage: " << 2;
    QTest::newRow("clip option alone") << "--out=a.mp4" << true << none
                                       << "quillane: --from, --to, --fps, --size, --best-turn and --out go with "
                                          "--make-clip.\n"
                                       << 2;
    QTest::newRow("value missing") << "--user-folder" << true << none
                                   << "quillane: Missing value after '--user-folder'.\nUsage: " << 2;
}

void TestCommandLine::withoutDisplay()
{
    QFETCH(QString, argument);
    QFETCH(bool, steamGame);
    QFETCH(QString, out);
    QFETCH(QString, error);
    QFETCH(int, status);
    QTemporaryDir home;
    const QString apps = home.filePath(QStringLiteral(".local/share/Steam/steamapps"));
    if (steamGame) {
        QVERIFY(QDir().mkpath(apps + QStringLiteral("/common/Worms Armageddon/User")));
        QFile manifest(apps + QStringLiteral("/appmanifest_217200.acf"));
        QVERIFY(manifest.open(QIODevice::WriteOnly) &&
                manifest.write("\"AppState\" { \"installdir\" \"Worms Armageddon\" }"));
        QVERIFY(QFile(apps + QStringLiteral("/common/Worms Armageddon/WA.exe")).open(QIODevice::WriteOnly));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "WINEPREFIX", "XDG_CONFIG_HOME"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), home.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUILLANE_PROGRAM), {argument});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    out.replace(QStringLiteral("<home>"), home.path());
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardOutput()).left(out.isEmpty() ? -1 : out.size()), out);
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()).left(error.isEmpty() ? -1 : error.size()), error);
}

void TestCommandLine::replayInfo_data()
{
    QTest::addColumn<QStringList>("files"); // made by the test: game, picture, pipe; others are missing
    QTest::addColumn<QStringList>("lines"); // each printed object in short
    QTest::addColumn<int>("status");
    const QString game = "map generated, scheme 2, log: Los Toros (Anna) 90 damage 1 kills Grenade=1 | "
                         "date 2025-02-28 12:35:40 | problems 0";
    QTest::newRow("a replay with its log") << QStringList{"game"} << QStringList{game} << 0;
    QTest::newRow("a monochrome map, its width")
        << QStringList{"mono"} << QStringList{"map monochrome1920, scheme 0, no log | date - - | problems 0"} << 0;
    QTest::newRow("a picture among replays")
        << QStringList{"game", "picture", "game"}
        << QStringList{game, "no replay, no log | date - - | problems 1", game} << 1;
    QTest::newRow("a pipe and a missing file")
        << QStringList{"pipe", "game", "gone"}
        << QStringList{"no replay, no log | date - - | problems 1", game, "no replay, no log | date - - | problems 1"}
        << 2;
    QTest::newRow("nothing named") << QStringList{} << QStringList{"--replay-info: name the replay files to read."}
                                   << 2;
}

void TestCommandLine::replayInfo()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, lines);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString gameName = dir.filePath("2025-02-28 12.35.40 [Online Round 1] Anna, Ben.WAgame");
    TestMaps::writeBytes(gameName, TestReplays::replay(2, TestMaps::levelData(true, 7, 0, 0), TestReplays::scheme()));
    TestMaps::writeBytes(
        dir.filePath("2025-02-28 12.35.40 [Online Round 1] Anna, Ben.log"),
        "Red: \"Anna\" as \"Los Toros\"\r\nBlue: \"Ben\" as \"Bits\"\r\n"
        "[00:00:01.00] \x95\x95\x95 Los Toros (Anna) starts turn\r\n"
        "[00:00:02.00] \x95\x95\x95 Los Toros (Anna) fires Grenade (3 sec)\r\n"
        "[00:00:09.00] \x95\x95\x95 Damage dealt: 90 (1 kill) to Bits (Ben), 9 to Los Toros (Anna)\r\n");
    TestMaps::writeBytes(dir.filePath("mono"), TestReplays::replay(1, TestMaps::levelData(1, 7, 0, 0) + "LTRI", {}));
    TestMaps::writeBytes(dir.filePath("picture.png"), TestMaps::pngBytes(TestMaps::sampleMap(QSize(64, 32))));
    QVERIFY(QProcess::execute("mkfifo", {dir.filePath("pipe")}) == 0);
    QStringList arguments{"--replay-info"};
    for (const QString& file : files)
        arguments << (file == "game" ? gameName : file == "picture" ? dir.filePath("picture.png") : dir.filePath(file));
    QProcess program;
    program.start(QStringLiteral(QUILLANE_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(20000)); // a pipe is refused, never waited on
    QCOMPARE(program.exitCode(), status);
    QStringList shown;
    const QList<QByteArray> printed = program.readAllStandardOutput().trimmed().split('\n');
    for (qsizetype i = 0; i < printed.size(); ++i) {
        const QJsonObject o = QJsonDocument::fromJson(printed[i]).object();
        if (o.isEmpty()) {
            shown << QString::fromUtf8(printed[i]);
            continue;
        }
        QCOMPARE(o.keys(), QStringList({"file", "log", "name", "problems", "replay"}));
        QCOMPARE(o["file"].toString(), arguments[i + 1]);
        const QJsonObject replay = o["replay"].toObject(), name = o["name"].toObject(), map = replay["map"].toObject();
        QString line = replay.isEmpty() ? "no replay"
                                        : "map " + map["kind"].toString() + map["width"].toVariant().toString() +
                                              ", scheme " + QString::number(replay["scheme"]["version"].toInt());
        const QJsonArray teams = o["log"]["teams"].toArray();
        if (teams.isEmpty()) {
            line += ", no log";
        } else {
            const QJsonObject t = teams[0].toObject();
            line += QStringLiteral(", log: %1 (%2) %3 damage %4 kills Grenade=%5")
                        .arg(t["team"].toString(), t["player"].toString())
                        .arg(t["damageDealt"].toInt())
                        .arg(t["kills"].toInt())
                        .arg(t["weapons"]["Grenade"].toInt());
        }
        line += QStringLiteral(" | date %1 %2 | problems %3")
                    .arg(name["date"].toString("-"), name["time"].toString("-"))
                    .arg(o["problems"].toArray().size());
        shown << line;
    }
    QCOMPARE(shown, lines);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
