// The programs catalogue without windows: the encrypted file, the order of
// titles, the record set's positions, adding and deleting, and the files
// that must be refused and left untouched.
#include "programs/TestCatalogue.h"
#include "support/TestFolders.h"

#include <sqlite3.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

QString catalogueFile(const TestUserFolder& folder)
{
    return folder.path(ProgramCatalogue::RelativePath);
}

// Runs one statement on a raw connection, for files the program would never write.
void rawExec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

void writeRawDatabase(const QString& file, const QByteArray& key, const char* sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        SQLITE_OK);
    if (!key.isEmpty())
        sqlite3_key(db, key.constData(), int(key.size()));
    rawExec(db, sql);
    sqlite3_close(db);
}

// The first page of an Access database: version, then its signature.
QByteArray accessFileBytes(const char* signature)
{
    QByteArray bytes(4096, '\0');
    bytes[1] = 1;
    bytes.replace(4, 16, QByteArray(signature, 16));
    for (int i = 20; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}

} // namespace

class TstProgramsCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newCatalogueRoundTrip();
    void titleOrder_data();
    void titleOrder();
    void fileUnreadableWithoutPassword();
    void standardToolsAgree();
    void refusedFiles_data();
    void refusedFiles();
    void damagedCatalogue();
    void folderCannotBeMade();
    void positions();
    void deleteThenMoveNext_data();
    void deleteThenMoveNext();
    void deleteWithoutCurrentRow();
    void valuesAreStoredVerbatim();
    void mapsTable();
};

void TstProgramsCore::newCatalogueRoundTrip()
{
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    QVERIFY(!folder.exists(QStringLiteral("db")));
    {
        TestCatalogue made;
        QVERIFY2(made.open(file), qPrintable(made.db.problemMessage()));
        QVERIFY(made.db.createdNew());
        QVERIFY(!made.db.isReadOnly());
        QCOMPARE(made.records.recordCount(), 0);
        QCOMPARE(made.records.absolutePosition(), RecordSet::NoPosition);
        QVERIFY(ProgramCatalogue::add(made.records, "Tool", "Does things", "C:/Tools/tool.exe"));
        QVERIFY(ProgramCatalogue::add(made.records, "Alpha", "First", "/opt/alpha"));
    }
    // Only the catalogue itself is left in its folder: no journal, no half-made file.
    QCOMPARE(folder.entries(QStringLiteral("db")), QStringList{QStringLiteral("OxbelDatabase.mdb")});

    TestCatalogue again;
    QVERIFY2(again.open(file), qPrintable(again.db.problemMessage()));
    QVERIFY(!again.db.createdNew());
    QCOMPARE(again.records.fieldCount(), 4);
    QCOMPARE(again.records.fieldName(ProgramCatalogue::TitleField), QStringLiteral("Title"));
    QCOMPARE(again.records.recordCount(), 2);
    QCOMPARE(again.records.absolutePosition(), 1);
    QCOMPARE(again.rows(), (QStringList{"Alpha|First|/opt/alpha", "Tool|Does things|C:/Tools/tool.exe"}));
    // The keys are the database's own, in the order the rows were added.
    QCOMPARE(again.column(ProgramCatalogue::KeyField), (QStringList{"2", "1"}));
}

void TstProgramsCore::titleOrder_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("b, A") << QStringList{"b", "A"} << QStringList{"A", "b"};
    QTest::newRow("a, B") << QStringList{"a", "B"} << QStringList{"a", "B"};
    QTest::newRow("same titles") << QStringList{"same", "same"} << QStringList{"same", "same"};
    QTest::newRow("case only, a first") << QStringList{"a", "A"} << QStringList{"a", "A"};
    QTest::newRow("case only, A first") << QStringList{"A", "a"} << QStringList{"A", "a"};
    QTest::newRow("accents beside their letter")
        << QStringList{"Zebra", "éclair", "Echo", "eclair"} << QStringList{"Echo", "eclair", "éclair", "Zebra"};
    QTest::newRow("umlaut") << QStringList{"Zebra", "Ärger", "apple"} << QStringList{"apple", "Ärger", "Zebra"};
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

void TstProgramsCore::fileUnreadableWithoutPassword()
{
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    QVERIFY(TestCatalogue().open(file, {{"Secret Tool", "hidden", "/x"}}));
    const QByteArray bytes = folder.read(ProgramCatalogue::RelativePath);
    // Not the plain SQLite format, and the titles are not in the clear.
    QVERIFY(bytes.size() >= 1024);
    QVERIFY(bytes.left(16) != QByteArray("SQLite format 3\0", 16));
    QVERIFY(!bytes.contains("Secret Tool"));
    QVERIFY(!bytes.contains("CREATE TABLE"));

    // An SQLite reader without the password: refused at the first read.
    sqlite3* raw = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const int rc = sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    QCOMPARE(rc, SQLITE_NOTADB);
    QCOMPARE(folder.read(ProgramCatalogue::RelativePath), bytes);
}

void TstProgramsCore::standardToolsAgree()
{
    // Where the command-line tools are installed: sqlite3 cannot read the
    // catalogue, sqlcipher with the password can.
    const QString sqlite3Tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QString sqlcipherTool = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (sqlite3Tool.isEmpty() && sqlcipherTool.isEmpty())
        QSKIP("neither sqlite3 nor sqlcipher is installed");
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    QVERIFY(TestCatalogue().open(file, {{"beta", "b", "/b"}, {"Alpha", "a", "/a"}}));
    const QByteArray before = folder.read(ProgramCatalogue::RelativePath);
    auto runTool = [&](const QString& tool, const QByteArray& input, QByteArray* output) {
        QProcess process;
        process.start(tool, {file});
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(20000))
            return -1;
        *output = process.readAllStandardOutput() + process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    QByteArray output;
    if (!sqlite3Tool.isEmpty()) {
        const int code = runTool(sqlite3Tool, "SELECT Title FROM Programs;\n", &output);
        QVERIFY2(code != 0 || output.contains("not a database"), output.constData());
        QVERIFY(!output.contains("Alpha"));
    }
    if (!sqlcipherTool.isEmpty()) {
        const int code =
            runTool(sqlcipherTool, "PRAGMA key='copperfalls';\nSELECT Title FROM Programs ORDER BY ID;\n", &output);
        QCOMPARE(code, 0);
        QVERIFY2(output.contains("beta\nAlpha"), output.constData());
    }
    QCOMPARE(folder.read(ProgramCatalogue::RelativePath), before);
}

void TstProgramsCore::refusedFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<CatalogueDatabase::Problem>("problem");
    QTest::addColumn<QString>("reason"); // words of the message for the user
    QTest::newRow("wrong password") << "other key" << CatalogueDatabase::Problem::WrongKey
                                    << "or it is protected with another password";
    QTest::newRow("random bytes") << "random" << CatalogueDatabase::Problem::WrongKey << "not a catalogue";
    QTest::newRow("Access .mdb (Jet)") << "jet" << CatalogueDatabase::Problem::AccessFile
                                       << "the format of the older Access-style catalogue";
    QTest::newRow("Access .accdb (ACE)") << "ace" << CatalogueDatabase::Problem::AccessFile << "Access database";
    QTest::newRow("plain SQLite") << "plain" << CatalogueDatabase::Problem::PlainSqlite
                                  << "without the catalogue's password";
    QTest::newRow("no Programs table") << "no table" << CatalogueDatabase::Problem::NoProgramsTable
                                       << "holds no usable Programs table";
    QTest::newRow("Programs table too narrow")
        << "narrow" << CatalogueDatabase::Problem::NoProgramsTable << "holds no usable Programs table";
    QTest::newRow("empty file") << "empty" << CatalogueDatabase::Problem::Empty << "The file is empty";
    QTest::newRow("folder") << "folder" << CatalogueDatabase::Problem::Folder << "A folder stands at this place";
    QTest::newRow("no read permission") << "unreadable" << CatalogueDatabase::Problem::Unreadable
                                        << "The file cannot be read";
}

void TstProgramsCore::refusedFiles()
{
    QFETCH(QString, kind);
    QFETCH(CatalogueDatabase::Problem, problem);
    QFETCH(QString, reason);
    TestUserFolder folder;
    folder.makeDir(QStringLiteral("db"));
    const QString file = catalogueFile(folder);
    const QByteArray key = ProgramCatalogue::Passphrase;
    if (kind == QLatin1String("other key")) {
        CatalogueDatabase other;
        QVERIFY(other.open(file, QByteArrayLiteral("tinfoilhats")));
    } else if (kind == QLatin1String("random")) {
        QByteArray bytes(8192, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131 + 17) % 251);
        folder.writeFile(ProgramCatalogue::RelativePath, bytes);
    } else if (kind == QLatin1String("jet")) {
        folder.writeFile(ProgramCatalogue::RelativePath, accessFileBytes("Standard Jet DB\0"));
    } else if (kind == QLatin1String("ace")) {
        folder.writeFile(ProgramCatalogue::RelativePath, accessFileBytes("Standard ACE DB\0"));
    } else if (kind == QLatin1String("plain")) {
        CatalogueDatabase plain;
        QVERIFY(plain.open(file, QByteArray())); // a catalogue, but without encryption
    } else if (kind == QLatin1String("no table")) {
        writeRawDatabase(file, key, "CREATE TABLE MAPS (ID INTEGER PRIMARY KEY, PIC_NAME TEXT)");
    } else if (kind == QLatin1String("narrow")) {
        writeRawDatabase(file, key, "CREATE TABLE Programs (ID INTEGER PRIMARY KEY, Title TEXT)");
    } else if (kind == QLatin1String("empty")) {
        folder.writeFile(ProgramCatalogue::RelativePath, QByteArray());
    } else if (kind == QLatin1String("folder")) {
        folder.makeDir(ProgramCatalogue::RelativePath);
    } else if (kind == QLatin1String("unreadable")) {
        folder.writeFile(ProgramCatalogue::RelativePath, accessFileBytes("Standard Jet DB\0"));
        QFile::setPermissions(file, QFileDevice::WriteOwner);
        QFile probe(file);
        if (probe.open(QIODevice::ReadOnly)) {
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QSKIP("this user reads files without read permission (root)");
        }
    }
    const QStringList entriesBefore = folder.entries(QStringLiteral("db"));
    const QByteArray before = QFileInfo(file).isFile() ? folder.read(ProgramCatalogue::RelativePath) : QByteArray();

    CatalogueDatabase db;
    QVERIFY(!db.open(file, key));
    QCOMPARE(db.problem(), problem);
    QVERIFY(!db.isOpen());
    QVERIFY(!db.createdNew());
    const QString message = db.problemMessage();
    QVERIFY2(message.contains(QDir::toNativeSeparators(file)), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("The file has been left as it is.")), qPrintable(message));

    // A record set over the failed connection stays empty and says why.
    RecordSet records(&db);
    ProgramCatalogue::pointAtPrograms(records);
    QVERIFY(!records.refresh());
    QCOMPARE(records.recordCount(), 0);
    QVERIFY(!ProgramCatalogue::add(records, "x", "y", "z"));
    QCOMPARE(records.lastError(), QStringLiteral("the catalogue is not open"));

    // Left exactly as it was, and nothing made beside it.
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(folder.entries(QStringLiteral("db")), entriesBefore);
    if (QFileInfo(file).isFile())
        QCOMPARE(folder.read(ProgramCatalogue::RelativePath), before);
}

void TstProgramsCore::damagedCatalogue()
{
    // The first page opens; the page of the Programs table fails its check
    // when the rows are read.
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    QVERIFY(TestCatalogue().open(file, {{"A", "a", "/a"}}));
    QByteArray bytes = folder.read(ProgramCatalogue::RelativePath);
    for (int i = 1100; i < 1200; ++i)
        bytes[i] = char(~bytes.at(i));
    folder.writeFile(ProgramCatalogue::RelativePath, bytes);

    {
        TestCatalogue damaged;
        QVERIFY(!damaged.open(file));
        QVERIFY(damaged.db.isOpen()); // the first page is sound
        QCOMPARE(damaged.records.recordCount(), 0);
        QCOMPARE(damaged.records.lastError(), QStringLiteral("the catalogue file is damaged"));
    }
    QCOMPARE(folder.read(ProgramCatalogue::RelativePath), bytes);
}

void TstProgramsCore::folderCannotBeMade()
{
    // A file called "db" stands where the catalogue's folder belongs.
    TestUserFolder folder;
    folder.writeFile(QStringLiteral("db"), "mine");
    CatalogueDatabase db;
    QVERIFY(!db.open(catalogueFile(folder), ProgramCatalogue::Passphrase));
    QCOMPARE(db.problem(), CatalogueDatabase::Problem::CreateFailed);
    QVERIFY(!db.createdNew());
    const QString message = db.problemMessage();
    QVERIFY2(message.startsWith(QStringLiteral("The programs catalogue could not be created:\n\n") +
                                QDir::toNativeSeparators(catalogueFile(folder))),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("could not be made")), qPrintable(message));
    QCOMPARE(folder.read(QStringLiteral("db")), QByteArray("mine"));
}

void TstProgramsCore::positions()
{
    TestUserFolder folder;
    TestCatalogue catalogue;
    RecordSet& records = catalogue.records;
    QVERIFY(catalogue.open(catalogueFile(folder), {{"C", "c", "/c"}, {"A", "a", "/a"}, {"B", "b", "/b"}}));

    QCOMPARE(records.recordCount(), 3);
    QCOMPARE(records.absolutePosition(), 1);
    QCOMPARE(records.field(ProgramCatalogue::TitleField).toString(), QStringLiteral("A"));
    QVERIFY(records.setAbsolutePosition(3));
    QCOMPARE(records.field(ProgramCatalogue::PathField).toString(), QStringLiteral("/c"));
    // Out of range: refused, the current row stays.
    for (int bad : {0, 4, -1}) {
        QVERIFY(!records.setAbsolutePosition(bad));
        QCOMPARE(records.absolutePosition(), 3);
    }
    QVERIFY(!records.field(99).isValid());
    QVERIFY(records.setAbsolutePosition(2));
    QCOMPARE(records.field(ProgramCatalogue::DescriptionField).toString(), QStringLiteral("b"));
    QVERIFY(records.moveNext());
    QCOMPARE(records.absolutePosition(), 3);
    QVERIFY(records.moveNext());
    QVERIFY(records.isEof());
    QCOMPARE(records.absolutePosition(), RecordSet::NoPosition);
    QVERIFY(!records.field(ProgramCatalogue::TitleField).isValid());
    QVERIFY(!records.moveNext());

    // A stored row becomes current; the next refresh starts at row 1 again.
    QVERIFY(records.addNew());
    QVERIFY(records.setField(ProgramCatalogue::TitleField, "D"));
    QVERIFY(!records.setField(7, "nowhere"));
    QVERIFY(records.update());
    QCOMPARE(records.field(ProgramCatalogue::TitleField).toString(), QStringLiteral("D"));
    QVERIFY(!records.update()); // nothing is being added any more
    QVERIFY(records.refresh());
    QCOMPARE(records.absolutePosition(), 1);
    QCOMPARE(ProgramCatalogue::titles(records), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(records.absolutePosition(), 4); // the list fill ends on the last row
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
        if (nextTitle.isEmpty()) {
            QVERIFY(records.isEof());
            QVERIFY(!records.moveNext());
        } else {
            QCOMPARE(records.field(ProgramCatalogue::TitleField).toString(), nextTitle);
        }
        QVERIFY(records.refresh());
        QCOMPARE(records.absolutePosition(), 1);
        QCOMPARE(ProgramCatalogue::titles(records), left);

        // The same through the catalogue's own removal.
        QVERIFY(records.setAbsolutePosition(records.recordCount()));
        QVERIFY(ProgramCatalogue::removeCurrent(records));
        QCOMPARE(records.absolutePosition(), 1);
        QCOMPARE(ProgramCatalogue::titles(records), left.mid(0, 1));
    }
    TestCatalogue reopened;
    QVERIFY(reopened.open(file));
    QCOMPARE(ProgramCatalogue::titles(reopened.records), left.mid(0, 1));
}

void TstProgramsCore::deleteWithoutCurrentRow()
{
    TestUserFolder folder;
    TestCatalogue catalogue;
    RecordSet& records = catalogue.records;
    QVERIFY(catalogue.open(catalogueFile(folder)));
    QVERIFY(!ProgramCatalogue::removeCurrent(records)); // empty catalogue
    QCOMPARE(records.lastError(), QStringLiteral("no row is selected"));
    QVERIFY(ProgramCatalogue::add(records, "A", "", ""));
    QVERIFY(records.moveNext());
    QVERIFY(records.isEof());
    QVERIFY(!ProgramCatalogue::removeCurrent(records));
    QCOMPARE(records.recordCount(), 1);
}

void TstProgramsCore::valuesAreStoredVerbatim()
{
    TestUserFolder folder;
    const QString file = catalogueFile(folder);
    const QList<Program> odd = {
        {"Robert'); DROP TABLE Programs;--", "it's \"quoted\"\nover two lines", "C:\\Tools\\it's.exe"},
        {"%s %n ?1 :name", "ümlaut ✓ 日本語", "/home/user/Worms Armageddon/tools/a b.sh"},
        {QString(300, QLatin1Char('x')), QString(5000, QLatin1Char('y')), QString()},
    };
    QVERIFY(TestCatalogue().open(file, odd));
    TestCatalogue reopened;
    QVERIFY(reopened.open(file));
    const QStringList rows = reopened.rows();
    QCOMPARE(rows.size(), odd.size());
    for (const Program& p : odd)
        QVERIFY2(rows.contains(p.title + QLatin1Char('|') + p.description + QLatin1Char('|') + p.file),
                 qPrintable(p.title));
}

void TstProgramsCore::mapsTable()
{
    TestUserFolder folder;
    TestCatalogue catalogue;
    QVERIFY(catalogue.open(catalogueFile(folder)));
    RecordSet& records = catalogue.records;
    ProgramCatalogue::pointAtMaps(records);
    QVERIFY2(records.refresh(), qPrintable(records.lastError()));
    QCOMPARE(records.recordCount(), 0);
    QCOMPARE(records.fieldName(1), QStringLiteral("PIC_NAME"));
    QVERIFY(records.addNew());
    QVERIFY(records.setField(1, QStringLiteral("b.png")));
    QVERIFY(records.update());
    QVERIFY(records.addNew());
    QVERIFY(records.setField(1, QStringLiteral("A.png")));
    QVERIFY(records.update());
    QVERIFY(records.refresh());
    QCOMPARE(catalogue.column(1), (QStringList{"A.png", "b.png"}));
}

QTEST_GUILESS_MAIN(TstProgramsCore)
#include "tst_programs_core.moc"
