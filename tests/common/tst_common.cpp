// SPDX-License-Identifier: GPL-3.0-or-later
// The shared parts without a window, and the file navigator: paths in any
// letter case, names, file copies and moves that never lose data, folder
// listings, game and tool starts, and zip archives read (the bank import's may
// be hostile) and written (the games' export), each checked against libzip.
#include "common/core/FileSystem.h"
#include "common/core/FolderListing.h"
#include "common/core/LatestOnly.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/PathContainment.h"
#include "common/core/Prompter.h"
#include "common/core/SafeFile.h"
#include "common/core/UnshownNames.h"
#include "common/core/UserPaths.h"
#include "common/core/WindowsPath.h"
#include "common/core/ZipReader.h"
#include "common/core/ZipWriter.h"
#include "common/navbox/PropertyBag.h"
#include "common/navbox/SystemColors.h"
#include "common/ui/FileNavBox.h"
#include "installs/core/GameStarter.h"
#include "support/FakeLauncher.h"
#include "support/FaultyFileSystem.h"
#include "support/TestFolders.h"
#include "support/TestZips.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMutex>
#include <QSemaphore>
#include <QTest>
#include <QtEndian>
#include <functional>

namespace {

// "<root>" in a test row is the temporary folder.
QString expand(QString text, const QString& root)
{
    return text.replace(QLatin1String("<root>"), root);
}

using Entries = QMap<QString, QByteArray>; // name -> content; folders end with '/' and map to ""

// Reads an archive back with libzip itself, which checks every entry's CRC;
// "<unreadable>" stands for what libzip cannot read.
Entries readBack(const QString& path)
{
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CHECKCONS | ZIP_RDONLY, nullptr);
    if (!archive)
        return {{QStringLiteral("<unreadable>"), QByteArray()}};
    Entries entries;
    for (zip_uint64_t i = 0; i < zip_uint64_t(zip_get_num_entries(archive, 0)); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, i, 0, &stat);
        QByteArray data(qsizetype(stat.size), '\0');
        char past = 0; // libzip checks the CRC on the read that finds the end
        zip_file_t* file = zip_fopen_index(archive, i, 0);
        const bool whole =
            file && zip_fread(file, data.data(), stat.size) == zip_int64_t(stat.size) && zip_fread(file, &past, 1) == 0;
        entries.insert(whole ? QString::fromUtf8(stat.name) : QStringLiteral("<unreadable>"), data);
        if (file)
            zip_fclose(file);
    }
    zip_discard(archive);
    return entries;
}

// Records the navigator's events in the order they come.
struct Events {
    QStringList seen;
    explicit Events(FileNavBox& nav)
    {
        QObject::connect(&nav, &FileNavBox::DirectoryChanged, [this](QString& p) { seen << "Dir:" + p; });
        QObject::connect(&nav, &FileNavBox::FileChanged, [this](QString& f) { seen << "File:" + f; });
        QObject::connect(&nav, &FileNavBox::Click, [this] { seen << "Click"; });
        QObject::connect(&nav, &FileNavBox::DblClick, [this] { seen << "DblClick"; });
        QObject::connect(&nav, &FileNavBox::MouseDown, [this](int b, int s, float x, float y) {
            seen << QString("Down:%1,%2,%3,%4").arg(b).arg(s).arg(x).arg(y);
        });
    }
    QStringList take() { return std::exchange(seen, {}); }
};

QStringList entries(const FileNavBox& nav)
{
    QStringList result;
    for (int i = 0; i < nav.listCount(); ++i)
        result << nav.list(i);
    return result;
}

} // namespace

using TextRule = std::function<QString(const QString&)>;
Q_DECLARE_METATYPE(TextRule)
Q_DECLARE_METATYPE(QList<TestZips::ZipEntry>)

class TestCommon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void textRules_data();
    void textRules();
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
    void listing_data();
    void listing();
    void navigator();
    void emptyBagRestoresDefaults();
    void game_data();
    void game();
    void processLauncher();
    void windowsPath_data();
    void windowsPath();
    void hostileArchivesAreRefused_data();
    void hostileArchivesAreRefused();
    void sizesAreCountedWhileUnpacking();
    void writesFilesDataAndFolders();
    void failedWriteLeavesOldArchive();
    void latestOnly_data();
    void latestOnly();
    void entryNames_data();
    void entryNames();

private:
    TestUserFolder m_root;
};

// Rules that turn one text into another: a path, a file name, a filter.
void TestCommon::textRules_data()
{
    QTest::addColumn<TextRule>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const TextRule& rule, const char* text, const char* expected) {
        QTest::newRow(tag) << rule << QString::fromUtf8(text) << QString::fromUtf8(expected);
    };
    const TextRule game = [](const QString& user) { return UserPaths(user).gameFolder(); };
    row("game folder: trailing separator", game, "/games/WA/User/", "/games/WA/");
    row("game folder: one below root", game, "/User", "/");
    row("game folder: root", game, "/", "/");
    row("game folder: dots cleaned", game, "/games/WA/x/../User", "/games/WA/");
    // The navigator's ".." resolved in the text alone.
    const TextRule up = &FolderListing::resolveParentRefs;
    row(".. at the end", up, "/tmp/x/Maps/Old/../", "/tmp/x/Maps/");
    row(".. twice apart", up, "/a/../b/c/../d", "/b/d/");
    row(".. above the root, then down", up, "/a/../../b/", "/b/");
    row(".. after a drive", up, "C:/Maps/Old/../", "C:/Maps/");
    row(".. after a share", up, "//server/share/../x/", "//server/share/x/");
    row(".. relative", up, "../x/../y/", "../y/");
    row("dots inside a name", up, "/tmp/x..y/", "/tmp/x..y/");
    row("no parent ref", up, "/tmp/./x//", "/tmp/./x//");
    // The navigator's selected file: the folder indicator becomes "/".
    const auto selected = [](const char* indicator) {
        return [=](const QString& entry) { return FolderListing::selectedFile(entry, QLatin1String(indicator)); };
    };
    row("selected parent", selected("^"), "..^", "../");
    row("selected, longer indicator", selected("<d>"), "A<d>", "A/");
    const TextRule filter = &qtFileFilter;
    row("filter: named pattern", filter, "Any Executable (*.exe)|*.exe", "Any Executable (*.exe)");
    row("filter: bare description", filter, "Maps|*.png;*.bmp", "Maps (*.png *.bmp)");
    row("filter: two", filter, "Wave|*.wav|All|*.*", "Wave (*.wav);;All (*.*)");
    const TextRule colour = [](const QString& code) {
        const QColor c = SystemColors::resolve(code.toUInt(nullptr, 16), QPalette());
        return c.isValid() ? c.name() : QStringLiteral("none");
    };
    row("colour: 0x00BBGGRR", colour, "00FFFFC0", "#c0ffff");
    row("colour: system colour beyond the known ones", colour, "800000FF", "none");
}

void TestCommon::textRules()
{
    QFETCH(TextRule, rule);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(rule(text), expected);
}

void TestCommon::resolveIgnoresCase_data()
{
    QTest::addColumn<QString>("existing"); // a folder made under the base, "" for none
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const char* existing, const char* relative, const char* expected) {
        QTest::newRow(tag) << existing << relative << expected;
    };
    row("lower-case folder is the Games folder", "games", "Games", "games");
    row("mixed depth", "GAMES/temp", "Games/Temp", "GAMES/temp");
    row("missing keeps spelling", "", "Games/Temp", "Games/Temp");
    row("missing below existing", "speech", "Speech/Bob", "speech/Bob");
    row("backslashes", "savedlevels/Caverns", "\\SavedLevels\\caverns", "savedlevels/Caverns");
}

void TestCommon::resolveIgnoresCase()
{
    QFETCH(QString, existing);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    TestUserFolder f;
    if (!existing.isEmpty())
        f.makeDir(existing);
    QCOMPARE(PathCase::resolve(f.user(), relative), f.path(expected));
}

// Names that are not UTF-8 (Latin-1, cut off) are not listed, as Qt cannot read
// them; they are counted instead, hidden ones aside.
void TestCommon::filePatternsIgnoreCase()
{
    TestUserFolder f;
    for (const char* name : {"b.png", "A.PNG", "c.Png", "notes.txt", ".hidden.png"})
        f.writeFile(QLatin1String(name));
    f.makeDir(QStringLiteral("folder.png"));
    QVERIFY(f.writeRawName("", "Caf\xe9.png") && f.writeRawName("", "Liga \xd0", true) &&
            f.writeRawName("", ".hidden\xff"));
    QCOMPARE(PathCase::files(f.user(), {QStringLiteral("*.png")}), (QStringList{"A.PNG", "b.png", "c.Png"}));
    QCOMPARE(PathCase::folders(f.user()), QStringList{"folder.png"});
    QVERIFY(PathCase::files(f.path(QStringLiteral("missing")), {}).isEmpty());
    // The index of a listed folder answers as a lookup of its own would.
    const PathCase::FolderIndex index(f.user());
    const QList<std::pair<QString, QString>> lookups = {{"a.png", "A.PNG"},         {"B.PNG", "b.png"},
                                                        {"notes.txt", "notes.txt"}, {"FOLDER.png", "folder.png"},
                                                        {"missing.png", ""},        {"", ""}};
    for (const auto& [name, found] : lookups) {
        QCOMPARE(index.find(name), found);
        QCOMPARE(PathCase::findEntry(f.user(), name), found);
    }
    QCOMPARE(UnshownNames::count(f.user()), 2);
    QCOMPARE(UnshownNames::count(f.user(), UnshownNames::Kind::Folders), 1);
}

void TestCommon::names_data()
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

void TestCommon::names()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    QCOMPARE(int(NameRules::check(name)), problem);
    QCOMPARE(NameRules::describe(NameRules::check(name), name).isEmpty(), problem == int(NameRules::Problem::None));
}

void TestCommon::copyAndMove_data()
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

void TestCommon::copyAndMove()
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

void TestCommon::removeFolderAndFiles()
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

void TestCommon::namesFromOutside_data()
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

void TestCommon::namesFromOutside()
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

void TestCommon::listing_data()
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
    row("longer indicator", "Maps", "<d>", "Maps/", {"..<d>", "New<d>", "Old<d>"});
    row("empty folder", "Empty", "^", "Empty/", {"..^"});
    // Wherever ".." stands, the path names the folder whose content is shown.
    row(".. in the middle", "Maps/../Maps/Old", "^", "Maps/Old/", {"..^", "Older^"});
    row(".. up to the User folder", "Maps/Old/../..", "^", "", {"..^", "Empty^", "Games^", "Locked^", "Maps^"});
    // Unreadable: nothing listed, the typed text kept (with a trailing "/").
    row("missing", "Missing", "^", "Missing/", {});
    row("a file", "file.txt", "^", "file.txt/", {});
    row("no read permission", "Locked", "^", "Locked/", {});
}

void TestCommon::listing()
{
    QFETCH(QString, typed);
    QFETCH(QString, indicator);
    QFETCH(QString, listed);
    QFETCH(QStringList, expected);
    TestUserFolder t;
    for (const char* folder : {"Games/B/Inner", "Games/a", "Games/Zed", "Games/q.null", "Games/.git", "Maps/Old/Older",
                               "Maps/New", "Empty", "Locked/Inside"})
        t.makeDir(folder);
    for (const char* file :
         {"Games/x.txt", "Games/y.null", "Games/B.NULL", "Games/null", "Games/a.nullx", "Games/.h.null", "file.txt"})
        t.writeFile(file);
    const QString locked = t.path("Locked");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const bool lockBinds = QDir(locked).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
    const FolderListing::Result r = FolderListing::list(t.path(typed), indicator);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (typed == "Locked" && !lockBinds)
        QSKIP("permissions do not bind this user (root)");
    QCOMPARE(r.readable, !expected.isEmpty());
    QCOMPARE(r.path, listed.isEmpty() ? t.user() + "/" : t.path(listed));
    QCOMPARE(r.entries, expected);
}

// The navigator driven first as a host program does, then as the user does.
void TestCommon::navigator()
{
    TestUserFolder t;
    for (const char* folder : {"Games/b", "Games/C", "Games/A", "Maps"})
        t.makeDir(folder);
    t.writeFile("Games/x.txt");
    t.writeFile("Games/y.null");
    FileNavBox nav;
    nav.resize(200, 200);
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    QListWidget* list = nav.findChild<QListWidget*>("List2");
    QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    Events events(nav);
    const QString games = t.path("Games/");

    // Setting the path lists nothing; Refresh lists and reports the folder, then no file.
    nav.setPath(t.path("Games"));
    QCOMPARE(nav.listCount(), 0);
    nav.refresh();
    QCOMPARE(nav.path(), games);
    QCOMPARE(events.take(), (QStringList{"Dir:" + games, "File:"}));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "b^", "C^", "y.null"}));
    QCOMPARE(nav.listIndex(), -1);
    nav.setListIndex(1);
    QCOMPARE(nav.selectedFile(), QString("A/"));
    QCOMPARE(events.take(), QStringList{"File:A/"});
    QVERIFY(list->currentItem()->isSelected());

    // A new indicator lists again at once, which drops the selection.
    nav.setDirectoryIndicator("");
    QCOMPARE(entries(nav), (QStringList{"..", "A", "b", "C", "y.null"}));
    QCOMPARE(nav.listIndex(), -1);
    QCOMPARE(events.take(), (QStringList{"Dir:" + games, "File:"}));

    // The selected entry chosen again is reported again; -1 selects nothing;
    // no such entry changes nothing.
    nav.setListIndex(4);
    nav.setListIndex(4);
    nav.setListIndex(-1);
    QVERIFY(list->selectedItems().isEmpty());
    nav.setListIndex(2);
    for (int bad : {5, -2})
        nav.setListIndex(bad);
    QCOMPARE(nav.listIndex(), 2);
    QCOMPARE(events.take(), (QStringList{"File:y.null", "File:y.null", "File:", "File:b"}));

    // A path that cannot be read lists nothing, raises no error and keeps its text.
    nav.setPath(t.path("Gone"));
    nav.refresh();
    QCOMPARE(nav.listCount(), 0);
    QCOMPARE(nav.path(), t.path("Gone/"));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Gone/"), "File:"}));
    nav.setListIndex(0);
    QCOMPARE(nav.selectedFile(), QString());
    QVERIFY(events.seen.isEmpty());

    // Enter lists the typed path; the box then names the folder really
    // listed, also with ".." in the middle of the path.
    QComboBox* box = nav.findChild<QComboBox*>("Combo2");
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, t.path("Maps/../Games"));
    QVERIFY(events.seen.isEmpty()); // typing alone lists nothing
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(nav.path(), games);
    QCOMPARE(nav.listCount(), 5);
    QCOMPARE(events.take(), (QStringList{"Dir:" + games, "File:"}));
    QCOMPARE(box->count(), 0); // typed paths stay out of the drop-down

    // A click on an entry, or the keyboard, raises FileChanged; a double click does nothing more.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
    QCOMPARE(nav.listIndex(), 2);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(nav.listIndex(), 1);
    QCOMPARE(events.take(), (QStringList{"File:b", "File:A"}));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    QCOMPARE(nav.listIndex(), 1);
    QCOMPARE(nav.path(), games);             // the double click went nowhere
    QVERIFY(!list->findChild<QLineEdit*>()); // no editor opened
    QVERIFY(events.seen.isEmpty());
}

void TestCommon::emptyBagRestoresDefaults()
{
    QWidget host;
    host.setFont(QFont("DejaVu Serif", 10));
    FileNavBox nav(&host);
    nav.setDirectoryIndicator("");
    nav.setMousePointer(11);
    QCOMPARE(nav.cursor().shape(), Qt::WaitCursor);
    nav.readProperties(PropertyBag());

    QCOMPARE(nav.backColor(), QApplication::palette(&nav).color(QPalette::Active, QPalette::Base));
    QCOMPARE(nav.boxFont(), host.font());
    QVERIFY(!nav.testAttribute(Qt::WA_SetCursor));
    QCOMPARE(nav.directoryIndicator(), QString("^"));
    QCOMPARE(nav.path(), QDir::rootPath());
    QVERIFY(nav.listCount() > 0);
    QVERIFY(nav.list(0) != "..^"); // a root has no parent entry

    // System colours follow the desktop's scheme.
    const QPalette before = QApplication::palette();
    QPalette changed = before;
    changed.setColor(QPalette::Base, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    QTRY_COMPARE(nav.backColor(), QColor(1, 2, 3));
    QApplication::setPalette(before);
}

void TestCommon::initTestCase()
{
    for (const char* game : {"plain/WA", "pfx/drive_c/GOG Games/WA", "steam/steamapps/common/Worms Armageddon"}) {
        m_root.writeFile(game + QStringLiteral("/WA.exe"));
        m_root.writeFile(game + QStringLiteral("/WormKit.exe"));
        m_root.makeDir(game + QStringLiteral("/User"));
    }
    m_root.writeFile(QStringLiteral("pfx/system.reg"));
    m_root.makeDir(QStringLiteral("flatpak/app/com.valvesoftware.Steam"));
    // A folder with drive_c but no system.reg is no prefix.
    m_root.writeFile(QStringLiteral("fake/drive_c/WA/WA.exe"));
    m_root.makeDir(QStringLiteral("fake/drive_c/WA/User"));
}

void TestCommon::game_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("programs"); // on the PATH
    QTest::addColumn<bool>("flatpakSteam");    // the Steam Flatpak is installed
    QTest::addColumn<QString>("program");      // "" for the game, "wormkit", or a tool's file
    QTest::addColumn<int>("problem");
    QTest::addColumn<QStringList>("command"); // program, then arguments
    QTest::addColumn<QString>("prefix");      // WINEPREFIX, "" when unset

    using K = GameInstall::Kind;
    using R = Launcher::Result;
    auto row = [](const char* tag, K kind, const char* user, const QStringList& programs, bool flatpakSteam,
                  const char* program, R problem, const QStringList& command = {}, const char* prefix = "") {
        QTest::newRow(tag) << int(kind) << QString(user) << programs << flatpakSteam << QString(program) << int(problem)
                           << command << QString(prefix);
    };
    const char* steamUser = "<root>/steam/steamapps/common/Worms Armageddon/User";
    const char* gog = "<root>/pfx/drive_c/GOG Games/WA/User";
    const QStringList all{"steam", "flatpak", "wine"};
    const QStringList play{"/play", "C:\\a b.WAgame"}, applaunch = QStringList{"-applaunch", "217200"} + play;
    row("steam", K::Steam, steamUser, all, true, "", R::Started, QStringList{"/bin/steam"} + applaunch);
    row("steam wormkit", K::Steam, steamUser, all, true, "wormkit", R::Started,
        QStringList{"/bin/steam", "-applaunch", "217200", "/wk"} + play);
    row("steam flatpak", K::Steam, steamUser, {"flatpak", "wine"}, true, "", R::Started,
        QStringList{"/bin/flatpak", "run", "com.valvesoftware.Steam"} + applaunch);
    row("flatpak without steam", K::Steam, steamUser, all.mid(1), false, "", R::NoSteam);
    row("steam app without flatpak", K::Steam, steamUser, {"wine"}, true, "", R::NoSteam);
    row("wine prefix", K::Wine, gog, all, false, "", R::Started,
        QStringList{"/bin/wine", "<root>/pfx/drive_c/GOG Games/WA/WA.exe"} + play, "<root>/pfx");
    row("chosen folder inside a prefix", K::Folder, gog, all, false, "wormkit", R::Started,
        QStringList{"/bin/wine", "<root>/pfx/drive_c/GOG Games/WA/WormKit.exe"} + play, "<root>/pfx");
    row("drive_c without system.reg", K::Here, "<root>/fake/drive_c/WA/User", all, false, "", R::Started,
        QStringList{"/bin/wine", "<root>/fake/drive_c/WA/WA.exe"} + play);
    row("plain folder", K::Here, "<root>/plain/WA/User", all, false, "", R::Started,
        QStringList{"/bin/wine", "<root>/plain/WA/WA.exe"} + play);
    row("no wine", K::Wine, gog, all.mid(0, 2), false, "", R::NoWine);
    // Only the Windows kind runs on a Windows host, and needs no program on the PATH.
    row("windows", K::Windows, "<root>/plain/WA/User", {}, false, "", R::Started,
        QStringList{"<root>/plain/WA/WA.exe"} + play);
    row("no game", K::Folder, "<root>/plain/User", all, false, "", R::NotFound);
    // A Windows tool runs through wine, in the install's prefix if it has one.
    const char* tool = "<root>/plain/WA/WormKit.exe";
    row("tool in the install's prefix", K::Folder, gog, {"wine"}, false, tool, R::Started, {"/bin/wine", tool},
        "<root>/pfx");
    row("tool, install without prefix", K::Folder, "<root>/plain/WA/User", {"wine"}, false, tool, R::Started,
        {"/bin/wine", tool});
    row("tool not for Windows", K::Folder, gog, {"wine"}, false, "<root>/pfx/system.reg", R::Started,
        {"<root>/pfx/system.reg"});
    row("tool missing", K::Folder, "<root>/plain/WA/User", {"wine"}, false, "<root>/plain/WA/gone.exe", R::NotFound);
}

void TestCommon::game()
{
    QFETCH(int, kind);
    QFETCH(QString, user);
    QFETCH(QStringList, programs);
    QFETCH(bool, flatpakSteam);
    QFETCH(QString, program);
    QFETCH(int, problem);
    QFETCH(QStringList, command);
    QFETCH(QString, prefix);
    const QString root = m_root.user();

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
    const auto which = program == "wormkit" ? GameStarter::Program::WormKit : GameStarter::Program::Game;
    const Launcher::Result result =
        program.isEmpty() || program == "wormkit"
            ? starter.startGame(install, which, {QStringLiteral("/play"), QStringLiteral("C:\\a b.WAgame")})
            : starter.startTool(install, expand(program, root));
    QCOMPARE(int(result), problem);
    if (command.isEmpty()) {
        QVERIFY(launcher.requests.isEmpty());
        return;
    }
    QCOMPARE(launcher.requests.size(), 1);
    const LaunchRequest& r = launcher.requests.first();
    QCOMPARE((QStringList{r.program} + r.arguments).join('|'), expand(command.join('|'), root));
    // The game or tool runs in its own folder; Steam is not given one.
    const bool throughSteam = r.program == "/bin/steam" || r.program == "/bin/flatpak";
    QCOMPARE(r.workingFolder, throughSteam ? QString() : QFileInfo(launcher.started.first()).path());
    QCOMPARE(r.environment.value(QStringLiteral("WINEPREFIX")), expand(prefix, root));
    QCOMPARE(r.environment.size(), prefix.isEmpty() ? 0 : 1);
}

void TestCommon::processLauncher()
{
    ProcessLauncher launcher;
    using R = Launcher::Result;
    const QString root = m_root.user();
    // Missing, a folder, nothing, and a name that is on no PATH.
    for (const QString& program :
         {root + QStringLiteral("/none.exe"), root, QString(), QStringLiteral("no-such-program")})
        QCOMPARE(launcher.start({program, {}, {}, {}}), R::NotFound);
#ifndef Q_OS_WIN
    // A script that writes its arguments, its working folder and one variable.
    const QString marker = m_root.path(QStringLiteral("started.txt"));
    const QString script = m_root.writeFile(QStringLiteral("record.sh"),
                                            "#!/bin/sh\necho \"$@|$(pwd)|$WINEPREFIX\" > '" + marker.toUtf8() + "'\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString folder = root + QStringLiteral("/plain/WA");
    QCOMPARE(launcher.start({script,
                             {QStringLiteral("a b"), QStringLiteral("c")},
                             folder,
                             {{QStringLiteral("WINEPREFIX"), QStringLiteral("/p x")}}}),
             R::Started);
    QTRY_VERIFY(QFileInfo(marker).size() > 0);
    QCOMPARE(QString::fromUtf8(m_root.read(QStringLiteral("started.txt"))),
             QStringLiteral("a b c|") + folder + QStringLiteral("|/p x\n"));

    // A file that cannot be executed.
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(launcher.start({script, {}, {}, {}}), R::Failed);
#endif
}

// The Windows path the game is handed for a file, asked of winepath when there is one.
void TestCommon::windowsPath_data()
{
    QTest::addColumn<QString>("winepath"); // the fake program's script, "" for none on the PATH
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString game = QStringLiteral("/home/a/Worms Armageddon/User/Games/x y.WAgame");
    const QString zGame = QStringLiteral("Z:\\home\\a\\Worms Armageddon\\User\\Games\\x y.WAgame");
    QTest::newRow("no winepath: dots cleaned") << "" << QString("/a/./b/../c.WAgame") << QString("Z:\\a\\c.WAgame");
    QTest::newRow("winepath answers") << "printf 'C:\\\\users\\\\a\\\\x.WAgame\\r\\n'" << game
                                      << "C:\\users\\a\\x.WAgame";
    QTest::newRow("winepath fails") << "echo 'C:\\\\x'; exit 1" << game << zGame;
    QTest::newRow("winepath says something else") << "echo 'wine: could not load'" << game << zGame;
    QTest::newRow("winepath hangs") << "sleep 30" << game << zGame;
}

void TestCommon::windowsPath()
{
    QFETCH(QString, winepath);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    TestUserFolder dir;
    const QString program = dir.path(QStringLiteral("winepath"));
    const QString record = dir.path(QStringLiteral("called"));
    if (!winepath.isEmpty()) {
        dir.writeFile(QStringLiteral("winepath"),
                      QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$WINEPREFIX\" \"$*\" > '%1'\n%2\n")
                          .arg(record, winepath)
                          .toUtf8());
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
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
        QCOMPARE(QString::fromUtf8(dir.read(QStringLiteral("called"))), QStringLiteral("/home/a/.wine|-w ") + path);
    }
    QTest::qWait(20);
    QCOMPARE(answers.size(), 1);
}

void TestCommon::hostileArchivesAreRefused_data()
{
    QTest::addColumn<QList<TestZips::ZipEntry>>("entries");
    QTest::addColumn<QString>("refusal");
    using Zip = QList<TestZips::ZipEntry>;
    QTest::newRow("good") << Zip{{"Bob/", ""}, {"Bob/./Hello.wav", "x"}} << QString();
    QTest::newRow("not a zip") << Zip{} << "<root>/bank.zip is not a zip archive.";
    QTest::newRow("traversal") << Zip{{"Bob/../../evil.wav", "x"}} << "a step up";
    QTest::newRow("traversal with backslashes") << Zip{{"Bob\\..\\..\\evil.wav", "x"}} << "a step up";
    QTest::newRow("absolute path") << Zip{{"/tmp/evil.wav", "x"}} << "an absolute path";
    QTest::newRow("drive") << Zip{{"C:/evil.wav", "x"}} << "a drive";
    QTest::newRow("link") << Zip{{"Bob/Hello.wav", "/etc/passwd", true}} << "is a link";
    Zip many;
    for (int i = 0; i < 11; ++i)
        many.append({"Bob/" + QByteArray::number(i) + ".wav", "x"});
    QTest::newRow("too many entries") << many << "holds 11 entries; more than 10";
    QTest::newRow("too large") << Zip{{"a.wav", QByteArray(600, 'a')}, {"b.wav", QByteArray(600, 'b')}}
                               << "unpacks to more than";
}

void TestCommon::hostileArchivesAreRefused()
{
    QFETCH(QList<TestZips::ZipEntry>, entries);
    QFETCH(QString, refusal);
    const QString path = m_root.path(QStringLiteral("bank.zip"));
    QVERIFY(entries.isEmpty() ? QFile::exists(m_root.writeFile(QStringLiteral("bank.zip"), "no archive here"))
                              : TestZips::makeZip(path, entries));
    ZipReader reader(path, ZipReader::Limits{10, 1000});
    QCOMPARE(reader.open(), refusal.isEmpty());
    QVERIFY2(reader.errorString().contains(expand(refusal, m_root.user())), qPrintable(reader.errorString()));
    if (refusal.isEmpty()) {
        QCOMPARE(reader.entries().size(), 2);
        QCOMPARE(reader.entries().at(1).name, QStringLiteral("Bob/Hello.wav"));
    }
}

void TestCommon::sizesAreCountedWhileUnpacking()
{
    // An archive whose headers claim 10 bytes for an entry of 2000.
    const QString path = m_root.path(QStringLiteral("bomb.zip"));
    QVERIFY(TestZips::makeZip(path, {{"Hello.wav", QByteArray(2000, 'z')}}));
    QByteArray bytes = m_root.read(QStringLiteral("bomb.zip"));
    for (const QByteArray& signature : {QByteArray("PK\3\4"), QByteArray("PK\1\2")}) {
        const int at = bytes.indexOf(signature);
        QVERIFY(at >= 0);
        const int sizeOffset = at + (signature == "PK\3\4" ? 22 : 24); // uncompressed size
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + sizeOffset), 2000u);
        qToLittleEndian<quint32>(10, bytes.data() + sizeOffset);
    }
    m_root.writeFile(QStringLiteral("bomb.zip"), bytes);

    ZipReader reader(path, ZipReader::Limits{10, 1000});
    QVERIFY2(reader.open(), qPrintable(reader.errorString()));
    QCOMPARE(reader.entries().value(0).size, qint64(10));
    const QString out = m_root.path(QStringLiteral("Hello.wav"));
    QVERIFY(!reader.extract(0, out));
    QVERIFY2(reader.errorString().contains("unpacks to more than"), qPrintable(reader.errorString()));
    QVERIFY(!QFile::exists(out));
}

void TestCommon::writesFilesDataAndFolders()
{
    TestUserFolder dir;
    QByteArray big(300000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((static_cast<quint32>(i) * 7919u) >> 3);
    dir.writeFile("game.WAgame", big);
    dir.writeFile("old.zip", "old archive");

    ZipWriter writer(dir.path("old.zip"));
    QVERIFY(writer.addFile(QStringLiteral("League/Åsa vs Łukasz.WAgame"), dir.path("game.WAgame")));
    QVERIFY(writer.addData(QStringLiteral("League/Åsa vs Łukasz.log"), "log text"));
    QVERIFY(writer.addData(QStringLiteral("empty.txt"), QByteArray()));
    QVERIFY(writer.addFolder(QStringLiteral("Empty/Inner")));
    QCOMPARE(dir.read("old.zip"), QByteArray("old archive")); // nothing written before commit
    QVERIFY2(writer.commit(), qPrintable(writer.errorString()));

    const Entries entries = readBack(dir.path("old.zip"));
    const Entries expected{{"League/", ""},
                           {"League/Åsa vs Łukasz.WAgame", big},
                           {"League/Åsa vs Łukasz.log", "log text"},
                           {"empty.txt", ""},
                           {"Empty/", ""},
                           {"Empty/Inner/", ""}};
    QCOMPARE(entries.keys(), expected.keys());
    QVERIFY(entries == expected);
    QCOMPARE(dir.entries(""), (QStringList{"game.WAgame", "old.zip"})); // no temporary left over

    // An archive with no entries is still a valid (empty) zip.
    ZipWriter empty(dir.path("empty.zip"));
    QVERIFY(empty.commit());
    QVERIFY(readBack(dir.path("empty.zip")).isEmpty());
}

void TestCommon::failedWriteLeavesOldArchive()
{
    TestUserFolder dir;
    dir.writeFile("a.WAgame", "replay");
    dir.writeFile("out.zip", "old archive");
    {
        ZipWriter writer(dir.path("out.zip"));
        QVERIFY(writer.addFile(QStringLiteral("a.WAgame"), dir.path("a.WAgame")));
        QVERIFY(!writer.addFile(QStringLiteral("b.WAgame"), dir.path("missing.WAgame")));
        QVERIFY(!writer.errorString().isEmpty());
        QFile::remove(dir.path("a.WAgame")); // vanishes before the archive is written
        QVERIFY(!writer.commit());
        QVERIFY(!writer.errorString().isEmpty());
    }
    {
        ZipWriter abandoned(dir.path("out.zip"));
        QVERIFY(abandoned.addData(QStringLiteral("x"), "never written"));
    }
    QCOMPARE(dir.read("out.zip"), QByteArray("old archive"));
    QCOMPARE(dir.entries(""), QStringList{"out.zip"});

    // A folder that cannot be written to: a clear failure, no file.
    ZipWriter nowhere(dir.path("no/such/folder/out.zip"));
    QVERIFY(nowhere.addData(QStringLiteral("x"), "data"));
    QVERIFY(!nowhere.commit());
    QVERIFY(!nowhere.errorString().isEmpty());
}

void TestCommon::entryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("nested") << "Scheme/Sub/a.wav" << true;
    QTest::newRow("folder") << "Scheme/" << true;
    QTest::newRow("dots inside a name") << "a..b/c...wav" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("parent") << "../a.wav" << false;
    QTest::newRow("dot part") << "./a.wav" << false;
    QTest::newRow("backslash") << "..\\a.wav" << false;
    QTest::newRow("drive relative") << "C:a.wav" << false;
    QTest::newRow("empty part") << "Scheme//a.wav" << false;
    QTest::newRow("control character") << "a\nb.wav" << false;
}

void TestCommon::entryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(ZipWriter::isSafeEntryName(name), safe);
    if (safe || name.isEmpty())
        return;
    // The writer refuses what the rule refuses, and writes nothing for it.
    TestUserFolder dir;
    ZipWriter writer(dir.path("out.zip"));
    QVERIFY(!writer.addData(name, "x"));
    QVERIFY(writer.commit());
    QVERIFY(readBack(dir.path("out.zip")).isEmpty());
}

void TestCommon::latestOnly_data()
{
    // Steps: "hold X" starts X and lets it run until released or superseded,
    // "start X" / "add X" give quick work, then "release", "cancel", "destroy".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("ran");       // work that ran; "X!" when it saw its cancel flag
    QTest::addColumn<QStringList>("delivered"); // results on the owner's thread, in order
    QTest::newRow("a new request supersedes the running one")
        << QStringList{"hold a", "start b"} << QStringList{"a", "a!", "b"} << QStringList{"b"};
    QTest::newRow("queued work of a superseded request never runs")
        << QStringList{"hold a", "add b", "start c"} << QStringList{"a", "a!", "c"} << QStringList{"c"};
    QTest::newRow("cancel drops the result of running work")
        << QStringList{"hold a", "cancel"} << QStringList{"a", "a!"} << QStringList{};
    QTest::newRow("work added to the latest request is delivered in order")
        << QStringList{"hold a", "add b", "add c", "release"} << QStringList{"a", "b", "c"}
        << QStringList{"a", "b", "c"};
    QTest::newRow("destroying the owner cancels and waits for running work")
        << QStringList{"hold a", "add b", "destroy"} << QStringList{"a", "a!"} << QStringList{};
}

void TestCommon::latestOnly()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, ran);
    QFETCH(QStringList, delivered);

    QMutex mutex;
    QStringList workRan;
    QStringList got;
    QSemaphore started;
    std::atomic<bool> released{false};
    auto helper = std::make_unique<LatestOnly>(1);
    auto work = [&](const QString& name, bool hold) {
        return [&, name, hold](const LatestOnly::Request& request) {
            {
                QMutexLocker lock(&mutex);
                workRan << name;
            }
            if (hold) {
                started.release();
                while (!released && !request.cancelled())
                    QThread::msleep(1);
                if (request.cancelled()) {
                    QMutexLocker lock(&mutex);
                    workRan << name + QLatin1Char('!');
                }
            }
            request.deliver([&got, name] { got << name; });
        };
    };
    for (const QString& step : steps) {
        const QString verb = step.section(QLatin1Char(' '), 0, 0), name = step.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("hold")) {
            helper->start(work(name, true));
            QVERIFY(started.tryAcquire(1, 5000));
        } else if (verb == QLatin1String("start")) {
            helper->start(work(name, false));
        } else if (verb == QLatin1String("add")) {
            helper->add(work(name, false));
        } else if (verb == QLatin1String("release")) {
            released = true;
        } else if (verb == QLatin1String("cancel")) {
            helper->cancel();
        } else if (verb == QLatin1String("destroy")) {
            helper.reset();
            QMutexLocker lock(&mutex);
            QCOMPARE(workRan, ran); // nothing runs after the owner is gone
        }
    }
    if (helper)
        helper->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QMutexLocker lock(&mutex);
    QCOMPARE(workRan, ran);
    QCOMPARE(got, delivered);
}

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
