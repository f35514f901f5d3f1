#include "common/core/FolderListing.h"
#include "common/core/PropertyBag.h"
#include "common/core/SystemColors.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

// The navigator's listing, its ".." rule and the property bag, without a window.
class TestFolderListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listsParentFoldersAndNullFiles_data();
    void listsParentFoldersAndNullFiles();
    void rootHasNoParentEntry();
    void unreadablePathListsNothing_data();
    void unreadablePathListsNothing();
    void folderWithoutReadPermissionListsNothing();
    void parentRefsResolveTextually_data();
    void parentRefsResolveTextually();
    void listingFollowsParentRefs_data();
    void listingFollowsParentRefs();
    void selectedFileReplacesIndicator_data();
    void selectedFileReplacesIndicator();
    void propertyBagStoresOnlyWhatDiffersFromDefault();
    void systemColorsMapToPaletteRoles_data();
    void systemColorsMapToPaletteRoles();
};

void TestFolderListing::listsParentFoldersAndNullFiles_data() {
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("caret") << QStringList{"B", "A"} << QStringList{"x.txt"} << "^" << QStringList{"..^", "A^", "B^"};
    QTest::newRow("no indicator") << QStringList{"B", "A"} << QStringList{"x.txt"} << "" << QStringList{"..", "A", "B"};
    QTest::newRow("case ignored in order")
        << QStringList{"b", "A", "C"} << QStringList{} << "" << QStringList{"..", "A", "b", "C"};
    QTest::newRow("null files after folders")
        << QStringList{"Zed", "A"} << QStringList{"y.null", "x.txt", "B.NULL", "null", "a.nullx"} << "^"
        << QStringList{"..^", "A^", "Zed^", "B.NULL", "y.null"};
    QTest::newRow("folder named like a null file")
        << QStringList{"q.null"} << QStringList{} << "^" << QStringList{"..^", "q.null^"};
    QTest::newRow("hidden entries left out")
        << QStringList{".git", "Maps"} << QStringList{".h.null"} << "" << QStringList{"..", "Maps"};
    QTest::newRow("empty folder") << QStringList{} << QStringList{} << "^" << QStringList{"..^"};
    QTest::newRow("longer indicator") << QStringList{"A"} << QStringList{} << "<d>" << QStringList{"..<d>", "A<d>"};
}

void TestFolderListing::listsParentFoldersAndNullFiles() {
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(QString, indicator);
    QFETCH(QStringList, expected);

    TestUserFolder t;
    for (const QString& f : folders)
        t.makeDir("Games/" + f);
    for (const QString& f : files)
        t.writeFile("Games/" + f);
    if (!folders.isEmpty())
        t.makeDir("Games/" + folders.first() + "/Inner"); // one level only: never listed
    else
        t.makeDir("Games");

    for (const QString& typed : {t.path("Games"), t.path("Games/")}) {
        const FolderListing::Result r = FolderListing::list(typed, indicator);
        QVERIFY(r.readable);
        QCOMPARE(r.path, t.path("Games/"));
        QCOMPARE(r.entries, expected);
    }
}

void TestFolderListing::rootHasNoParentEntry() {
    const FolderListing::Result r = FolderListing::list(QDir::rootPath(), "^");
    QVERIFY(r.readable);
    QCOMPARE(r.path, QDir::rootPath());
    QVERIFY(!r.entries.isEmpty());
    QVERIFY(!r.entries.contains("..^"));
    QVERIFY(r.entries.contains(QDir(QDir::tempPath()).dirName() + "^"));
}

void TestFolderListing::unreadablePathListsNothing_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expectedPath");
    QTest::newRow("missing") << "Missing"
                             << "Missing/";
    QTest::newRow("missing with slash") << "Missing/Deeper/"
                                        << "Missing/Deeper/";
    QTest::newRow("a file") << "file.txt"
                            << "file.txt/";
    QTest::newRow("missing below dotdot") << "Missing/a/../"
                                          << "Missing/a/../";
}

void TestFolderListing::unreadablePathListsNothing() {
    QFETCH(QString, relative);
    QFETCH(QString, expectedPath);
    TestUserFolder t;
    t.writeFile("file.txt");
    const FolderListing::Result r = FolderListing::list(t.path(relative), "^");
    QVERIFY(!r.readable);
    QVERIFY(r.entries.isEmpty());
    QCOMPARE(r.path, t.path(expectedPath)); // the typed text is kept
}

void TestFolderListing::folderWithoutReadPermissionListsNothing() {
    TestUserFolder t;
    const QString locked = t.makeDir("Locked");
    t.makeDir("Locked/Inside");
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

void TestFolderListing::parentRefsResolveTextually_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("at the end") << "/tmp/x/Maps/Old/../"
                                << "/tmp/x/Maps/";
    QTest::newRow("at the end, no slash") << "/tmp/x/Maps/Old/.."
                                          << "/tmp/x/Maps/";
    QTest::newRow("in the middle") << "/tmp/x/Maps/../Old/"
                                   << "/tmp/x/Old/";
    QTest::newRow("two in a row") << "/tmp/x/a/b/../../c/"
                                  << "/tmp/x/c/";
    QTest::newRow("twice apart") << "/a/../b/c/../d"
                                 << "/b/d/";
    QTest::newRow("above the root") << "/../"
                                    << "/";
    QTest::newRow("above the root, then down") << "/a/../../b/"
                                               << "/b/";
    QTest::newRow("drive") << "C:/Maps/Old/../"
                           << "C:/Maps/";
    QTest::newRow("above a drive root") << "C:/../"
                                        << "C:/";
    QTest::newRow("share") << "//server/share/../x/"
                           << "//server/share/x/";
    QTest::newRow("dots with doubled slashes") << "/a//./b/../"
                                               << "/a/";
    QTest::newRow("relative") << "../x/../y/"
                              << "../y/";
    QTest::newRow("relative to nothing") << "a/../"
                                         << "./";
    QTest::newRow("dots inside a name") << "/tmp/x..y/"
                                        << "/tmp/x..y/";
    QTest::newRow("no parent ref") << "/tmp/./x//"
                                   << "/tmp/./x//";
}

void TestFolderListing::parentRefsResolveTextually() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(FolderListing::resolveParentRefs(path), expected);
}

void TestFolderListing::listingFollowsParentRefs_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("listed");
    QTest::newRow("at the end") << "Maps/Old/../"
                                << "Maps/";
    QTest::newRow("at the end, no slash") << "Maps/Old/.."
                                          << "Maps/";
    QTest::newRow("in the middle") << "Maps/../Maps/Old"
                                   << "Maps/Old/";
    QTest::newRow("through a missing folder") << "Nope/../Maps/"
                                              << "Maps/";
    QTest::newRow("two levels") << "Maps/Old/Older/../../"
                                << "Maps/";
}

void TestFolderListing::listingFollowsParentRefs() {
    QFETCH(QString, typed);
    QFETCH(QString, listed);
    TestUserFolder t;
    t.makeDir("Maps/Old/Older");
    t.makeDir("Maps/New");
    t.makeDir("Other");

    const FolderListing::Result r = FolderListing::list(t.path(typed), "^");
    QVERIFY(r.readable);
    // The path names the folder whose content is shown.
    QCOMPARE(r.path, t.path(listed));
    QCOMPARE(r.entries, FolderListing::list(t.path(listed), "^").entries);
}

void TestFolderListing::selectedFileReplacesIndicator_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder") << "A^"
                            << "^"
                            << "A/";
    QTest::newRow("parent") << "..^"
                            << "^"
                            << "../";
    QTest::newRow("no indicator") << "Maps"
                                  << ""
                                  << "Maps";
    QTest::newRow("every occurrence") << "a^b^"
                                      << "^"
                                      << "a/b/";
    QTest::newRow("null file") << "y.null"
                               << "^"
                               << "y.null";
    QTest::newRow("longer indicator") << "A<d>"
                                      << "<d>"
                                      << "A/";
}

void TestFolderListing::selectedFileReplacesIndicator() {
    QFETCH(QString, entry);
    QFETCH(QString, indicator);
    QFETCH(QString, expected);
    QCOMPARE(FolderListing::selectedFile(entry, indicator), expected);
}

void TestFolderListing::propertyBagStoresOnlyWhatDiffersFromDefault() {
    PropertyBag bag;
    QCOMPARE(bag.read("Path", "C:/"), QVariant("C:/"));
    bag.write("Path", QString("/games/"), QString("/"));
    bag.write("Enabled", true, true);     // equal to its default: not stored
    bag.write("SelectedFile", QString()); // no default: always stored
    QCOMPARE(bag.names(), (QStringList{"Path", "SelectedFile"}));
    QCOMPARE(bag.read("Path", "/"), QVariant("/games/"));
    QCOMPARE(bag.read("Enabled", true), QVariant(true));
    QCOMPARE(bag.read("SelectedFile", "x"), QVariant(QString()));

    bag.write("Path", QString("/other/"), QString("/"));
    QCOMPARE(bag.read("Path", "/"), QVariant("/other/"));
    bag.write("Path", QString("/"), QString("/")); // back to the default: removed
    QVERIFY(!bag.contains("Path"));
    QCOMPARE(bag.readNames(), (QStringList{"Path", "Path", "Enabled", "SelectedFile", "Path"}));
}

void TestFolderListing::systemColorsMapToPaletteRoles_data() {
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("role");
    QTest::newRow("window background") << uint(0x80000005) << int(QPalette::Active) << int(QPalette::Base);
    QTest::newRow("window text") << uint(0x80000008) << int(QPalette::Active) << int(QPalette::Text);
    QTest::newRow("inactive border") << uint(0x8000000B) << int(QPalette::Inactive) << int(QPalette::Window);
    QTest::newRow("button face") << uint(0x8000000F) << int(QPalette::Active) << int(QPalette::Button);
    QTest::newRow("highlight") << uint(0x8000000D) << int(QPalette::Active) << int(QPalette::Highlight);
    QTest::newRow("tooltip background") << uint(0x80000018) << int(QPalette::Active) << int(QPalette::ToolTipBase);
}

void TestFolderListing::systemColorsMapToPaletteRoles() {
    QFETCH(uint, code);
    QFETCH(int, group);
    QFETCH(int, role);
    QPalette palette;
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
        for (int g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(QPalette::ColorGroup(g), QPalette::ColorRole(r), QColor(r * 9, g * 40, 7));
    }
    QCOMPARE(SystemColors::resolve(code, palette),
             palette.color(QPalette::ColorGroup(group), QPalette::ColorRole(role)));
    // Plain colours are 0x00BBGGRR; unknown system colours give nothing.
    QCOMPARE(SystemColors::resolve(0x00FFFFC0, palette), QColor(0xC0, 0xFF, 0xFF));
    QVERIFY(!SystemColors::resolve(0x800000FF, palette).isValid());
}

QTEST_GUILESS_MAIN(TestFolderListing)
#include "tst_folderlisting.moc"
