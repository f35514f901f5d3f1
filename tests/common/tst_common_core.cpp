#include "common/core/FileOps.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "support/FaultyFileSystem.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestCommonCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void gameFolder_data();
    void gameFolder();
    void resolveIgnoresCase_data();
    void resolveIgnoresCase();
    void filePatternsIgnoreCase();
    void names_data();
    void names();
    void copyAndMove_data();
    void copyAndMove();
    void removeFolderAndFiles();
    void namesFromOutside_data();
    void namesFromOutside();
    void fileFilter_data();
    void fileFilter();
};

void TestCommonCore::gameFolder_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("game");
    auto row = [](const char* tag, const char* user, const char* game) { QTest::newRow(tag) << user << game; };
    row("wine prefix", "/home/p/.wine/drive_c/Team17/Worms Armageddon/User",
        "/home/p/.wine/drive_c/Team17/Worms Armageddon/");
    row("trailing separator", "/games/WA/User/", "/games/WA/");
    row("one below root", "/User", "/");
    row("root", "/", "/");
    row("dots cleaned", "/games/WA/x/../User", "/games/WA/");
}

void TestCommonCore::gameFolder()
{
    QFETCH(QString, user);
    QFETCH(QString, game);
    QCOMPARE(UserPaths(user).gameFolder(), game);
}

void TestCommonCore::resolveIgnoresCase_data()
{
    QTest::addColumn<QString>("existing"); // a folder made under the base, "" for none
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const char* existing, const char* relative, const char* expected) {
        QTest::newRow(tag) << existing << relative << expected;
    };
    row("exact", "Games/Temp", "Games/Temp", "Games/Temp");
    row("lower-case folder is the Games folder", "games", "Games", "games");
    row("mixed depth", "GAMES/temp", "Games/Temp", "GAMES/temp");
    row("missing keeps spelling", "", "Games/Temp", "Games/Temp");
    row("missing below existing", "speech", "Speech/Bob", "speech/Bob");
    row("backslashes", "savedlevels/Caverns", "\\SavedLevels\\caverns", "savedlevels/Caverns");
}

void TestCommonCore::resolveIgnoresCase()
{
    QFETCH(QString, existing);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    TestUserFolder f;
    if (!existing.isEmpty())
        f.makeDir(existing);
    QCOMPARE(PathCase::resolve(f.user(), relative), f.path(expected));
}

void TestCommonCore::filePatternsIgnoreCase()
{
    TestUserFolder f;
    for (const char* name : {"b.png", "A.PNG", "c.Png", "notes.txt", ".hidden.png"})
        f.writeFile(QLatin1String(name));
    f.makeDir(QStringLiteral("folder.png"));
    QCOMPARE(PathCase::files(f.user(), {QStringLiteral("*.png")}), (QStringList{"A.PNG", "b.png", "c.Png"}));
    QCOMPARE(PathCase::folders(f.user()), QStringList{"folder.png"});
    QVERIFY(PathCase::files(f.path(QStringLiteral("missing")), {}).isEmpty());
}

void TestCommonCore::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    using P = NameRules::Problem;
    QTest::newRow("plain") << "Tournaments 2001" << int(P::None);
    QTest::newRow("unicode") << "Турнир" << int(P::None);
    QTest::newRow("empty") << "" << int(P::Empty);
    QTest::newRow("blanks") << "   " << int(P::Empty);
    QTest::newRow("slash") << "a/b" << int(P::Separator);
    QTest::newRow("backslash") << "a\\b" << int(P::Separator);
    QTest::newRow("absolute") << "/etc" << int(P::Separator);
    QTest::newRow("parent") << ".." << int(P::DotName);
    QTest::newRow("self") << "." << int(P::DotName);
    QTest::newRow("drive") << "C:" << int(P::BadCharacter);
    QTest::newRow("question") << "why?" << int(P::BadCharacter);
    QTest::newRow("newline") << "a\nb" << int(P::BadCharacter);
    QTest::newRow("device") << "nul" << int(P::ReservedName);
    QTest::newRow("device with extension") << "COM1.txt" << int(P::ReservedName);
    QTest::newRow("not a device") << "CONSOLE" << int(P::None);
    QTest::newRow("trailing dot") << "maps." << int(P::TrailingDotOrBlank);
    QTest::newRow("too long") << QString(256, QLatin1Char('x')) << int(P::TooLong);
}

void TestCommonCore::names()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    QCOMPARE(int(NameRules::check(name)), problem);
    QCOMPARE(NameRules::describe(NameRules::check(name), name).isEmpty(), problem == int(NameRules::Problem::None));
}

void TestCommonCore::copyAndMove_data()
{
    QTest::addColumn<bool>("move");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QStringList>("after"); // every file, hidden ones too, with its content
    QTest::addColumn<int>("fault");
    const QStringList before{"a.WAgame=new", "keep.png=keep me", "sub/a.WAgame=older"};
    using Fault = FaultyFileSystem::Fault;
    auto row = [](const char* tag, bool move, const char* from, const char* to, bool done, const QStringList& after,
                  Fault fault = Fault::None) {
        QTest::newRow(tag) << move << QString(from) << QString(to) << done << after << int(fault);
    };
    // No temporary file is ever left beside the destination.
    row("copy replacing", false, "a.WAgame", "sub/a.WAgame", true,
        {"a.WAgame=new", "keep.png=keep me", "sub/a.WAgame=new"});
    row("copy of a missing file", false, "gone.png", "keep.png", false, before);
    row("copy into a missing folder", false, "keep.png", "no/such/x.png", false, before);
    row("copy onto itself", false, "a.WAgame", "./a.WAgame", true, before);
    // A move deletes its source only once the copy is there, and never onto itself.
    row("move onto itself", true, "a.WAgame", "./a.WAgame", false, before);
    row("move into a missing folder", true, "a.WAgame", "missing/a.WAgame", false, before);
    row("move replacing", true, "a.WAgame", "sub/a.WAgame", true, {"keep.png=keep me", "sub/a.WAgame=new"});
    // A failed step leaves the source and the old destination whole, and no partial file.
    for (bool move : {false, true}) {
        for (auto [fault, what] : {std::pair{Fault::DiskFull, "disk full halfway"}, std::pair{Fault::Sync, "no flush"},
                                   std::pair{Fault::Rename, "rename refused"}})
            row(qPrintable(QString(move ? "move, %1" : "copy, %1").arg(what)), move, "a.WAgame", "sub/a.WAgame", false,
                before, fault);
    }
    row("move, delete refused", true, "a.WAgame", "sub/a.WAgame", false,
        {"a.WAgame=new", "keep.png=keep me", "sub/a.WAgame=new"}, Fault::Remove);
}

void TestCommonCore::copyAndMove()
{
    QFETCH(bool, move);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, done);
    QFETCH(QStringList, after);
    QFETCH(int, fault);
    TestUserFolder f;
    f.writeFile(QStringLiteral("a.WAgame"), "new");
    f.writeFile(QStringLiteral("keep.png"), "keep me");
    f.writeFile(QStringLiteral("sub/a.WAgame"), "older");
    QString error;
    FaultyFileSystem faulty{FaultyFileSystem::Fault(fault)};
    QCOMPARE(move ? FileOps::moveReplacing(f.path(from), f.path(to))
                  : FileOps::copyReplacing(f.path(from), f.path(to), &error),
             done);
    QCOMPARE(error.isEmpty(), move || done);
    QCOMPARE(f.files(), after);
}

void TestCommonCore::removeFolderAndFiles()
{
    TestUserFolder f;
    f.writeFile(QStringLiteral("Temp/a"));
    f.writeFile(QStringLiteral("Temp/.b"));
    QVERIFY(FileOps::removeFolderAndFiles(f.path(QStringLiteral("Temp"))));
    QVERIFY(!f.exists(QStringLiteral("Temp")));

    // A sub-folder keeps the folder (and itself) in place; the files go.
    f.writeFile(QStringLiteral("Temp/a"));
    f.writeFile(QStringLiteral("Temp/sub/c"));
    QVERIFY(!FileOps::removeFolderAndFiles(f.path(QStringLiteral("Temp"))));
    QCOMPARE(f.entries(QStringLiteral("Temp")), QStringList{"sub"});

#ifndef Q_OS_WIN
    // A folder that links elsewhere: only the link goes, never the files it points to.
    f.writeFile(QStringLiteral("outside/keep.png"), "map");
    const QString link = f.path(QStringLiteral("Linked"));
    QVERIFY(QFile::link(f.path(QStringLiteral("outside")), link));
    QVERIFY(FileOps::removeFolderAndFiles(link));
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(f.read(QStringLiteral("outside/keep.png")), QByteArray("map"));
#endif
}

void TestCommonCore::namesFromOutside_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inside");
    auto row = [](const char* tag, const char* parent, const char* name, bool inside) {
        QTest::newRow(tag) << QString(parent) << QString(name) << inside;
    };
    row("plain name", "Maps", "a.png", true);
    row("new folders on the way", "Maps", "New/Deeper/a.png", true);
    row("links standing there are replaced, not followed", "Maps", "Out", true);
    row("dot-dot staying inside", "Maps", "Sub/../a.png", true);
    row("in the user's own linked folder", "Maps/Out", "a.png", true);
    row("dot-dot out", "Maps", "../a.png", false);
    row("backslashes out", "Maps", "..\\a.png", false);
    row("absolute", "Maps", "/etc/passwd", false);
    row("drive", "Maps", "C:\\Windows\\a.png", false);
    row("empty", "Maps", "", false);
    row("through a link out", "Maps", "Out/a.png", false);
}

void TestCommonCore::namesFromOutside()
{
    QFETCH(QString, parent);
    QFETCH(QString, name);
    QFETCH(bool, inside);
    TestUserFolder f;
    f.makeDir("Maps/Sub");
    f.makeDir("Disk");
    QVERIFY(QFile::link(f.path("Disk"), f.path("Maps/Out")));
    QString error;
    const QString target = FileOps::targetIn(f.path(parent), name, &error);
    QCOMPARE(error.isEmpty(), inside);
    QCOMPARE(target.startsWith(f.path(parent) + '/'), inside);
}

void TestCommonCore::fileFilter_data()
{
    QTest::addColumn<QString>("pipe");
    QTest::addColumn<QString>("qt");
    auto row = [](const char* tag, const char* pipe, const char* qt) { QTest::newRow(tag) << pipe << qt; };
    row("named pattern", "Any Executable (*.exe)|*.exe", "Any Executable (*.exe)");
    row("bare description", "Maps|*.png;*.bmp", "Maps (*.png *.bmp)");
    row("two filters", "Wave|*.wav|All|*.*", "Wave (*.wav);;All (*.*)");
}

void TestCommonCore::fileFilter()
{
    QFETCH(QString, pipe);
    QFETCH(QString, qt);
    QCOMPARE(qtFileFilter(pipe), qt);
}

QTEST_GUILESS_MAIN(TestCommonCore)
#include "tst_common_core.moc"
