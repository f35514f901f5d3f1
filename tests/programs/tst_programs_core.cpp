// The programs catalogue without windows: the encrypted file, the order of
// titles, the record set's positions, adding and deleting, and the files
// that must be refused and left untouched.
#include "programs/TestCatalogue.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTest>

namespace {

// Every entry under `folder` with a digest of each file, to show that nothing
// was changed, added or removed.
QStringList snapshot(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const QByteArray content = it.fileInfo().isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "-";
        out << it.filePath() + QLatin1Char(' ') + QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex();
    }
    out.sort();
    return out;
}

} // namespace

class TstProgramsCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void titleOrder_data();
    void titleOrder();
    void unreadableWithoutPassword();
    void refusedFiles_data();
    void refusedFiles();
    void positions();
    void deleteThenMoveNext_data();
    void deleteThenMoveNext();
};

void TstProgramsCore::roundTrip()
{
    // Quotes, placeholders and long texts are stored as they are: values are bound, never spliced in.
    const QList<Program> programs = {
        {"Tool", "it's \"quoted\"\nover two lines", "C:\\Tools\\it's.exe"},
        {"Robert'); DROP TABLE Programs;--", "%s %n ?1 :name ümlaut ✓ 日本語", "/home/user/Worms Armageddon/a b.sh"},
        {QString(300, QLatin1Char('x')), QString(5000, QLatin1Char('y')), QString()},
    };
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
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
        QCOMPARE(made.column(1), (QStringList{"A.png", "b.png"}));
    }
    // Only the catalogue itself is left in its folder: no journal, no half-made file.
    QCOMPARE(folder.entries(QStringLiteral("db")), QStringList{QStringLiteral("OxbelDatabase.mdb")});

    TestCatalogue again;
    QVERIFY(again.open(file));
    QVERIFY(!again.db.createdNew());
    QCOMPARE(again.records.fieldCount(), 4);
    QCOMPARE(again.records.fieldName(ProgramCatalogue::TitleField), QStringLiteral("Title"));
    QCOMPARE(again.records.absolutePosition(), 1);
    QCOMPARE(again.rows(), (QStringList{programs[1].row(), programs[0].row(), programs[2].row()}));
    // The keys are the database's own, in the order the rows were added.
    QCOMPARE(again.column(ProgramCatalogue::KeyField), (QStringList{"2", "1", "3"}));
}

void TstProgramsCore::titleOrder_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("b, A") << QStringList{"b", "A"} << QStringList{"A", "b"};
    QTest::newRow("same titles") << QStringList{"same", "same"} << QStringList{"same", "same"};
    QTest::newRow("case only, a first") << QStringList{"a", "A"} << QStringList{"a", "A"};
    QTest::newRow("accents beside their letter")
        << QStringList{"Zebra", "éclair", "Echo", "eclair"} << QStringList{"Echo", "eclair", "éclair", "Zebra"};
    QTest::newRow("digits as text") << QStringList{"Tool 9", "Tool 10"} << QStringList{"Tool 10", "Tool 9"};
    QTest::newRow("mixed case words") << QStringList{"worms", "WormKit", "Worm Tool", "wa"}
                                      << QStringList{"wa", "Worm Tool", "WormKit", "worms"};
}

void TstProgramsCore::titleOrder()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    TestUserFolder folder;
    // Each description tells when its row was added.
    QList<Program> programs;
    for (int i = 0; i < added.size(); ++i)
        programs.append({added.at(i), QString::number(i), QString()});
    TestCatalogue catalogue;
    QVERIFY(catalogue.open(catalogueFile(folder), programs));
    QCOMPARE(ProgramCatalogue::titles(catalogue.records), listed);
    // Rows with equal titles keep the order in which they were added.
    const QStringList order = catalogue.column(ProgramCatalogue::DescriptionField);
    for (int i = 1; i < listed.size(); ++i) {
        if (listed.at(i).compare(listed.at(i - 1), Qt::CaseInsensitive) == 0)
            QVERIFY(order.at(i - 1).toInt() < order.at(i).toInt());
    }
}

void TstProgramsCore::unreadableWithoutPassword()
{
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    QVERIFY(TestCatalogue().open(file, {{"beta", "b", "/b"}, {"Alpha", "a", "/a"}}));
    const QByteArray bytes = folder.read(UserPaths::CatalogueFile);
    // Not the plain SQLite format, and nothing in the clear.
    QVERIFY(bytes.size() >= 1024 && !bytes.startsWith("SQLite format 3"));
    QVERIFY(!bytes.contains("Alpha") && !bytes.contains("CREATE TABLE"));

    // Read with SQLCipher's defaults: refused without the password at the first
    // read (as by any SQLite reader), every row there with it.
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
    QCOMPARE(rows, QByteArray("beta\nAlpha\n"));
    QCOMPARE(folder.read(UserPaths::CatalogueFile), bytes);
}

void TstProgramsCore::refusedFiles_data()
{
    // The row's name tells refusedFiles() what to put in the catalogue's place.
    QTest::addColumn<CatalogueDatabase::Problem>("problem");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("reason"); // words of the message for the user
    using P = CatalogueDatabase::Problem;
    const QString opened = QStringLiteral("The programs catalogue cannot be opened:");
    auto row = [&](const char* what, P problem, const char* reason, const QString& heading) {
        QTest::newRow(what) << problem << heading << QString::fromUtf8(reason);
    };
    row("other key", P::WrongKey, "or it is protected with another password", opened);
    row("random bytes", P::WrongKey, "not a catalogue", opened);
    row("Jet", P::AccessFile, "the format of the older Access-style catalogue", opened);
    row("ACE", P::AccessFile, "Access database", opened);
    row("plain SQLite", P::PlainSqlite, "without the catalogue's password", opened);
    row("no Programs table", P::NoProgramsTable, "holds no usable Programs table", opened);
    row("Programs table too narrow", P::NoProgramsTable, "holds no usable Programs table", opened);
    row("sqlite_sequence taken out of the schema", P::ForeignSchema, "not exactly those of a catalogue", opened);
    row("an extra table", P::ForeignSchema, "not exactly those of a catalogue", opened);
    row("a trigger", P::ForeignSchema, "not exactly those of a catalogue", opened);
    row("sqlite_sequence on the pages of Programs", P::Damaged, "The catalogue file is damaged", opened);
    row("empty file", P::Empty, "The file is empty", opened);
    row("folder", P::Folder, "A folder stands at this place", opened);
    row("no read permission", P::Unreadable, "The file cannot be read", opened);
    row("a file named db", P::CreateFailed, "could not be made", "The programs catalogue could not be created:");
}

void TstProgramsCore::refusedFiles()
{
    QFETCH(CatalogueDatabase::Problem, problem);
    QFETCH(QString, heading);
    QFETCH(QString, reason);
    const QByteArray what = QTest::currentDataTag();
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    const QString relative = UserPaths::CatalogueFile;
    // A catalogue made with another passphrase, then changed by hand.
    auto make = [&](const QByteArray& key, const char* sql) {
        CatalogueDatabase db;
        QVERIFY(db.open(file, key));
        QCOMPARE(sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK);
    };
    if (what == "other key")
        make("tinfoilhats", "");
    else if (what == "plain SQLite")
        make(QByteArray(), "");
    else if (what == "no Programs table")
        make(ProgramCatalogue::Passphrase, "DROP TABLE Programs");
    else if (what == "Programs table too narrow")
        make(ProgramCatalogue::Passphrase, "DROP TABLE Programs; CREATE TABLE Programs (ID INTEGER, Title TEXT)");
    else if (what == "sqlite_sequence taken out of the schema") // crashed the engine at the next insert
        make(ProgramCatalogue::Passphrase,
             "PRAGMA writable_schema=ON; DELETE FROM sqlite_master WHERE name='sqlite_sequence'");
    else if (what == "an extra table")
        make(ProgramCatalogue::Passphrase, "CREATE TABLE Extra (x)");
    else if (what == "a trigger")
        make(ProgramCatalogue::Passphrase, "CREATE TRIGGER t AFTER INSERT ON Programs BEGIN DELETE FROM MAPS; END");
    else if (what == "sqlite_sequence on the pages of Programs")
        make(ProgramCatalogue::Passphrase, "PRAGMA writable_schema=ON; UPDATE sqlite_master SET rootpage = "
                                           "(SELECT rootpage FROM sqlite_master WHERE name='Programs') WHERE "
                                           "name='sqlite_sequence'");
    else if (what == "random bytes")
        folder.writeFile(relative, QByteArray(8192, '\x5A'));
    else if (what == "Jet" || what == "ACE" || what == "no read permission")
        folder.writeFile(relative, accessFileBytes(what == "ACE" ? "ACE" : "Jet"));
    else if (what == "empty file")
        folder.writeFile(relative, QByteArray());
    else if (what == "folder")
        folder.makeDir(relative);
    else
        folder.writeFile(QStringLiteral("db"), "mine");
    const QStringList before = snapshot(folder.user());
    if (what == "no read permission") {
        QFile::setPermissions(file, QFileDevice::WriteOwner);
        if (QFile(file).open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission (root)");
    }

    CatalogueDatabase db;
    QVERIFY(!db.open(file, ProgramCatalogue::Passphrase));
    QCOMPARE(db.problem(), problem);
    QVERIFY(!db.isOpen() && !db.createdNew());
    const QString message = db.problemMessage();
    QVERIFY2(message.startsWith(heading + QStringLiteral("\n\n") + QDir::toNativeSeparators(file)),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    if (problem != CatalogueDatabase::Problem::CreateFailed)
        QVERIFY2(message.endsWith(QStringLiteral("The file has been left as it is.")), qPrintable(message));

    // A record set over the failed connection stays empty and says why.
    RecordSet records(&db);
    ProgramCatalogue::pointAtPrograms(records);
    QVERIFY(!records.refresh());
    QVERIFY(!ProgramCatalogue::add(records, "x", "y", "z"));
    QCOMPARE(records.lastError(), QStringLiteral("the catalogue is not open"));

    // Left exactly as it was, and nothing made beside it.
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(snapshot(folder.user()), before);
}

void TstProgramsCore::positions()
{
    TestUserFolder folder;
    TestCatalogue catalogue;
    RecordSet& records = catalogue.records;
    using namespace ProgramCatalogue;
    QVERIFY(catalogue.open(catalogueFile(folder), {{"C", "c", "/c"}, {"A", "a", "/a"}, {"B", "b", "/b"}}));
    QCOMPARE(records.recordCount(), 3);
    QCOMPARE(records.absolutePosition(), 1);
    QVERIFY(records.setAbsolutePosition(3));
    QCOMPARE(records.field(PathField).toString(), QStringLiteral("/c"));
    // Out of range: refused, the current row stays.
    for (int bad : {0, 4, -1})
        QVERIFY(!records.setAbsolutePosition(bad));
    QCOMPARE(records.absolutePosition(), 3);
    QVERIFY(!records.field(99).isValid());
    QVERIFY(records.setAbsolutePosition(2));
    QCOMPARE(records.field(DescriptionField).toString(), QStringLiteral("b"));
    QVERIFY(records.moveNext() && records.moveNext());
    QVERIFY(records.isEof());
    QCOMPARE(records.absolutePosition(), RecordSet::NoPosition);
    QVERIFY(!records.field(TitleField).isValid());
    QVERIFY(!records.moveNext());
    QVERIFY(!removeCurrent(records)); // past the end nothing is current
    QCOMPARE(records.lastError(), QStringLiteral("no row is selected"));

    // A stored row becomes current; the next refresh starts at row 1 again.
    QVERIFY(records.addNew());
    QVERIFY(records.setField(TitleField, "D"));
    QVERIFY(!records.setField(7, "nowhere"));
    QVERIFY(records.update());
    QCOMPARE(records.field(TitleField).toString(), QStringLiteral("D"));
    QVERIFY(!records.update()); // nothing is being added any more
    QVERIFY(records.refresh());
    QCOMPARE(records.absolutePosition(), 1);
    QCOMPARE(titles(records), (QStringList{"A", "B", "C", "D"}));
}

void TstProgramsCore::deleteThenMoveNext_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("nextTitle"); // "" when the move goes past the end
    QTest::addColumn<QStringList>("left");
    QTest::newRow("first") << 1 << "B" << QStringList{"B", "C"};
    QTest::newRow("middle") << 2 << "C" << QStringList{"A", "C"};
    QTest::newRow("last in title order") << 3 << "" << QStringList{"A", "B"};
}

void TstProgramsCore::deleteThenMoveNext()
{
    QFETCH(int, position);
    QFETCH(QString, nextTitle);
    QFETCH(QStringList, left);
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    {
        // Added out of order: the last row in title order is not the last one added.
        TestCatalogue catalogue;
        RecordSet& records = catalogue.records;
        QVERIFY(catalogue.open(file, {{"C", "", ""}, {"A", "", ""}, {"B", "", ""}}));
        QVERIFY(records.setAbsolutePosition(position));
        QVERIFY(records.deleteCurrent());
        QCOMPARE(records.recordCount(), 2);
        QCOMPARE(records.absolutePosition(), RecordSet::NoPosition);
        QVERIFY(!records.deleteCurrent()); // the row is gone already
        QVERIFY(records.moveNext());
        QCOMPARE(records.isEof(), nextTitle.isEmpty());
        QCOMPARE(records.field(ProgramCatalogue::TitleField).toString(), nextTitle);
        QVERIFY(records.refresh());
        QCOMPARE(records.absolutePosition(), 1);
        QCOMPARE(ProgramCatalogue::titles(records), left);

        // The same through the catalogue's own removal, which runs the query again.
        QVERIFY(records.setAbsolutePosition(records.recordCount()));
        QVERIFY(ProgramCatalogue::removeCurrent(records));
        QCOMPARE(records.absolutePosition(), 1);
        QCOMPARE(ProgramCatalogue::titles(records), left.mid(0, 1));
    }
    TestCatalogue reopened;
    QVERIFY(reopened.open(file));
    QCOMPARE(ProgramCatalogue::titles(reopened.records), left.mid(0, 1));
}

QTEST_GUILESS_MAIN(TstProgramsCore)
#include "tst_programs_core.moc"
