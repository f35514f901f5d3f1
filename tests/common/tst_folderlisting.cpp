#include "common/core/FolderListing.h"
#include "common/core/PathCase.h"
#include "common/core/SystemColors.h"
#include "common/core/UnshownNames.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The navigator's listing and its ".." rule, without a window.
class TestFolderListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesThatAreNotUtf8AreCounted();
    void listing_data();
    void listing();
    void rootHasNoParentEntry();
    void folderWithoutReadPermissionListsNothing();
    void parentRefsResolveTextually_data();
    void parentRefsResolveTextually();
    void selectedFileReplacesIndicator_data();
    void selectedFileReplacesIndicator();
    void colourCodes();
};

void TestFolderListing::listing_data()
{
    QTest::addColumn<QString>("typed"); // under the User folder
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QString>("listed");       // the folder listed; "" for the User folder itself
    QTest::addColumn<QStringList>("expected"); // empty when the path cannot be read
    auto row = [](const char* name, const char* typed, const char* indicator, const char* listed,
                  const QStringList& expected) {
        QTest::newRow(name) << QString(typed) << QString(indicator) << QString(listed) << expected;
    };
    // ".." first, the folders in case-insensitive order, then the "*.null"
    // files; no other files, no hidden entries, nothing deeper.
    const QStringList games{"..^", "a^", "B^", "q.null^", "Zed^", "B.NULL", "y.null"};
    row("caret", "Games", "^", "Games/", games);
    row("no indicator", "Games", "", "Games/", {"..", "a", "B", "q.null", "Zed", "B.NULL", "y.null"});
    row("longer indicator", "Maps", "<d>", "Maps/", {"..<d>", "New<d>", "Old<d>"});
    row("empty folder", "Empty", "^", "Empty/", {"..^"});
    // Wherever ".." stands, the path names the folder whose content is shown.
    row(".. in the middle", "Maps/../Maps/Old", "^", "Maps/Old/", {"..^", "Older^"});
    row(".. up to the User folder", "Maps/Old/../..", "^", "", {"..^", "Empty^", "Games^", "Maps^"});
    // Unreadable: nothing listed, the typed text kept (with a trailing "/").
    row("missing", "Missing", "^", "Missing/", {});
    row("a file", "file.txt", "^", "file.txt/", {});
}

void TestFolderListing::listing()
{
    QFETCH(QString, typed);
    QFETCH(QString, indicator);
    QFETCH(QString, listed);
    QFETCH(QStringList, expected);
    TestUserFolder t;
    for (const char* folder :
         {"Games/B/Inner", "Games/a", "Games/Zed", "Games/q.null", "Games/.git", "Maps/Old/Older", "Maps/New", "Empty"})
        t.makeDir(folder);
    for (const char* file :
         {"Games/x.txt", "Games/y.null", "Games/B.NULL", "Games/null", "Games/a.nullx", "Games/.h.null", "file.txt"})
        t.writeFile(file);

    const FolderListing::Result r = FolderListing::list(t.path(typed), indicator);
    QCOMPARE(r.readable, !expected.isEmpty());
    QCOMPARE(r.path, listed.isEmpty() ? t.user() + "/" : t.path(listed));
    QCOMPARE(r.entries, expected);
}

void TestFolderListing::rootHasNoParentEntry()
{
    const FolderListing::Result r = FolderListing::list(QDir::rootPath(), "^");
    QVERIFY(r.readable);
    QCOMPARE(r.path, QDir::rootPath());
    QVERIFY(!r.entries.contains("..^"));
    QVERIFY(r.entries.contains(QDir(QDir::tempPath()).dirName() + "^"));
}

void TestFolderListing::folderWithoutReadPermissionListsNothing()
{
    TestUserFolder t;
    t.makeDir("Locked/Inside");
    const QString locked = t.path("Locked");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const bool stillReadable = !QDir(locked).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
    const FolderListing::Result r = FolderListing::list(locked, "");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (stillReadable)
        QSKIP("permissions do not bind this user (root)");
    QVERIFY(!r.readable);
    QVERIFY(r.entries.isEmpty());
    QCOMPARE(r.path, locked + "/");
}

void TestFolderListing::parentRefsResolveTextually_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* path, const char* expected) {
        QTest::newRow(name) << QString(path) << QString(expected);
    };
    row("at the end", "/tmp/x/Maps/Old/../", "/tmp/x/Maps/");
    row("in the middle", "/tmp/x/Maps/../Old/", "/tmp/x/Old/");
    row("twice apart", "/a/../b/c/../d", "/b/d/");
    row("above the root, then down", "/a/../../b/", "/b/");
    row("drive", "C:/Maps/Old/../", "C:/Maps/");
    row("share", "//server/share/../x/", "//server/share/x/");
    row("relative", "../x/../y/", "../y/");
    row("dots inside a name", "/tmp/x..y/", "/tmp/x..y/");
    row("no parent ref", "/tmp/./x//", "/tmp/./x//");
}

void TestFolderListing::parentRefsResolveTextually()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(FolderListing::resolveParentRefs(path), expected);
}

void TestFolderListing::selectedFileReplacesIndicator_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* entry, const char* indicator, const char* expected) {
        QTest::newRow(name) << QString(entry) << QString(indicator) << QString(expected);
    };
    row("folder", "A^", "^", "A/");
    row("parent", "..^", "^", "../");
    row("no indicator", "Maps", "", "Maps");
    row("longer indicator", "A<d>", "<d>", "A/");
}

void TestFolderListing::selectedFileReplacesIndicator()
{
    QFETCH(QString, entry);
    QFETCH(QString, indicator);
    QFETCH(QString, expected);
    QCOMPARE(FolderListing::selectedFile(entry, indicator), expected);
}

void TestFolderListing::colourCodes()
{
    // Plain colours are 0x00BBGGRR; a system colour beyond the known ones gives nothing.
    const QPalette palette;
    QCOMPARE(SystemColors::resolve(0x00FFFFC0, palette), QColor(0xC0, 0xFF, 0xFF));
    QVERIFY(!SystemColors::resolve(0x800000FF, palette).isValid());
}

void TestFolderListing::namesThatAreNotUtf8AreCounted()
{
    // Latin-1 and cut-off UTF-8 names, a hidden one, and a valid name.
    const TestUserFolder folder;
    QVERIFY(folder.writeRawName("Games", "Caf\xe9.WAgame") && folder.writeRawName("Games", "Liga \xd0", true) &&
            folder.writeRawName("Games", ".hidden\xff"));
    folder.writeFile("Games/Ok.WAgame");
    QCOMPARE(PathCase::files(folder.path("Games"), {"*"}), QStringList({"Ok.WAgame"})); // what Qt shows
    QCOMPARE(UnshownNames::count(folder.path("Games")), 2);
    QCOMPARE(UnshownNames::count(folder.path("Games"), UnshownNames::Kind::Folders), 1);
}

QTEST_GUILESS_MAIN(TestFolderListing)
#include "tst_folderlisting.moc"
