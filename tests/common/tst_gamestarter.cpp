#include "common/core/GameStarter.h"
#include "common/core/WindowsPath.h"
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
    void windowsPath_data();
    void windowsPath();

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
    QTest::addColumn<QStringList>("programs"); // on the PATH
    QTest::addColumn<bool>("flatpakSteam");    // the Steam Flatpak is installed
    QTest::addColumn<bool>("wormKit");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QStringList>("command"); // program, then arguments
    QTest::addColumn<QString>("workingFolder");
    QTest::addColumn<QString>("prefix"); // WINEPREFIX, "" when unset

    using K = GameInstall::Kind;
    using R = Launcher::Result;
    auto row = [](const char* tag, K kind, const char* user, const QStringList& programs, bool flatpakSteam,
                  bool wormKit, R problem, const QStringList& command = {}, const char* workingFolder = "",
                  const char* prefix = "") {
        QTest::newRow(tag) << int(kind) << QString(user) << programs << flatpakSteam << wormKit << int(problem)
                           << command << QString(workingFolder) << QString(prefix);
    };
    const char* steamUser = "<root>/steam/steamapps/common/Worms Armageddon/User";
    const char* gog = "<root>/pfx/drive_c/GOG Games/WA/User";
    const QStringList all{"steam", "flatpak", "wine"};
    const QStringList play{"/play", "C:\\a b.WAgame"}, applaunch = QStringList{"-applaunch", "217200"} + play;
    row("steam", K::Steam, steamUser, all, true, false, R::Started, QStringList{"/bin/steam"} + applaunch);
    row("steam wormkit", K::Steam, steamUser, all, true, true, R::Started,
        QStringList{"/bin/steam", "-applaunch", "217200", "/wk"} + play);
    row("steam flatpak", K::Steam, steamUser, {"flatpak", "wine"}, true, false, R::Started,
        QStringList{"/bin/flatpak", "run", "com.valvesoftware.Steam"} + applaunch);
    row("flatpak without steam", K::Steam, steamUser, all.mid(1), false, false, R::NoSteam);
    row("steam app without flatpak", K::Steam, steamUser, {"wine"}, true, false, R::NoSteam);
    row("wine prefix", K::Wine, gog, all, false, false, R::Started,
        QStringList{"/bin/wine", "<root>/pfx/drive_c/GOG Games/WA/WA.exe"} + play, "<root>/pfx/drive_c/GOG Games/WA",
        "<root>/pfx");
    row("chosen folder inside a prefix", K::Folder, gog, all, false, true, R::Started,
        QStringList{"/bin/wine", "<root>/pfx/drive_c/GOG Games/WA/WormKit.exe"} + play,
        "<root>/pfx/drive_c/GOG Games/WA", "<root>/pfx");
    row("drive_c without system.reg", K::Here, "<root>/fake/drive_c/WA/User", all, false, false, R::Started,
        QStringList{"/bin/wine", "<root>/fake/drive_c/WA/WA.exe"} + play, "<root>/fake/drive_c/WA");
    row("plain folder", K::Here, "<root>/plain/WA/User", all, false, false, R::Started,
        QStringList{"/bin/wine", "<root>/plain/WA/WA.exe"} + play, "<root>/plain/WA");
    row("no wine", K::Wine, gog, all.mid(0, 2), false, false, R::NoWine);
    // Only the Windows kind runs on a Windows host, and needs no program on the PATH.
    row("windows", K::Windows, "<root>/plain/WA/User", {}, false, false, R::Started,
        QStringList{"<root>/plain/WA/WA.exe"} + play, "<root>/plain/WA");
    row("no game", K::Folder, "<root>/plain/User", all, false, false, R::NotFound);
}

void TestGameStarter::game()
{
    QFETCH(int, kind);
    QFETCH(QString, user);
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
    host.windows = GameInstall::Kind(kind) == GameInstall::Kind::Windows;
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

// The Windows path the game is handed for a file, asked of winepath when there is one.
void TestGameStarter::windowsPath_data()
{
    QTest::addColumn<QString>("winepath"); // the fake program's script, "" for none on the PATH
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString game = QStringLiteral("/home/a/Worms Armageddon/User/Games/x y.WAgame");
    const QString zGame = QStringLiteral("Z:\\home\\a\\Worms Armageddon\\User\\Games\\x y.WAgame");
    QTest::newRow("no winepath: Z: drive") << "" << game << zGame;
    QTest::newRow("no winepath: dots cleaned") << ""
                                               << "/a/./b/../c.WAgame"
                                               << "Z:\\a\\c.WAgame";
    QTest::newRow("winepath answers") << "printf 'C:\\\\users\\\\a\\\\x.WAgame\\r\\n'" << game
                                      << "C:\\users\\a\\x.WAgame";
    QTest::newRow("winepath fails") << "echo 'C:\\\\x'; exit 1" << game << zGame;
    QTest::newRow("winepath says something else") << "echo 'wine: could not load'" << game << zGame;
    QTest::newRow("winepath hangs") << "sleep 30" << game << zGame;
}

void TestGameStarter::windowsPath()
{
    QFETCH(QString, winepath);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("winepath"));
    const QString record = dir.filePath(QStringLiteral("called"));
    if (!winepath.isEmpty()) {
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$WINEPREFIX\" \"$*\" > '%1'\n%2\n")
                         .arg(record, winepath)
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    WindowsPathLookup lookup;
    lookup.setWinepathLocator([&] { return winepath.isEmpty() ? QString() : program; });
    lookup.setTimeout(500);
    QStringList answers;
    lookup.find(path, QStringLiteral("/home/a/.wine"), [&](const QString& answer) { answers << answer; });
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 5000);
    QCOMPARE(answers.first(), expected);
    if (!winepath.isEmpty()) {
        // Asked in the game's prefix, about the file itself.
        QFile called(record);
        QVERIFY(called.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(called.readAll()), QStringLiteral("/home/a/.wine|-w ") + path);
    }
    QTest::qWait(20);
    QCOMPARE(answers.size(), 1);
}

QTEST_GUILESS_MAIN(TestGameStarter)
#include "tst_gamestarter.moc"
