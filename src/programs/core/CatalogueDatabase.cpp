// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/core/CatalogueDatabase.h"

#include "common/core/FileSystem.h"
#include "common/core/OutsideFile.h"
#include "programs/core/ProgramCatalogue.h"
#include "programs/core/SqlStatement.h"
#include "programs/core/TitleOrder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// First bytes of the file formats told apart before the database engine
// touches a file.
const QByteArray kSqliteHeader = QByteArrayLiteral("SQLite format 3\0");
const QByteArray kJetSignature = QByteArrayLiteral("Standard Jet DB\0"); // .mdb, at offset 4
const QByteArray kAceSignature = QByteArrayLiteral("Standard ACE DB\0"); // .accdb, at offset 4

int compareTitles(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    const QStringView viewA(static_cast<const char16_t*>(a), qsizetype(lengthA) / qsizetype(sizeof(char16_t)));
    const QStringView viewB(static_cast<const char16_t*>(b), qsizetype(lengthB) / qsizetype(sizeof(char16_t)));
    return TitleOrder::compare(viewA, viewB);
}

QByteArray encodedPath(const QString& file)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(file).toUtf8(); // SQLite takes UTF-8 names on Windows
#else
    return QFile::encodeName(file);
#endif
}

// Opens `file` with the given flags and passphrase, and teaches the
// connection the order of titles. The file is not read yet.
int openKeyed(const QString& file, const QByteArray& passphrase, int flags, sqlite3** db)
{
    *db = nullptr;
    int rc = sqlite3_open_v2(encodedPath(file).constData(), db, flags, nullptr);
    if (rc == SQLITE_OK && !passphrase.isEmpty())
        rc = sqlite3_key(*db, passphrase.constData(), int(passphrase.size()));
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_collation_v2(*db, TitleOrder::collationName, SQLITE_UTF16_ALIGNED, nullptr, compareTitles,
                                         nullptr);
    }
    if (rc == SQLITE_OK)
        sqlite3_busy_timeout(*db, 2000); // another copy of the program may be writing
    return rc;
}

int run(sqlite3* db, const QString& sql)
{
    SqlStatement statement(db, sql);
    if (!statement.isValid())
        return statement.prepareResult();
    const int rc = statement.step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

// The tables of a catalogue, exactly as create() makes them.
const char* const kTables[] = {
    "CREATE TABLE Programs (ID INTEGER PRIMARY KEY AUTOINCREMENT, Title TEXT, Description TEXT, ProgramFile TEXT)",
    "CREATE TABLE MAPS (ID INTEGER PRIMARY KEY AUTOINCREMENT, PIC_NAME TEXT)",
};

// Every object of the schema of `db` (tables, SQLite's own sqlite_sequence,
// indexes, views, triggers) with its kind, name, table and statement, in a
// fixed order.
int readSchema(sqlite3* db, QStringList* objects)
{
    SqlStatement query(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name"));
    if (!query.isValid())
        return query.prepareResult();
    int rc;
    while ((rc = query.step()) == SQLITE_ROW) {
        QStringList fields;
        for (int c = 0; c < 4; ++c)
            fields << (query.value(c).isNull() ? QStringLiteral("<null>") : query.value(c).toString());
        *objects << fields.join(QLatin1Char('\n'));
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The schema create() gives a new catalogue, as readSchema() reads it; made
// once in memory by the same statements.
const QStringList& ownSchema()
{
    static const QStringList schema = [] {
        QStringList objects;
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        for (const char* table : kTables) {
            if (rc == SQLITE_OK)
                rc = run(db, QLatin1String(table));
        }
        if (rc == SQLITE_OK)
            rc = readSchema(db, &objects);
        sqlite3_close_v2(db);
        Q_ASSERT(rc == SQLITE_OK && !objects.isEmpty());
        return objects;
    }();
    return schema;
}

} // namespace

CatalogueDatabase::CatalogueDatabase() = default;

CatalogueDatabase::~CatalogueDatabase()
{
    close();
}

void CatalogueDatabase::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool CatalogueDatabase::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

bool CatalogueDatabase::fail(Problem problem, const QString& detail)
{
    close();
    m_problem = problem;
    m_detail = detail;
    return false;
}

CatalogueDatabase::FileKind CatalogueDatabase::inspect(const QString& file, QString* error)
{
    const QFileInfo info(file);
    if (!info.exists())
        return FileKind::Missing;
    if (info.isDir())
        return FileKind::Folder;
    QFile f;
    if (!OutsideFile::open(file, f, error))
        return FileKind::Unreadable;
    const QByteArray head = f.read(20);
    if (head.isEmpty() && f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return FileKind::Unreadable;
    }
    if (head.isEmpty())
        return FileKind::Empty;
    if (head.startsWith(kSqliteHeader))
        return FileKind::PlainSqlite;
    const QByteArray signature = head.mid(4, 16);
    if (signature == kJetSignature || signature == kAceSignature)
        return FileKind::Access;
    return FileKind::Other;
}

bool CatalogueDatabase::open(const QString& file, const QByteArray& passphrase)
{
    close();
    m_file = file;
    m_problem = Problem::None;
    m_detail.clear();
    m_createdNew = false;

    QString error;
    switch (inspect(file, &error)) {
    case FileKind::Missing:
        if (!create(passphrase))
            return false;
        m_createdNew = true;
        return openExisting(passphrase);
    case FileKind::Folder:
        return fail(Problem::Folder);
    case FileKind::Unreadable:
        return fail(Problem::Unreadable, error);
    case FileKind::Empty:
        return fail(Problem::Empty);
    case FileKind::Access:
        return fail(Problem::AccessFile);
    case FileKind::PlainSqlite:
        // Without a passphrase an unencrypted file is what was asked for.
        if (!passphrase.isEmpty())
            return fail(Problem::PlainSqlite);
        return openExisting(passphrase);
    case FileKind::Other:
        return openExisting(passphrase);
    }
    return false;
}

bool CatalogueDatabase::openExisting(const QByteArray& passphrase)
{
    // No SQLITE_OPEN_CREATE: the file is there, and must stay what it is.
    int rc = openKeyed(m_file, passphrase, SQLITE_OPEN_READWRITE, &m_db);
    if (rc != SQLITE_OK) {
        const QString detail = describeError(m_db, rc);
        return fail(rc == SQLITE_CANTOPEN ? Problem::Unreadable : Problem::DatabaseError, detail);
    }
    // SQLCipher checks the key only when the first page is read.
    {
        SqlStatement probe(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        rc = probe.isValid() ? probe.step() : probe.prepareResult();
        if (rc != SQLITE_ROW) {
            if (rc == SQLITE_NOTADB)
                return fail(Problem::WrongKey);
            const QString detail = describeError(m_db, rc);
            return fail(Problem::DatabaseError, detail);
        }
    }
    {
        SqlStatement table(
            m_db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoteIdentifier(ProgramCatalogue::ProgramsTable)));
        if (!table.isValid())
            return fail(Problem::NoProgramsTable);
        if (table.columnCount() < ProgramCatalogue::PathField + 1)
            return fail(Problem::NoProgramsTable);
    }
    // SQLite trusts the schema a file carries. One that is not exactly ours
    // (a table or sqlite_sequence changed, an object added) can make the
    // engine write where it must not, or crash it, at the first change; such
    // a file is refused before anything is written.
    QStringList schema;
    rc = readSchema(m_db, &schema);
    if (rc != SQLITE_OK)
        return fail(Problem::DatabaseError, describeError(m_db, rc));
    if (schema != ownSchema())
        return fail(Problem::ForeignSchema);
    {
        SqlStatement check(m_db, QStringLiteral("PRAGMA integrity_check(1)"));
        rc = check.isValid() ? check.step() : check.prepareResult();
        if (rc != SQLITE_ROW)
            return fail(Problem::DatabaseError, describeError(m_db, rc));
        const QString verdict = check.value(0).toString();
        if (verdict != QLatin1String("ok"))
            return fail(Problem::Damaged, verdict);
    }
    return true;
}

bool CatalogueDatabase::create(const QByteArray& passphrase)
{
    const QFileInfo target(m_file);
    if (!FileOps::makePath(target.absolutePath()))
        return fail(
            Problem::CreateFailed,
            QStringLiteral("the folder %1 could not be made").arg(QDir::toNativeSeparators(target.absolutePath())));

    // The new catalogue is made under a temporary name and takes its real
    // name only when complete, so a half-made file never stands in its place
    // and a file that appeared meanwhile is not replaced.
    QTemporaryFile temporary(target.absoluteFilePath() + QStringLiteral(".new-XXXXXX"));
    if (!temporary.open())
        return fail(Problem::CreateFailed, temporary.errorString());
    temporary.close();

    sqlite3* db = nullptr;
    int rc = openKeyed(temporary.fileName(), passphrase, SQLITE_OPEN_READWRITE, &db);
    if (rc == SQLITE_OK)
        rc = run(db, QStringLiteral("BEGIN"));
    for (const char* table : kTables) {
        if (rc == SQLITE_OK)
            rc = run(db, QLatin1String(table));
    }
    if (rc == SQLITE_OK)
        rc = run(db, QStringLiteral("COMMIT"));
    const QString detail = rc == SQLITE_OK ? QString() : describeError(db, rc);
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK)
        return fail(Problem::CreateFailed, detail);

    // SQLite has flushed the finished file to the disk at its COMMIT.
    if (QFileInfo::exists(m_file) || QFileInfo(m_file).isSymLink())
        return fail(Problem::CreateFailed, QStringLiteral("a file of that name appeared meanwhile"));
    if (!FileOps::rename(temporary.fileName(), m_file))
        return fail(Problem::CreateFailed, QStringLiteral("the finished catalogue could not be given its name"));
    temporary.setAutoRemove(false);
    return true;
}

QString CatalogueDatabase::describeError(sqlite3* db, int code)
{
    switch (code & 0xFF) {
    case SQLITE_READONLY:
        return QStringLiteral("the catalogue file is read-only");
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("the catalogue is in use by another program");
    case SQLITE_NOTADB:
        return QStringLiteral("the file is not a catalogue, or is protected with another password");
    case SQLITE_CORRUPT:
        return QStringLiteral("the catalogue file is damaged");
    default:
        break;
    }
    if (db && sqlite3_errcode(db) == code)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(code));
}

QString CatalogueDatabase::problemMessage() const
{
    const QString where = QDir::toNativeSeparators(m_file);
    QString reason;
    switch (m_problem) {
    case Problem::None:
        return QString();
    case Problem::CreateFailed:
        return QStringLiteral("The programs catalogue could not be created:\n\n%1\n\nReason: %2.").arg(where, m_detail);
    case Problem::Folder:
        reason = QStringLiteral("A folder stands at this place instead of the catalogue file.");
        break;
    case Problem::Unreadable:
        reason = QStringLiteral("The file cannot be read (%1).").arg(m_detail);
        break;
    case Problem::Empty:
        reason = QStringLiteral("The file is empty: it holds no catalogue.");
        break;
    case Problem::AccessFile:
        reason = QStringLiteral("It is a Microsoft Access database, the format of the older Access-style catalogue, "
                                "which The Quillane cannot read. Move the file to another folder (keep it if you "
                                "still need its list) and The Quillane will start a new, empty catalogue here.");
        break;
    case Problem::PlainSqlite:
        reason = QStringLiteral("It is an SQLite database without the catalogue's password, not a catalogue of "
                                "The Quillane.");
        break;
    case Problem::WrongKey:
        reason = QStringLiteral("It is not a catalogue of The Quillane, or it is protected with another password.");
        break;
    case Problem::NoProgramsTable:
        reason = QStringLiteral("It is a catalogue database, but it holds no usable Programs table.");
        break;
    case Problem::ForeignSchema:
        reason = QStringLiteral("It is a catalogue database, but its tables are not exactly those of a catalogue of "
                                "The Quillane (it was changed by another program).");
        break;
    case Problem::Damaged:
        reason = QStringLiteral("The catalogue file is damaged: the database's own check found errors in it.");
        break;
    case Problem::DatabaseError:
        reason = QStringLiteral("The database reported: %1.").arg(m_detail);
        break;
    }
    return QStringLiteral("The programs catalogue cannot be opened:\n\n%1\n\n%2\n\nThe file has been left as it is.")
        .arg(where, reason);
}
