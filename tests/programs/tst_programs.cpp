// SPDX-License-Identifier: GPL-3.0-or-later
// The programs catalogue: its encrypted file, the order of titles, the record
// set's positions, the files that must be refused and left untouched; then
// "My Proggies" driven through the real main menu entry, every box through the
// scripted prompter.
#include "common/core/UserPaths.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "programs/core/CatalogueDatabase.h"
#include "programs/core/ProgramCatalogue.h"
#include "programs/core/RecordSet.h"
#include "programs/ui/ProgramsWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <sqlite3.h>

#include <QCloseEvent>
#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <functional>

namespace {

struct Program {
    QString title;
    QString description;
    QString file;
    // As TestCatalogue::rows() lists it.
    QString row() const { return title + QLatin1Char('|') + description + QLatin1Char('|') + file; }
};

// The first page of an Access database: version, then the signature of its
// engine ("Jet" for .mdb, "ACE" for .accdb).
QByteArray accessFileBytes(const char* engine)
{
    QByteArray bytes(4096, '\x5A');
    bytes.replace(0, 20, QByteArray("\0\1\0\0Standard ", 13) + engine + QByteArray(" DB\0", 4));
    return bytes;
}

// A catalogue file opened with the program's passphrase, with a record set
// on its programs in title order.
class TestCatalogue {
public:
    CatalogueDatabase db;
    RecordSet records{&db};

    // Opens (or makes) the catalogue in `file` and adds `programs` in that
    // order, as imports do. False at the first step that fails.
    bool open(const QString& file, const QList<Program>& programs = {})
    {
        if (!db.open(file, ProgramCatalogue::Passphrase))
            return false;
        ProgramCatalogue::pointAtPrograms(records);
        if (!records.refresh())
            return false;
        for (const Program& p : programs) {
            if (!ProgramCatalogue::add(records, p.title, p.description, p.file))
                return false;
        }
        return true;
    }

    // The fields of every row, joined by "|", in query order.
    QStringList column(std::initializer_list<int> fields)
    {
        QStringList out;
        for (int position = 1; records.setAbsolutePosition(position); ++position) {
            QStringList row;
            for (int field : fields)
                row << records.field(field).toString();
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }
    // Every row as "title|description|file", in query order.
    QStringList rows()
    {
        return column({ProgramCatalogue::TitleField, ProgramCatalogue::DescriptionField, ProgramCatalogue::PathField});
    }
};

const QString kSelect = QStringLiteral("Select A Proggy");

// The catalogue as the file holds it now: "title|description|file" in title order.
QStringList stored(const TestApp& t)
{
    TestCatalogue catalogue;
    return catalogue.open(t.folder.path(UserPaths::CatalogueFile)) ? catalogue.rows()
                                                                   : QStringList{QStringLiteral("<cannot open>")};
}

// Puts `programs` into the catalogue file (none: leaves it to the program to
// make), starts the program and clicks "My Proggies"; the programs window if
// it opened.
QWidget* openWith(TestApp& t, const QList<Program>& programs = {})
{
    if (!programs.isEmpty() && !TestCatalogue().open(t.folder.path(UserPaths::CatalogueFile), programs))
        return nullptr;
    MainMenuWindow* menu = t.startToMainMenu();
    if (!menu)
        return nullptr;
    click(named<ClickLabel>(menu, QStringLiteral("cmdProg")));
    return t.isShown(WindowNames::Programs) ? t.existing(WindowNames::Programs) : nullptr;
}

// Every box shown, as "kind|title|text|extra|buttons|icon".
QStringList shown(const FakePrompter& prompter)
{
    const char* kinds[] = {"message", "input", "file"};
    const char* icons[] = {"", "information", "question", "exclamation"};
    QStringList out;
    for (const FakePrompter::Box& b : prompter.boxes()) {
        const char* buttons = b.buttons == Prompter::Buttons::Ok ? "OK" : "Yes/No";
        out << QStringList{kinds[int(b.kind)], b.title, b.text, b.extra, buttons, icons[int(b.icon)]}.join('|');
    }
    return out;
}

QListWidget* list1(QWidget* window)
{
    return named<QListWidget>(window, QStringLiteral("List1"));
}

QStringList listed(QWidget* window)
{
    QStringList out;
    for (int i = 0; list1(window) && i < list1(window)->count(); ++i)
        out << list1(window)->item(i)->text();
    return out;
}

void clickEntry(QWidget* window, int row, bool twice = false)
{
    QListWidget* list = list1(window);
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// What the labels show of the selected program: "title|description".
QString selection(QWidget* window)
{
    auto* title = named<QLabel>(window, QStringLiteral("lblTitle"));
    auto* description = named<QLabel>(window, QStringLiteral("lblDes"));
    return title && description ? title->text() + QLatin1Char('|') + description->text()
                                : QStringLiteral("<no labels>");
}

void clickAction(QWidget* window, const char* name)
{
    click(named<ClickLabel>(window, QLatin1String(name)));
}

// Waits until the loading window has replaced `old` with a new programs
// window and gone; the new window, or nullptr.
QWidget* waitForRebuild(TestApp& t, const QPointer<QWidget>& old)
{
    const bool done = QTest::qWaitFor(
        [&] { return old.isNull() && t.isShown(WindowNames::Programs) && !t.isShown(WindowNames::Loading); }, 5000);
    return done ? t.existing(WindowNames::Programs) : nullptr;
}

} // namespace

using Setup = std::function<void(const TestUserFolder&)>;
Q_DECLARE_METATYPE(Setup)

class TestPrograms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void titleOrder_data();
    void titleOrder();
    void refusedFiles_data();
    void refusedFiles();
    void positionsAndDeletion();
    void refusedThenEmptyCatalogue();
    void listsSelectsAndHighlights();
    void runAndRemoveAnsweredNo();
    void removeAnsweredYesRebuildsUntouchable();
    void importAsksUntilAnswered();
};

void TestPrograms::roundTrip()
{
    // Quotes, placeholders and long texts are stored as they are: values are bound, never spliced in.
    const QList<Program> programs = {
        {"Tool", "it's \"quoted\"\nover two lines", "C:\\Tools\\it's.exe"},
        {"Robert'); DROP TABLE Programs;--", "%s %n ?1 :name ümlaut ✓ 日本語", "/home/user/Worms Armageddon/a b.sh"},
        {QString(300, QLatin1Char('x')), QString(5000, QLatin1Char('y')), QString()},
    };
    TestUserFolder folder;
    const QString file = folder.path(UserPaths::CatalogueFile);
    {
        TestCatalogue made;
        QVERIFY2(made.open(file), qPrintable(made.db.problemMessage()));
        QVERIFY(made.db.createdNew());
        QCOMPARE(made.records.absolutePosition(), RecordSet::NoPosition);
        for (const Program& p : programs)
            QVERIFY(ProgramCatalogue::add(made.records, p.title, p.description, p.file));

        // The MAPS table beside it, ordered by picture name.
        ProgramCatalogue::pointAtMaps(made.records);
        QVERIFY2(made.records.refresh(), qPrintable(made.records.lastError()));
        QCOMPARE(made.records.fieldName(1), QStringLiteral("PIC_NAME"));
        for (const char* name : {"b.png", "A.png"})
            QVERIFY(made.records.addNew() && made.records.setField(1, QString::fromUtf8(name)) &&
                    made.records.update());
        QVERIFY(made.records.refresh());
        QCOMPARE(made.column({1}), (QStringList{"A.png", "b.png"}));
    }
    // Only the catalogue itself is left in its folder: no journal, no half-made file.
    QCOMPARE(folder.entries(QStringLiteral("db")), QStringList{QStringLiteral("OxbelDatabase.mdb")});
    // Encrypted with SQLCipher's defaults: not the plain format, nothing in the
    // clear, refused without the password at the first read (as by any SQLite
    // reader), every row there with it.
    const QByteArray bytes = folder.read(UserPaths::CatalogueFile);
    QVERIFY(bytes.size() >= 1024 && !bytes.startsWith("SQLite format 3"));
    QVERIFY(!bytes.contains("DROP TABLE") && !bytes.contains("CREATE TABLE"));
    const auto query = [&file](const char* key, const char* sql, QByteArray* rows) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        if (key)
            sqlite3_exec(raw, key, nullptr, nullptr, nullptr);
        const auto collect = [](void* out, int, char** values, char**) {
            *static_cast<QByteArray*>(out) += QByteArray(values[0]) + '\n';
            return 0;
        };
        const int rc = sqlite3_exec(raw, sql, collect, rows, nullptr);
        sqlite3_close(raw);
        return rc;
    };
    QByteArray rows;
    QCOMPARE(query(nullptr, "SELECT count(*) FROM sqlite_master", &rows), SQLITE_NOTADB);
    QCOMPARE(query("PRAGMA key='copperfalls'", "SELECT Title FROM Programs ORDER BY ID", &rows), SQLITE_OK);
    QCOMPARE(rows, (programs[0].title + '\n' + programs[1].title + '\n' + programs[2].title + '\n').toUtf8());
    QCOMPARE(folder.read(UserPaths::CatalogueFile), bytes);

    TestCatalogue again;
    QVERIFY(again.open(file));
    QVERIFY(!again.db.createdNew());
    QCOMPARE(again.records.fieldCount(), 4);
    QCOMPARE(again.records.fieldName(ProgramCatalogue::TitleField), QStringLiteral("Title"));
    QCOMPARE(again.records.absolutePosition(), 1);
    QCOMPARE(again.rows(), (QStringList{programs[1].row(), programs[0].row(), programs[2].row()}));
    // The keys are the database's own, in the order the rows were added.
    QCOMPARE(again.column({ProgramCatalogue::KeyField}), (QStringList{"2", "1", "3"}));
}

void TestPrograms::titleOrder_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("case only, a first") << QStringList{"a", "A"} << QStringList{"a", "A"};
    QTest::newRow("accents beside their letter")
        << QStringList{"Zebra", "éclair", "Echo", "eclair"} << QStringList{"Echo", "eclair", "éclair", "Zebra"};
    QTest::newRow("digits as text") << QStringList{"Tool 9", "Tool 10"} << QStringList{"Tool 10", "Tool 9"};
    QTest::newRow("mixed case words") << QStringList{"worms", "WormKit", "Worm Tool", "wa"}
                                      << QStringList{"wa", "Worm Tool", "WormKit", "worms"};
}

void TestPrograms::titleOrder()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    TestUserFolder folder;
    // Each description tells when its row was added.
    QList<Program> programs;
    for (int i = 0; i < added.size(); ++i)
        programs.append({added.at(i), QString::number(i), QString()});
    TestCatalogue catalogue;
    QVERIFY(catalogue.open(folder.path(UserPaths::CatalogueFile), programs));
    QCOMPARE(ProgramCatalogue::titles(catalogue.records), listed);
    // Rows with equal titles keep the order in which they were added.
    const QStringList order = catalogue.column({ProgramCatalogue::DescriptionField});
    for (int i = 1; i < listed.size(); ++i) {
        if (listed.at(i).compare(listed.at(i - 1), Qt::CaseInsensitive) == 0)
            QVERIFY(order.at(i - 1).toInt() < order.at(i).toInt());
    }
}

void TestPrograms::refusedFiles_data()
{
    // What stands in the catalogue's place, made in the test's User folder.
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<CatalogueDatabase::Problem>("problem");
    QTest::addColumn<QString>("reason"); // words of the message for the user
    using P = CatalogueDatabase::Problem;
    auto row = [](const char* what, const Setup& setup, P problem, const char* reason) {
        QTest::newRow(what) << setup << problem << QString::fromUtf8(reason);
    };
    // A catalogue made with this passphrase, then changed by hand.
    const auto made = [](const QByteArray& key, const char* sql) {
        return [=](const TestUserFolder& folder) {
            CatalogueDatabase db;
            QVERIFY(db.open(folder.path(UserPaths::CatalogueFile), key));
            QCOMPARE(sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK);
        };
    };
    const auto changed = [&](const char* sql) { return made(ProgramCatalogue::Passphrase, sql); };
    const auto bytes = [](const QByteArray& content) {
        return [=](const TestUserFolder& folder) { folder.writeFile(UserPaths::CatalogueFile, content); };
    };
    const Setup folder = [](const TestUserFolder& f) { f.makeDir(UserPaths::CatalogueFile); };
    const Setup fileNamedDb = [](const TestUserFolder& f) { f.writeFile(QStringLiteral("db"), "mine"); };
    row("other key", made("tinfoilhats", ""), P::WrongKey, "or it is protected with another password");
    row("random bytes", bytes(QByteArray(8192, '\x5A')), P::WrongKey, "not a catalogue");
    row("Jet", bytes(accessFileBytes("Jet")), P::AccessFile, "the format of the older Access-style catalogue");
    row("ACE", bytes(accessFileBytes("ACE")), P::AccessFile, "Access database");
    row("plain SQLite", made(QByteArray(), ""), P::PlainSqlite, "without the catalogue's password");
    row("no Programs table", changed("DROP TABLE Programs"), P::NoProgramsTable, "holds no usable Programs table");
    row("Programs table too narrow", changed("DROP TABLE Programs; CREATE TABLE Programs (ID INTEGER, Title TEXT)"),
        P::NoProgramsTable, "holds no usable Programs table");
    // This one crashed the engine at the next insert.
    row("sqlite_sequence taken out of the schema",
        changed("PRAGMA writable_schema=ON; DELETE FROM sqlite_master WHERE name='sqlite_sequence'"), P::ForeignSchema,
        "not exactly those of a catalogue");
    row("an extra table", changed("CREATE TABLE Extra (x)"), P::ForeignSchema, "not exactly those of a catalogue");
    row("a trigger", changed("CREATE TRIGGER t AFTER INSERT ON Programs BEGIN DELETE FROM MAPS; END"), P::ForeignSchema,
        "not exactly those of a catalogue");
    row("sqlite_sequence on the pages of Programs",
        changed("PRAGMA writable_schema=ON; UPDATE sqlite_master SET rootpage = (SELECT rootpage FROM sqlite_master "
                "WHERE name='Programs') WHERE name='sqlite_sequence'"),
        P::Damaged, "The catalogue file is damaged");
    const Setup flipped = [](const TestUserFolder& f) {
        QVERIFY(TestCatalogue().open(f.path(UserPaths::CatalogueFile), {{"A", "a", "/a"}}));
        QByteArray content = f.read(UserPaths::CatalogueFile);
        for (int i = 1100; i < 1200; ++i) // inside the page of the Programs table
            content[i] = char(~content.at(i));
        f.writeFile(UserPaths::CatalogueFile, content);
    };
    row("bytes changed in the page of Programs", flipped, P::Damaged, "The catalogue file is damaged");
    row("empty file", bytes(QByteArray()), P::Empty, "The file is empty");
    row("folder", folder, P::Folder, "A folder stands at this place");
    row("no read permission", bytes(accessFileBytes("Jet")), P::Unreadable, "The file cannot be read");
    row("a file named db", fileNamedDb, P::CreateFailed, "could not be made");
}

void TestPrograms::refusedFiles()
{
    QFETCH(Setup, setup);
    QFETCH(CatalogueDatabase::Problem, problem);
    QFETCH(QString, reason);
    TestUserFolder folder;
    const QString file = folder.path(UserPaths::CatalogueFile);
    setup(folder);
    const auto before = folder.snapshot();
    if (QTest::currentDataTag() == QByteArray("no read permission")) {
        QFile::setPermissions(file, QFileDevice::WriteOwner);
        if (QFile(file).open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission (root)");
    }

    CatalogueDatabase db;
    QVERIFY(!db.open(file, ProgramCatalogue::Passphrase));
    QCOMPARE(db.problem(), problem);
    QVERIFY(!db.isOpen() && !db.createdNew());
    const bool create = problem == CatalogueDatabase::Problem::CreateFailed;
    const QString heading = create ? QStringLiteral("The programs catalogue could not be created:")
                                   : QStringLiteral("The programs catalogue cannot be opened:");
    const QString message = db.problemMessage();
    QVERIFY2(message.startsWith(heading + QStringLiteral("\n\n") + QDir::toNativeSeparators(file)),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(create || message.endsWith(QStringLiteral("The file has been left as it is.")), qPrintable(message));

    // A record set over the failed connection stays empty and says why.
    RecordSet records(&db);
    ProgramCatalogue::pointAtPrograms(records);
    QVERIFY(!records.refresh());
    QVERIFY(!ProgramCatalogue::add(records, "x", "y", "z"));
    QCOMPARE(records.lastError(), QStringLiteral("the catalogue is not open"));

    // Left exactly as it was, and nothing made beside it.
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(folder.snapshot(), before);
}

void TestPrograms::positionsAndDeletion()
{
    using namespace ProgramCatalogue;
    TestUserFolder folder;
    const QString file = folder.path(UserPaths::CatalogueFile);
    {
        // Added out of order: a row's position in title order is not its key.
        TestCatalogue catalogue;
        RecordSet& records = catalogue.records;
        QVERIFY(catalogue.open(file, {{"C", "c", "/c"}, {"A", "a", "/a"}, {"B", "b", "/b"}, {"D", "d", "/d"}}));
        QCOMPARE(records.recordCount(), 4);
        QCOMPARE(records.absolutePosition(), 1);
        QVERIFY(records.setAbsolutePosition(3));
        QCOMPARE(records.field(PathField).toString(), QStringLiteral("/c"));
        // Out of range: refused, the current row stays.
        for (int bad : {0, 5, -1})
            QVERIFY(!records.setAbsolutePosition(bad));
        QCOMPARE(records.absolutePosition(), 3);
        QVERIFY(!records.field(99).isValid());
        QVERIFY(records.setAbsolutePosition(2));
        QCOMPARE(records.field(DescriptionField).toString(), QStringLiteral("b"));
        QVERIFY(records.moveNext() && records.moveNext() && records.moveNext());
        QVERIFY(records.isEof());
        QVERIFY(!records.field(TitleField).isValid());
        QVERIFY(!records.moveNext());
        QVERIFY(!removeCurrent(records)); // past the end nothing is current
        QCOMPARE(records.lastError(), QStringLiteral("no row is selected"));

        // The middle, the first and the last row in title order.
        const std::pair<int, QStringList> deletions[] = {{2, {"A", "C", "D"}}, {1, {"C", "D"}}, {2, {"C"}}};
        for (const auto& [position, left] : deletions) {
            QVERIFY(records.setAbsolutePosition(position));
            QVERIFY(records.deleteCurrent());
            QCOMPARE(records.absolutePosition(), RecordSet::NoPosition);
            QVERIFY(!records.deleteCurrent()); // the row is gone already
            QVERIFY(records.refresh());
            QCOMPARE(titles(records), left);
        }
    }
    TestCatalogue reopened;
    QVERIFY(reopened.open(file));
    QCOMPARE(ProgramCatalogue::titles(reopened.records), QStringList{"C"});
}

// A catalogue it cannot open is left alone and the menu stays; once the user
// has moved it away, a new, empty one is made.
void TestPrograms::refusedThenEmptyCatalogue()
{
    TestApp t;
    const QString file = t.folder.path(UserPaths::CatalogueFile);
    const QByteArray before = accessFileBytes("Jet");
    t.folder.writeFile(UserPaths::CatalogueFile, before);
    QVERIFY(!openWith(t));
    QVERIFY(!t.existing(WindowNames::Programs));
    QVERIFY(t.isShown(WindowNames::MainMenu));
    const QStringList boxes = shown(t.prompter);
    QCOMPARE(boxes.size(), 1);
    const QString start = QStringLiteral("message|The Quillane|The programs catalogue cannot be opened:\n\n%1\n\n")
                              .arg(QDir::toNativeSeparators(file));
    QVERIFY2(boxes[0].startsWith(start) && boxes[0].endsWith("|OK|exclamation"), qPrintable(boxes[0]));
    QCOMPARE(t.folder.entries(QStringLiteral("db")), QStringList{QStringLiteral("OxbelDatabase.mdb")});

    // The new catalogue is made with its folder; the old file stays as it was.
    QVERIFY(QDir().rename(t.folder.path("db"), t.folder.path("db.old")));
    click(named<ClickLabel>(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    QWidget* w = t.existing(WindowNames::Programs);
    QVERIFY(w && w->isVisible());
    QVERIFY(!t.isShown(WindowNames::MainMenu));
    QCOMPARE(t.folder.read("db.old/OxbelDatabase.mdb"), before);
    QCOMPARE(stored(t), QStringList());
    QCOMPARE(listed(w), QStringList());
    QCOMPARE(selection(w), kSelect + "|");
    QVERIFY(!named<QLabel>(w, QStringLiteral("imgArmy"))->pixmap().isNull());

    t.prompter.clear();
    clickAction(w, "cmdRun");
    clickAction(w, "cmdRemove");
    QCOMPARE(shown(t.prompter), (QStringList{"message|The Quillane|Please select a program to run.||OK|",
                                             "message|The Quillane|Please select a program to remove from the "
                                             "database.||OK|"}));
    QVERIFY(t.launcher.started.isEmpty());

    // Closing returns to the menu; opening again works.
    w->close();
    QVERIFY(t.isShown(WindowNames::MainMenu) && !t.isShown(WindowNames::Loading));
    QVERIFY(QTest::qWaitFor([&] { return !t.existing(WindowNames::Programs); }));
    click(named<ClickLabel>(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    QVERIFY(t.isShown(WindowNames::Programs));
    QCOMPARE(t.prompter.boxes().size(), 2);
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TestPrograms::listsSelectsAndHighlights()
{
    TestApp t;
    QWidget* w = openWith(
        t,
        {{"b", "small b", "/b"}, {"same", "first same", "/s1"}, {"A", "big A", "/a"}, {"same", "second same", "/s2"}});
    QVERIFY(w);
    QCOMPARE(listed(w), (QStringList{"A", "b", "same", "same"}));
    QCOMPARE(selection(w), kSelect + "|");

    // Each entry selects the row at its own position, also between equal titles.
    const QStringList rows{"A|big A", "b|small b", "same|first same", "same|second same"};
    for (int row : {3, 2, 0, 1}) {
        clickEntry(w, row);
        QCOMPARE(selection(w), rows[row]);
    }
    // Moving the selection with the keyboard selects as well.
    QTest::keyClick(list1(w), Qt::Key_Down);
    QCOMPARE(selection(w), rows[2]);
    QVERIFY(t.prompter.boxes().isEmpty());

    // The actions light up under the mouse, and only there.
    QList<ClickLabel*> actions;
    for (const char* name : {"cmdImport", "cmdRemove", "cmdRun"})
        actions << named<ClickLabel>(w, QLatin1String(name));
    // Where the mouse goes, and which action is highlighted then (-1: none).
    const struct {
        QWidget* where;
        QPoint at;
        int lit;
    } moves[] = {{actions[2], {}, 2},
                 {actions[0], {}, 0},
                 {named<QWidget>(w, QStringLiteral("Frame1")), {2, 2}, -1},
                 {actions[1], {}, 1},
                 {list1(w)->viewport(), {}, -1},
                 {actions[2], {}, 2},
                 {w, {w->width() - 3, w->height() - 3}, -1}};
    for (const auto& move : moves) {
        hover(move.where, move.at);
        for (int i = 0; i < actions.size(); ++i)
            QCOMPARE(actions[i]->backColor(),
                     i == move.lit ? ProgramsWindow::actionHighlightColour() : ProgramsWindow::actionPlainColour());
    }
}

void TestPrograms::runAndRemoveAnsweredNo()
{
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/Tool.exe"), "MZ");
    const QString script = t.folder.writeFile(QStringLiteral("tools/other tool.sh"), "#!/bin/sh\n");
    const QString gone = t.folder.path(QStringLiteral("tools/Gone.exe"));
    // A program may be called like the label's design text; once selected it
    // is a selection all the same, so it can be run and removed.
    QWidget* w = openWith(t, {{"Tool", "exe", tool},
                              {"Other", "script", script},
                              {"Gone", "moved away", gone},
                              {kSelect, "an odd name", tool}});
    QVERIFY(w);
    const QStringList before = stored(t);
    QCOMPARE(listed(w), (QStringList{"Gone", "Other", kSelect, "Tool"}));
    clickEntry(w, 3);
    clickAction(w, "cmdRun");
    clickEntry(w, 1, true); // a double click runs the entry double-clicked
    clickEntry(w, 2);
    QCOMPARE(selection(w), kSelect + "|an odd name");
    clickAction(w, "cmdRun");
    // A program that cannot be started shows nothing...
    clickEntry(w, 0);
    clickAction(w, "cmdRun");
    QCOMPARE(t.launcher.started, (QStringList{tool, script, tool}));
    QVERIFY(t.prompter.boxes().isEmpty());
    // ...except a Windows program without Wine, which nothing else would explain.
    t.launcher.programs.remove(QStringLiteral("wine"));
    clickEntry(w, 3);
    clickAction(w, "cmdRun");

    // Remove answered No: nothing changes and nothing is rebuilt.
    clickEntry(w, 2);
    t.prompter.answerNo();
    clickAction(w, "cmdRemove");
    QCOMPARE(
        shown(t.prompter),
        (QStringList{QStringLiteral("message|The Quillane|The Quillane found %1, but cannot start it.\n\nWine is "
                                    "not installed on this system (no 'wine' command on the PATH).||OK|exclamation")
                         .arg(QDir::toNativeSeparators(tool)),
                     "message|Confirm Delete|You are about to remove Select A Proggy from the database. Are you "
                     "sure you want to do this?||Yes/No|question"}));
    QTest::qWait(TestApp::shortIntervals().unloadPrograms + 100);
    QCOMPARE(t.existing(WindowNames::Programs), w);
    QVERIFY(!t.isShown(WindowNames::Loading));
    QCOMPARE(listed(w), (QStringList{"Gone", "Other", kSelect, "Tool"}));
    QCOMPARE(selection(w), kSelect + "|an odd name");
    QCOMPARE(stored(t), before);
    VERIFY_PROMPTER(t.prompter);
}

void TestPrograms::removeAnsweredYesRebuildsUntouchable()
{
    TestApp t;
    QWidget* w = openWith(t, {{"A", "first", "/a"}, {"B", "second", "/b"}, {"C", "last", "/c"}});
    QVERIFY(w);
    clickEntry(w, 2); // the last row in title order
    t.prompter.answerYes();
    clickAction(w, "cmdRemove");
    QCOMPARE(stored(t), (QStringList{"A|first|/a", "B|second|/b"}));
    QVERIFY(t.isShown(WindowNames::Loading));

    // Until the loading window replaces it, the old window still lists A, B, C
    // while the catalogue holds A and B: an entry would pick the wrong row, and
    // a box left open would outlive its window. So it takes no clicks.
    const QPointer<QWidget> old(w);
    t.prompter.onBox = [&](const FakePrompter::Box&) { QTest::qWait(TestApp::shortIntervals().unloadPrograms * 2); };
    clickEntry(w, 0, true);
    for (const char* action : {"cmdRun", "cmdRemove", "cmdImport"}) {
        QVERIFY2(old, "the window was destroyed while one of its boxes was open");
        clickAction(w, action);
    }
    QVERIFY2(old, "the window was destroyed while one of its boxes was open");
    QCOMPARE(selection(w), QStringLiteral("C|last"));
    QCOMPARE(t.prompter.boxes().size(), 1);
    QVERIFY(t.launcher.started.isEmpty());

    // Closed with the title bar's button before the loading window gets to it:
    // the loading window stays, not the menu.
    QVERIFY(w->windowHandle());
    QCloseEvent close;
    QCoreApplication::sendEvent(w->windowHandle(), &close);
    QVERIFY(!old || !old->isVisible());
    QVERIFY(t.isShown(WindowNames::Loading));
    QVERIFY(!t.isShown(WindowNames::MainMenu));

    QWidget* rebuilt = waitForRebuild(t, old);
    QVERIFY(rebuilt);
    QVERIFY(rebuilt->isEnabled());
    QCOMPARE(listed(rebuilt), (QStringList{"A", "B"}));
    QCOMPARE(selection(rebuilt), kSelect + "|");
    QVERIFY(!t.isShown(WindowNames::MainMenu));
    QCOMPARE(stored(t), (QStringList{"A|first|/a", "B|second|/b"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestPrograms::importAsksUntilAnswered()
{
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/Cool Tool.exe"), "MZ");
    QWidget* w = openWith(t, {{"Only", "one", "/o"}});
    QVERIFY(w);
    // Cancel in the file dialog: no prompts, no change, no rebuild.
    t.prompter.answerFile(QString());
    clickAction(w, "cmdImport");
    QTest::qWait(50); // the deferred import step runs
    const QString title = QStringLiteral("Import A Worm Proggy (or any program actually ;p)");
    const QString dialog = "file|" + title + "|" + title + "|" + ProgramsWindow::importFilter() + "|OK|";
#ifndef Q_OS_WIN
    QVERIFY(dialog.contains("(*.exe);;All files (*)|")); // scripts and native tools too
#endif
    QCOMPARE(shown(t.prompter), QStringList{dialog});
    QCOMPARE(t.existing(WindowNames::Programs), w);
    QVERIFY(!t.isShown(WindowNames::Loading));
    QCOMPARE(stored(t), QStringList{QStringLiteral("Only|one|/o")});

    // A file, then the name asked until answered and the description the same way.
    t.prompter.answerFile(tool);
    for (const char* answer : {"", "", "Cool Tool", "   ", "Makes maps"}) // blanks count as no answer
        t.prompter.answerInput(QString::fromUtf8(answer));
    clickAction(w, "cmdImport");
    QWidget* rebuilt = waitForRebuild(t, w);
    QVERIFY(rebuilt);
    VERIFY_PROMPTER(t.prompter);
    const QString name = QStringLiteral("input|Input A Custom Name|Enter a Name for the Proggy c('.'C)||OK|");
    const QString description =
        QStringLiteral("input|Description Entry|Please Enter A Description of the Program||OK|");
    QCOMPARE(shown(t.prompter), (QStringList{dialog, dialog, name, name, name, description, description}));
    QCOMPARE(stored(t), (QStringList{"Cool Tool|Makes maps|" + tool, "Only|one|/o"}));
    QCOMPARE(listed(rebuilt), (QStringList{"Cool Tool", "Only"}));
    clickEntry(rebuilt, 0);
    clickAction(rebuilt, "cmdRun");
    QCOMPARE(t.launcher.started, QStringList{tool});
}

QTEST_MAIN(TestPrograms)
#include "tst_programs.moc"
