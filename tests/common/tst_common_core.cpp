#include "common/core/FileOps.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

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
    void copyReplacing();
    void copyKeepsDestinationWhenSourceIsMissing();
    void copyOntoItself();
    void moveDeletesSourceOnlyAfterCopy();
    void removeFolderAndFiles();
    void fileFilter_data();
    void fileFilter();
};

void TestCommonCore::gameFolder_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("game");
    QTest::newRow("wine prefix") << "/home/p/.wine/drive_c/Team17/Worms Armageddon/User"
                                 << "/home/p/.wine/drive_c/Team17/Worms Armageddon/";
    QTest::newRow("trailing separator") << "/games/WA/User/"
                                        << "/games/WA/";
    QTest::newRow("one below root") << "/User"
                                    << "/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("dots cleaned") << "/games/WA/x/../User"
                                  << "/games/WA/";
}

void TestCommonCore::gameFolder()
{
    QFETCH(QString, user);
    QFETCH(QString, game);
    QCOMPARE(UserPaths(user).gameFolder(), game);
}

void TestCommonCore::resolveIgnoresCase_data()
{
    QTest::addColumn<QStringList>("existing"); // folders made under the base
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << QStringList{"Games/Temp"} << "Games/Temp"
                           << "Games/Temp";
    QTest::newRow("lower-case folder is the Games folder") << QStringList{"games"} << "Games"
                                                           << "games";
    QTest::newRow("mixed depth") << QStringList{"GAMES/temp"} << "Games/Temp"
                                 << "GAMES/temp";
    QTest::newRow("missing keeps spelling") << QStringList{} << "Games/Temp"
                                            << "Games/Temp";
    QTest::newRow("missing below existing") << QStringList{"speech"} << "Speech/Bob"
                                            << "speech/Bob";
    QTest::newRow("backslashes") << QStringList{"savedlevels/Caverns"} << "\\SavedLevels\\caverns"
                                 << "savedlevels/Caverns";
}

void TestCommonCore::resolveIgnoresCase()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString& e : existing)
        QVERIFY(QDir(dir.path()).mkpath(e));
    QCOMPARE(PathCase::resolve(dir.path(), relative), dir.path() + QLatin1Char('/') + expected);
}

void TestCommonCore::filePatternsIgnoreCase()
{
    QTemporaryDir dir;
    for (const char* name : {"b.png", "A.PNG", "c.Png", "notes.txt", ".hidden.png"})
        writeFile(dir.filePath(QLatin1String(name)), "x");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
    QCOMPARE(PathCase::files(dir.path(), {QStringLiteral("*.png")}), (QStringList{"A.PNG", "b.png", "c.Png"}));
    QCOMPARE(PathCase::folders(dir.path()), QStringList{"folder.png"});
    QVERIFY(PathCase::files(dir.path() + QStringLiteral("/missing"), {}).isEmpty());
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

void TestCommonCore::copyReplacing()
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("a.WAgame"));
    const QString dst = dir.filePath(QStringLiteral("sub/a.WAgame"));
    writeFile(src, "new game");
    writeFile(dst, "an older game of the same name");
    QString error;
    QVERIFY2(FileOps::copyReplacing(src, dst, &error), qPrintable(error));
    QCOMPARE(readFile(dst), QByteArray("new game"));
    QCOMPARE(readFile(src), QByteArray("new game"));
    // No temporary file is left beside the destination.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("sub"))).entryList(QDir::Files | QDir::Hidden), QStringList{"a.WAgame"});
}

void TestCommonCore::copyKeepsDestinationWhenSourceIsMissing()
{
    QTemporaryDir dir;
    const QString dst = dir.filePath(QStringLiteral("keep.png"));
    writeFile(dst, "keep me");
    QString error;
    QVERIFY(!FileOps::copyReplacing(dir.filePath(QStringLiteral("gone.png")), dst, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(dst), QByteArray("keep me"));
    // A destination folder that does not exist: no copy, nothing made.
    QVERIFY(!FileOps::copyReplacing(dst, dir.filePath(QStringLiteral("no/such/x.png")), &error));
    QCOMPARE(readFile(dst), QByteArray("keep me"));
}

void TestCommonCore::copyOntoItself()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.png"));
    writeFile(file, "map");
    QVERIFY(FileOps::copyReplacing(file, file));
    QVERIFY(FileOps::copyReplacing(file, dir.path() + QStringLiteral("/./a.png")));
    QCOMPARE(readFile(file), QByteArray("map"));
    // Moving a file onto itself must never delete it.
    QVERIFY(!FileOps::moveReplacing(file, dir.path() + QStringLiteral("/./a.png")));
    QCOMPARE(readFile(file), QByteArray("map"));
}

void TestCommonCore::moveDeletesSourceOnlyAfterCopy()
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("a.WAgame"));
    writeFile(src, "game");
    // The destination folder is missing: the copy fails and the source stays,
    // even though a file of that name exists elsewhere.
    QVERIFY(!FileOps::moveReplacing(src, dir.filePath(QStringLiteral("missing/a.WAgame"))));
    QCOMPARE(readFile(src), QByteArray("game"));

    const QString dst = dir.filePath(QStringLiteral("b/a.WAgame"));
    writeFile(dst, "old");
    QVERIFY(FileOps::moveReplacing(src, dst));
    QVERIFY(!QFile::exists(src));
    QCOMPARE(readFile(dst), QByteArray("game"));
}

void TestCommonCore::removeFolderAndFiles()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Temp"));
    writeFile(folder + QStringLiteral("/a"), "1");
    writeFile(folder + QStringLiteral("/.b"), "2");
    QVERIFY(FileOps::removeFolderAndFiles(folder));
    QVERIFY(!QFileInfo::exists(folder));

    // A sub-folder keeps the folder (and itself) in place; the files go.
    writeFile(folder + QStringLiteral("/a"), "1");
    writeFile(folder + QStringLiteral("/sub/c"), "3");
    QVERIFY(!FileOps::removeFolderAndFiles(folder));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"sub"});

#ifndef Q_OS_WIN
    // A folder that links elsewhere: only the link goes, never the files it points to.
    const QString outside = dir.filePath(QStringLiteral("outside"));
    writeFile(outside + QStringLiteral("/keep.png"), "map");
    const QString link = dir.filePath(QStringLiteral("Linked"));
    QVERIFY(QFile::link(outside, link));
    QVERIFY(FileOps::removeFolderAndFiles(link));
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(readFile(outside + QStringLiteral("/keep.png")), QByteArray("map"));
#endif
}

void TestCommonCore::fileFilter_data()
{
    QTest::addColumn<QString>("pipe");
    QTest::addColumn<QString>("qt");
    QTest::newRow("named pattern") << "Any Executable (*.exe)|*.exe"
                                   << "Any Executable (*.exe)";
    QTest::newRow("bare description") << "Maps|*.png;*.bmp"
                                      << "Maps (*.png *.bmp)";
    QTest::newRow("two filters") << "Wave|*.wav|All|*.*"
                                 << "Wave (*.wav);;All (*.*)";
}

void TestCommonCore::fileFilter()
{
    QFETCH(QString, pipe);
    QFETCH(QString, qt);
    QCOMPARE(qtFileFilter(pipe), qt);
}

QTEST_GUILESS_MAIN(TestCommonCore)
#include "tst_common_core.moc"
