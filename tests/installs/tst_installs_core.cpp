// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/InstallChoice.h"
#include "installs/core/InstallFinder.h"
#include "installs/core/KeyValues.h"
#include "installs/core/SteamLibrary.h"
#include "installs/core/WineRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

void write(const QString& path, const QByteArray& data = "MZ")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A game folder with WA.exe and its User folder.
void game(const QString& folder)
{
    write(folder + QStringLiteral("/WA.exe"));
    QDir().mkpath(folder + QStringLiteral("/User"));
}

void prefix(const QString& folder)
{
    write(folder + QStringLiteral("/system.reg"), "WINE REGISTRY Version 2\n");
    QDir().mkpath(folder + QStringLiteral("/drive_c"));
}

QByteArray manifest(const QByteArray& folder)
{
    return "\"AppState\"\n{\n\t\"appid\"\t\t\"217200\"\n\t\"installdir\"\t\t\"" + folder + "\"\n}\n";
}

} // namespace

using Parser = std::function<QString(const QByteArray&)>;
Q_DECLARE_METATYPE(Parser)
using HomeMaker = std::function<void(const QString& home)>;
Q_DECLARE_METATYPE(HomeMaker)

class TestInstallsCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parsers_data();
    void parsers();
    void findsEveryInstall();
    void hostileHome_data();
    void hostileHome();
    void choiceOnStart_data();
    void choiceOnStart();
};

// The files the finder reads: Valve's key-value text (manifests and library
// lists), Wine's registry, and Windows paths turned into Linux ones.
void TestInstallsCore::parsers_data()
{
    QTest::addColumn<Parser>("parser");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const Parser& parser, const QByteArray& text, const QString& expected) {
        QTest::newRow(tag) << parser << text << expected;
    };
    // The value at the end of keys joined by "/".
    const auto at = [](const char* path) {
        return [=](const QByteArray& text) {
            const QList<KeyValue> top = KeyValues::parse(text);
            QStringList keys = QString(path).split(QLatin1Char('/'));
            const QString last = keys.takeLast();
            const KeyValue* node = top.isEmpty() || top.first().key != keys.takeFirst() ? nullptr : &top.first();
            for (const QString& key : keys)
                node = node ? node->child(key) : nullptr;
            return node ? node->valueOf(last) : QStringLiteral("<no such key>");
        };
    };
    row("nested", at("a/b/c"), "\"a\" { \"b\" { \"c\" \"v\" } }", "v");
    row("escapes", at("a/p"), R"("a" { "p" "C:\\Steam \"x\"" })", R"(C:\Steam "x")");
    row("comments and no spacing", at("a/c"), "// head\n\"a\"{// note\n\"b\"\"1\"\"c\"\"2\"}", "2");
    row("bare words", at("a/KEY"), "a\n{\n\tkey value\n}", "value");
    row("cut short keeps what came before", at("a/b"), "\"a\" { \"b\" \"1\" \"c\" { \"d\"", "1");
    row("unterminated quote", at("a/b"), "\"a\" { \"b\" \"1", "1");

    const Parser libraries = [](const QByteArray& text) { return SteamLibrary::listedLibraries(text).join('|'); };
    row("current library list", libraries,
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/a/.local/share/Steam\"\n\t\t\"apps\" { "
        "\"217200\" \"1\" }\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"/mnt/games\"\n\t}\n}\n",
        "/home/a/.local/share/Steam|/mnt/games");
    row("old library list", libraries,
        "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1\"\n\t\"ContentStatsID\"\t\t\"-5\"\n\t\"1\"\t\t\"/mnt/"
        "old\"\n}\n",
        "/mnt/old");
    row("no library list", libraries, "\"AppState\" { \"1\" \"/x\" }", "");

    const Parser path = [](const QByteArray& file) {
        return WineRegistry::stringValue(file, QStringLiteral("Software\\Team17SoftwareLTD\\WormsArmageddon"), "PATH")
            .value_or(QStringLiteral("<none>"));
    };
    const QByteArray head = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n";
    const QByteArray key = head + "[Software\\\\Team17SoftwareLTD\\\\WormsArmageddon]";
    row("registry", path, key + " 1700000000\n#time=1d\n\"PATH\"=\"C:\\\\Team17\\\\Worms Armageddon\"\n",
        "C:\\Team17\\Worms Armageddon");
    row("registry in other letter case, CRLF, str(2)", path,
        head + "[software\\\\team17softwareltd\\\\wormsarmageddon] 1\r\n\"path\"=str(2):\"D:\\\\WA\"\r\n", "D:\\WA");
    row("registry escapes", path, key + "\n\"PATH\"=\"C:\\\\J\\xf6rg \\\"q\\\"\\x5cg\\101\"\n",
        QString::fromUtf8("C:\\Jörg \"q\"\\gA"));
    row("registry in UTF-8", path, key + "\n\"PATH\"=\"C:\\\\Spi\xc3\xa9le\"\n", QString::fromUtf8("C:\\Spiéle"));
    row("registry value in another key", path,
        head + "[Software\\\\Team17SoftwareLTD\\\\WormsArmageddon\\\\Sub]\n"
               "\"PATH\"=\"C:\\\\x\"\n",
        "<none>");
    row("registry value not a string", path, key + "\n\"PATH\"=dword:00000001\n", "<none>");
    row("registry value unterminated", path, key + "\n\"PATH\"=\"C:\\\\x\n", "<none>");

    const Parser linux = [](const QByteArray& windows) {
        const DosDevices::Drives drives{{QLatin1Char('c'), QStringLiteral("/p/drive_c")},
                                        {QLatin1Char('z'), QStringLiteral("/")}};
        return DosDevices::toLinuxPath(QString::fromUtf8(windows), drives);
    };
    row("c drive", linux, "C:\\Team17\\Worms Armageddon\\", "/p/drive_c/Team17/Worms Armageddon");
    row("lower-case drive, slashes", linux, "z:/home/a/WA", "/home/a/WA");
    row("dot-dot stays on the drive", linux, "C:\\..\\..\\etc", "/p/drive_c/etc");
    row("unknown drive", linux, "Q:\\WA", "");
    row("relative", linux, "Team17\\WA", "");
    row("network", linux, "\\\\server\\share", "");
}

void TestInstallsCore::parsers()
{
    QFETCH(Parser, parser);
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QCOMPARE(parser(text), expected);
}

// One home with every kind of install the finder knows, and the traps it
// must not fall into.
void TestInstallsCore::findsEveryInstall()
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");

    // Steam: the usual root, reached a second time through ~/.steam/steam.
    const QString root = home + QStringLiteral("/.local/share/Steam");
    QDir().mkpath(home + QStringLiteral("/.steam"));
    QVERIFY(QFile::link(root, home + QStringLiteral("/.steam/steam")));
    write(root + QStringLiteral("/config/libraryfolders.vdf"),
          "\"libraryfolders\" { \"0\" { \"path\" \"" + root.toUtf8() + "\" } \"1\" { \"path\" \"" +
              dir.path().toUtf8() + "/lib1\" } \"2\" { \"path\" \"" + dir.path().toUtf8() + "/lib2\" } }");
    write(dir.path() + QStringLiteral("/lib1/steamapps/appmanifest_217200.acf"), manifest("Worms Armageddon"));
    game(dir.path() + QStringLiteral("/lib1/steamapps/common/Worms Armageddon"));
    // A manifest whose folder would lead out of the library.
    write(dir.path() + QStringLiteral("/lib2/steamapps/appmanifest_217200.acf"), manifest("../../outside"));
    game(dir.path() + QStringLiteral("/outside"));
    // The Snap root lists a library in the old format.
    write(home + QStringLiteral("/snap/steam/common/.local/share/Steam/steamapps/libraryfolders.vdf"),
          "\"LibraryFolders\" { \"ContentStatsID\" \"1\" \"1\" \"" + dir.path().toUtf8() + "/old\" }");
    write(dir.path() + QStringLiteral("/old/SteamApps/appmanifest_217200.acf"), manifest("WA"));
    game(dir.path() + QStringLiteral("/old/SteamApps/common/WA"));
    // The Flatpak root holds the game in its own library.
    const QString flatpak = home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam");
    write(flatpak + QStringLiteral("/steamapps/appmanifest_217200.acf"), manifest("Worms Armageddon"));
    game(flatpak + QStringLiteral("/steamapps/common/Worms Armageddon"));

    // ~/.wine names the game in its registry, through its C: drive link,
    // in other letter case than on disk; $WINEPREFIX spells the same prefix otherwise.
    const QString wine = home + QStringLiteral("/.wine");
    prefix(wine);
    QDir().mkpath(wine + QStringLiteral("/dosdevices"));
    QVERIFY(QFile::link(QStringLiteral("../drive_c"), wine + QStringLiteral("/dosdevices/c:")));
    write(wine + QStringLiteral("/user.reg"), "WINE REGISTRY Version 2\n\n[Software\\\\Team17SoftwareLTD\\\\"
                                              "WormsArmageddon] 1\n\"PATH\"=\"C:\\\\TEAM17\\\\Worms Armageddon\"\n");
    game(wine + QStringLiteral("/drive_c/Team17/Worms Armageddon"));
    // A Lutris prefix where only the search finds the game, with a link
    // loop and a link out of the prefix on the way.
    const QString lutris = home + QStringLiteral("/Games/worms");
    prefix(lutris);
    game(lutris + QStringLiteral("/drive_c/GOG Games/Worms Armageddon"));
    QVERIFY(QFile::link(lutris + QStringLiteral("/drive_c"), lutris + QStringLiteral("/drive_c/GOG Games/loop")));
    QVERIFY(QFile::link(dir.path() + QStringLiteral("/outside"), lutris + QStringLiteral("/drive_c/aaa")));
    // A Bottles prefix whose game lies deeper than the search goes, and a
    // folder that is no prefix.
    prefix(home + QStringLiteral("/.local/share/bottles/bottles/deep"));
    game(home + QStringLiteral("/.local/share/bottles/bottles/deep/drive_c/1/2/3/4/5/WA"));
    game(home + QStringLiteral("/Games/notaprefix/drive_c/WA"));

    // A chosen folder, and one the finder already knows.
    game(dir.path() + QStringLiteral("/chosen"));

    FinderSetup setup;
    setup.home = home;
    setup.programFolder = dir.path() + QStringLiteral("/bin");
    setup.winePrefixVariable = home + QStringLiteral("/./.wine/");
    setup.chosenFolders = {dir.path() + QStringLiteral("/chosen/User"),
                           root + QStringLiteral("/../../../../lib1/"
                                                 "steamapps/common/"
                                                 "Worms Armageddon/User"),
                           dir.path() + QStringLiteral("/gone/User")};
    setup.windows = false;
    QStringList listed;
    for (const GameInstall& install : InstallFinder(setup).find())
        listed << GameInstall::kindWord(install.kind) + QLatin1Char(' ') +
                      QString(install.userFolder).replace(dir.path(), QStringLiteral("<t>")) + QLatin1Char(' ') +
                      QString(install.winePrefix).replace(dir.path(), QStringLiteral("<t>"));
    QCOMPARE(listed, (QStringList{
                         "steam <t>/lib1/steamapps/common/Worms Armageddon/User ",
                         "steam <t>/home/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Worms "
                         "Armageddon/User ",
                         "steam <t>/old/SteamApps/common/WA/User ",
                         "wine <t>/home/.wine/drive_c/Team17/Worms Armageddon/User <t>/home/.wine",
                         "wine <t>/home/Games/worms/drive_c/GOG Games/Worms Armageddon/User <t>/home/Games/worms",
                         "folder <t>/chosen/User ",
                     }));
}

// Files in the home that are no regular files, or far too large: the search
// neither waits on them nor runs away, and finds what can be found.
void TestInstallsCore::hostileHome_data()
{
    QTest::addColumn<HomeMaker>("make");
    QTest::addColumn<QStringList>("expected"); // kind and User folder below the home
    const QString steam = QStringLiteral("/.local/share/Steam");
    const auto fifo = [](const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(QProcess::execute("mkfifo", {path}) == 0);
    };
    const auto steamGame = [=](const QString& home) {
        write(home + steam + "/steamapps/appmanifest_217200.acf", manifest("WA"));
        game(home + steam + "/steamapps/common/WA");
    };
    const QStringList steamFound{"steam " + steam + "/steamapps/common/WA/User"};
    const QByteArray key =
        "[Software\\\\Team17SoftwareLTD\\\\WormsArmageddon]\n\"PATH\"=\"C:\\\\1\\\\2\\\\3\\\\4\\\\5\\\\WA\"\n";
    QTest::newRow("user.reg a FIFO") << HomeMaker([=](const QString& home) {
        prefix(home + "/.wine");
        fifo(home + "/.wine/user.reg");
        game(home + "/.wine/drive_c/WA");
    }) << QStringList{"wine /.wine/drive_c/WA/User"};
    QTest::newRow("libraryfolders.vdf a FIFO") << HomeMaker([=](const QString& home) {
        steamGame(home);
        fifo(home + steam + "/config/libraryfolders.vdf");
    }) << steamFound;
    QTest::newRow("app manifest a FIFO") << HomeMaker([=](const QString& home) {
        fifo(home + steam + "/steamapps/appmanifest_217200.acf");
        game(home + steam + "/steamapps/common/WA");
    }) << QStringList();
    QTest::newRow("game's key past 16 MB of user.reg") << HomeMaker([=](const QString& home) {
        prefix(home + "/.wine");
        QByteArray lines;
        while (lines.size() <= (16 << 20))
            lines += "\"a\"=\"b\"\n";
        write(home + "/.wine/user.reg", lines + key);
        game(home + "/.wine/drive_c/1/2/3/4/5/WA");
    }) << QStringList{"wine /.wine/drive_c/1/2/3/4/5/WA/User"};
    QTest::newRow("one prefix through 20 links") << HomeMaker([=](const QString& home) {
        prefix(home + "/real");
        game(home + "/real/drive_c/WA");
        QDir().mkpath(home + "/Games");
        for (int i = 0; i < 20; ++i)
            QVERIFY(QFile::link(home + "/real", home + "/Games/" + QString::number(i)));
    }) << QStringList{"wine /Games/0/drive_c/WA/User"};
    QTest::newRow("100,000 libraries naming /") << HomeMaker([=](const QString& home) {
        steamGame(home);
        QByteArray list = "\"libraryfolders\" {";
        for (int i = 0; i < 100000; ++i)
            list += " \"" + QByteArray::number(i) + "\" { \"path\" \"/\" }";
        write(home + steam + "/config/libraryfolders.vdf", list + "}");
    }) << steamFound;
}

void TestInstallsCore::hostileHome()
{
    QFETCH(HomeMaker, make);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    make(home);
    FinderSetup setup;
    setup.home = home;
    setup.programFolder = dir.path() + QStringLiteral("/bin");
    setup.windows = false;
    QStringList listed;
    for (const GameInstall& install : InstallFinder(setup).find())
        listed << GameInstall::kindWord(install.kind) + QLatin1Char(' ') + install.userFolder.mid(home.size());
    QCOMPARE(listed, expected);
}

void TestInstallsCore::choiceOnStart_data()
{
    QTest::addColumn<int>("steamRoots");     // how many Steam roots hold the game
    QTest::addColumn<QStringList>("files");  // made beside the program, which runs from "bin"
    QTest::addColumn<QString>("remembered"); // a chosen folder remembered, under the temporary folder
    QTest::addColumn<QString>("expected");   // kind and User folder, or "ask N" for a choice among N
    // The program's folder is a User folder when it holds the probe picture or has WA.exe beside it.
    QTest::newRow("own folder wins") << 1 << QStringList{"bin/Graves/computer.BMP"} << QString("chosen/User")
                                     << QString("here bin");
    QTest::newRow("own folder: WA.exe beside")
        << 1 << QStringList{"wa.exe", "bin/x"} << QString("chosen/User") << QString("here bin");
    QTest::newRow("not its own, folder gone: the one found")
        << 1 << QStringList{"bin/graves/other.bmp", "bin/WA.exe"} << QString("gone/User")
        << QString("steam home/.steam/steam/steamapps/common/WA/User");
    QTest::newRow("two found: ask") << 2 << QStringList() << QString("chosen/Other") << QString("ask 2");
}

void TestInstallsCore::choiceOnStart()
{
    QFETCH(int, steamRoots);
    QFETCH(QStringList, files);
    QFETCH(QString, remembered);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString t = dir.path() + QLatin1Char('/');
    for (const QString& root : QStringList{"/.steam/steam", "/.local/share/Steam"}.mid(0, steamRoots)) {
        write(t + "home" + root + "/steamapps/appmanifest_217200.acf", manifest("WA"));
        game(t + "home" + root + "/steamapps/common/WA");
    }
    game(t + QStringLiteral("chosen"));
    for (const QString& f : files)
        write(t + f);
    FinderSetup setup;
    setup.home = t + QStringLiteral("home");
    setup.programFolder = t + QStringLiteral("bin");
    setup.windows = false;
    QSettings settings(t + QStringLiteral("settings.ini"), QSettings::IniFormat);
    if (!remembered.isEmpty())
        InstallChoice::remember(settings, GameInstall::make(GameInstall::Kind::Folder, t + remembered));
    const InstallChoice::Outcome outcome = InstallChoice::decide(setup, settings);
    const QString got = outcome.install.isValid() ? GameInstall::kindWord(outcome.install.kind) + QLatin1Char(' ') +
                                                        outcome.install.userFolder.mid(t.size())
                                                  : QStringLiteral("ask %1").arg(outcome.offered.size());
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestInstallsCore)
#include "tst_installs_core.moc"
