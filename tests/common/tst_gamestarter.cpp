#include "common/core/GameStarter.h"
#include "support/FakeLauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("MZ");
}

// "<root>" in a test row is the temporary folder.
QString expand(QString text, const QString& root)
{
    return text.replace(QLatin1String("<root>"), root);
}

QStringList expand(QStringList list, const QString& root)
{
    for (QString& s : list)
        s = expand(s, root);
    return list;
}

} // namespace

class TestGameStarter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void game_data();
    void game();
    void tool_data();
    void tool();
    void processLauncher();

private:
    QTemporaryDir m_root;
};

// Three copies of the game: one in a plain folder, one in a Wine prefix, one
// in a Steam library; each with WA.exe and WormKit.exe.
void TestGameStarter::initTestCase()
{
    const QString root = m_root.path();
    for (const QString& game : {QStringLiteral("/plain/WA"), QStringLiteral("/pfx/drive_c/GOG Games/WA"),
                                QStringLiteral("/steam/steamapps/common/Worms Armageddon")}) {
        touch(root + game + QStringLiteral("/WA.exe"));
        touch(root + game + QStringLiteral("/WormKit.exe"));
        QDir().mkpath(root + game + QStringLiteral("/User"));
    }
    touch(root + QStringLiteral("/pfx/system.reg"));
    QDir().mkpath(root + QStringLiteral("/flatpak/app/com.valvesoftware.Steam"));
    // A folder with drive_c but no system.reg is no prefix.
    touch(root + QStringLiteral("/fake/drive_c/WA/WA.exe"));
    QDir().mkpath(root + QStringLiteral("/fake/drive_c/WA/User"));
}

void TestGameStarter::game_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QStringList>("programs"); // on the PATH
    QTest::addColumn<bool>("flatpakSteam");    // the Steam Flatpak is installed
    QTest::addColumn<bool>("wormKit");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QStringList>("command"); // program, then arguments
    QTest::addColumn<QString>("workingFolder");
    QTest::addColumn<QString>("prefix"); // WINEPREFIX, "" when unset

    using K = GameInstall::Kind;
    using R = Launcher::Result;
    const QString steamUser = "<root>/steam/steamapps/common/Worms Armageddon/User";
    const QStringList all{"steam", "flatpak", "wine"};
    const QStringList applaunch{"-applaunch", "217200", "/play", "C:\\a b.WAgame"};
    QTest::newRow("steam") << int(K::Steam) << steamUser << false << all << true << false << int(R::Started)
                           << QStringList{"/bin/steam"} + applaunch << QString() << QString();
    QTest::newRow("steam wormkit") << int(K::Steam) << steamUser << false << all << true << true << int(R::Started)
                                   << QStringList{"/bin/steam", "-applaunch", "217200",
                                                  "/wk",        "/play",      "C:\\a b.WAgame"}
                                   << QString() << QString();
    QTest::newRow("steam flatpak") << int(K::Steam) << steamUser << false << QStringList{"flatpak", "wine"} << true
                                   << false << int(R::Started)
                                   << QStringList{"/bin/flatpak", "run", "com.valvesoftware.Steam"} + applaunch
                                   << QString() << QString();
    QTest::newRow("flatpak without steam") << int(K::Steam) << steamUser << false << all.mid(1) << false << false
                                           << int(R::NoSteam) << QStringList() << QString() << QString();
    QTest::newRow("steam app without flatpak") << int(K::Steam) << steamUser << false << QStringList{"wine"} << true
                                               << false << int(R::NoSteam) << QStringList() << QString() << QString();
    QTest::newRow("wine prefix") << int(K::Wine) << "<root>/pfx/drive_c/GOG Games/WA/User" << false << all << false
                                 << false << int(R::Started)
                                 << QStringList{"/bin/wine", "<root>/pfx/drive_c/GOG Games/WA/WA.exe", "/play",
                                                "C:\\a b.WAgame"}
                                 << "<root>/pfx/drive_c/GOG Games/WA"
                                 << "<root>/pfx";
    QTest::newRow("chosen folder inside a prefix")
        << int(K::Folder) << "<root>/pfx/drive_c/GOG Games/WA/User" << false << all << false << true << int(R::Started)
        << QStringList{"/bin/wine", "<root>/pfx/drive_c/GOG Games/WA/WormKit.exe", "/play", "C:\\a b.WAgame"}
        << "<root>/pfx/drive_c/GOG Games/WA"
        << "<root>/pfx";
    QTest::newRow("drive_c without system.reg")
        << int(K::Here) << "<root>/fake/drive_c/WA/User" << false << all << false << false << int(R::Started)
        << QStringList{"/bin/wine", "<root>/fake/drive_c/WA/WA.exe", "/play", "C:\\a b.WAgame"}
        << "<root>/fake/drive_c/WA" << QString();
    QTest::newRow("plain folder") << int(K::Here) << "<root>/plain/WA/User" << false << all << false << false
                                  << int(R::Started)
                                  << QStringList{"/bin/wine", "<root>/plain/WA/WA.exe", "/play", "C:\\a b.WAgame"}
                                  << "<root>/plain/WA" << QString();
    QTest::newRow("no wine") << int(K::Wine) << "<root>/pfx/drive_c/GOG Games/WA/User" << false << all.mid(0, 2)
                             << false << false << int(R::NoWine) << QStringList() << QString() << QString();
    QTest::newRow("windows") << int(K::Windows) << "<root>/plain/WA/User" << true << QStringList() << false << false
                             << int(R::Started) << QStringList{"<root>/plain/WA/WA.exe", "/play", "C:\\a b.WAgame"}
                             << "<root>/plain/WA" << QString();
    QTest::newRow("no game") << int(K::Folder) << "<root>/plain/User" << false << all << false << false
                             << int(R::NotFound) << QStringList() << QString() << QString();
}

void TestGameStarter::game()
{
    QFETCH(int, kind);
    QFETCH(QString, user);
    QFETCH(bool, windows);
    QFETCH(QStringList, programs);
    QFETCH(bool, flatpakSteam);
    QFETCH(bool, wormKit);
    QFETCH(int, problem);
    QFETCH(QStringList, command);
    QFETCH(QString, workingFolder);
    QFETCH(QString, prefix);
    const QString root = m_root.path();

    FakeLauncher launcher;
    launcher.programs.clear();
    for (const QString& p : programs)
        launcher.programs.insert(p, QStringLiteral("/bin/") + p);
    HostSystem host;
    host.windows = windows;
    host.flatpakInstallations = {root + QStringLiteral("/nothing")};
    if (flatpakSteam)
        host.flatpakInstallations << root + QStringLiteral("/flatpak");
    GameStarter starter(launcher, host);
    const GameInstall install = GameInstall::make(GameInstall::Kind(kind), expand(user, root));
    const auto program = wormKit ? GameStarter::Program::WormKit : GameStarter::Program::Game;

    const Launcher::Result result =
        starter.startGame(install, program, {QStringLiteral("/play"), QStringLiteral("C:\\a b.WAgame")});
    QCOMPARE(int(result), problem);
    if (command.isEmpty()) {
        QVERIFY(launcher.requests.isEmpty());
        return;
    }
    QCOMPARE(launcher.requests.size(), 1);
    const LaunchRequest& r = launcher.requests.first();
    QCOMPARE(QStringList{r.program} + r.arguments, expand(command, root));
    QCOMPARE(r.workingFolder, expand(workingFolder, root));
    QCOMPARE(r.environment.value(QStringLiteral("WINEPREFIX")), expand(prefix, root));
    QCOMPARE(r.environment.size(), prefix.isEmpty() ? 0 : 1);
}

void TestGameStarter::tool_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("exe in the install's prefix")
        << "<root>/pfx/drive_c/GOG Games/WA/User"
        << "<root>/plain/WA/WormKit.exe" << QStringList{"/bin/wine", "<root>/plain/WA/WormKit.exe"} << "<root>/pfx";
    QTest::newRow("exe, install without prefix")
        << "<root>/plain/WA/User"
        << "<root>/plain/WA/WormKit.exe" << QStringList{"/bin/wine", "<root>/plain/WA/WormKit.exe"} << QString();
    QTest::newRow("other file") << "<root>/pfx/drive_c/GOG Games/WA/User"
                                << "<root>/pfx/system.reg" << QStringList{"<root>/pfx/system.reg"} << QString();
    QTest::newRow("missing") << "<root>/plain/WA/User"
                             << "<root>/plain/WA/gone.exe" << QStringList() << QString();
}

void TestGameStarter::tool()
{
    QFETCH(QString, user);
    QFETCH(QString, tool);
    QFETCH(QStringList, command);
    QFETCH(QString, prefix);
    const QString root = m_root.path();
    FakeLauncher launcher;
    launcher.programs = {{QStringLiteral("wine"), QStringLiteral("/bin/wine")}};
    HostSystem host;
    host.windows = false;
    GameStarter starter(launcher, host);
    const Launcher::Result result =
        starter.startTool(GameInstall::make(GameInstall::Kind::Folder, expand(user, root)), expand(tool, root));
    QCOMPARE(result, command.isEmpty() ? Launcher::Result::NotFound : Launcher::Result::Started);
    if (command.isEmpty())
        return;
    const LaunchRequest& r = launcher.requests.value(0);
    QCOMPARE(QStringList{r.program} + r.arguments, expand(command, root));
    QCOMPARE(r.workingFolder, QFileInfo(expand(tool, root)).path()); // the tool's own folder
    QCOMPARE(r.environment.value(QStringLiteral("WINEPREFIX")), expand(prefix, root));
}

void TestGameStarter::processLauncher()
{
    ProcessLauncher launcher;
    using R = Launcher::Result;
    const QString root = m_root.path();
    QCOMPARE(launcher.start({root + QStringLiteral("/none.exe"), {}, {}, {}}), R::NotFound);
    QCOMPARE(launcher.start({root, {}, {}, {}}), R::NotFound); // a folder is not a program
    QCOMPARE(launcher.start({}), R::NotFound);
    QCOMPARE(launcher.start({QStringLiteral("no-such-program-on-the-path"), {}, {}, {}}), R::NotFound);
#ifndef Q_OS_WIN
    // A script that writes its arguments, its working folder and one variable.
    const QString marker = root + QStringLiteral("/started.txt");
    const QString script = root + QStringLiteral("/record.sh");
    touch(script);
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"$@|$(pwd)|$WINEPREFIX\" > '" + marker.toUtf8() + "'\n");
    f.close();
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString folder = root + QStringLiteral("/plain/WA");
    QCOMPARE(launcher.start({script,
                             {QStringLiteral("a b"), QStringLiteral("c")},
                             folder,
                             {{QStringLiteral("WINEPREFIX"), QStringLiteral("/p x")}}}),
             R::Started);
    QTRY_VERIFY(QFileInfo(marker).size() > 0);
    QFile m(marker);
    QVERIFY(m.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(m.readAll()), QStringLiteral("a b c|") + folder + QStringLiteral("|/p x\n"));

    // A file that cannot be executed.
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(launcher.start({script, {}, {}, {}}), R::Failed);
#endif
}

QTEST_GUILESS_MAIN(TestGameStarter)
#include "tst_gamestarter.moc"
