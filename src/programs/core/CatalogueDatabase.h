// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// One connection to the programs catalogue: an SQLCipher database file (an
// SQLite database encrypted page by page with a key derived from a
// passphrase). Opening never changes a file that is already there: it is
// only read until it has proved to be a catalogue opened with the right
// passphrase, so a foreign or damaged file is reported and left as it is.
class CatalogueDatabase {
public:
    // Why the catalogue could not be opened.
    enum class Problem {
        None,
        Folder,          // a folder stands where the file should be
        Unreadable,      // the file is there but cannot be read
        Empty,           // a file without a single byte
        AccessFile,      // a Microsoft Access (Jet or ACE) database
        PlainSqlite,     // an SQLite database without encryption
        WrongKey,        // encrypted with another passphrase, or no database at all
        NoProgramsTable, // a database of ours without a usable Programs table
        ForeignSchema,   // tables, columns or other objects that are not exactly the catalogue's own
        Damaged,         // the database engine's own check found damage
        CreateFailed,    // nothing was there, and no new catalogue could be made
        DatabaseError,   // anything else the database engine reported
    };

    // What the first bytes of a file say it is.
    enum class FileKind { Missing, Folder, Unreadable, Empty, Access, PlainSqlite, Other };

    CatalogueDatabase();
    ~CatalogueDatabase();
    CatalogueDatabase(const CatalogueDatabase&) = delete;
    CatalogueDatabase& operator=(const CatalogueDatabase&) = delete;

    // Opens the catalogue in `file` with `passphrase` (an empty passphrase
    // opens it without encryption). When nothing is at that place, a new
    // catalogue is made first, with its folder, holding the empty tables
    // Programs and MAPS. False on failure, with problem() telling why.
    bool open(const QString& file, const QByteArray& passphrase);
    void close();

    bool isOpen() const { return m_db != nullptr; }
    // True when open() made a new, empty catalogue.
    bool createdNew() const { return m_createdNew; }
    // True when the file could only be opened for reading.
    bool isReadOnly() const;

    const QString& file() const { return m_file; }
    Problem problem() const { return m_problem; }
    // The system's or the engine's own reason, where it gave one.
    const QString& problemDetail() const { return m_detail; }
    // A message for the user naming the file and the reason.
    QString problemMessage() const;

    sqlite3* handle() const { return m_db; }

    // Looks at what stands at `file` without changing it.
    static FileKind inspect(const QString& file, QString* error = nullptr);

    // A short reason for the user after the statement result `code`.
    static QString describeError(sqlite3* db, int code);

private:
    bool openExisting(const QByteArray& passphrase);
    bool create(const QByteArray& passphrase);
    bool fail(Problem problem, const QString& detail = QString());

    sqlite3* m_db = nullptr;
    QString m_file;
    Problem m_problem = Problem::None;
    QString m_detail;
    bool m_createdNew = false;
};
