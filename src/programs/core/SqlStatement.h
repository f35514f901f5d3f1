// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Internal to the programs catalogue: includes SQLCipher's sqlite3.h, which
// needs SQLITE_HAS_CODEC (set for this library only).
#ifndef SQLITE_HAS_CODEC
#error "SqlStatement.h needs SQLITE_HAS_CODEC, or SQLCipher's sqlite3_key() is not declared"
#endif
#include <sqlite3.h>

#include <QString>
#include <QVariant>

// A prepared statement that is finalised when it goes out of scope. Values
// only ever reach the database as bound parameters.
class SqlStatement {
public:
    SqlStatement(sqlite3* db, const QString& sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // The result of preparing: SQLITE_OK when the statement can run.
    int prepareResult() const { return m_prepared; }
    bool isValid() const { return m_stmt != nullptr; }

    // Binds `value` to parameter `index` (1-based): null, integer, real,
    // bytes (a blob) or text.
    int bind(int index, const QVariant& value);
    // One step: SQLITE_ROW, SQLITE_DONE or an error code.
    int step();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepared = SQLITE_MISUSE;
};

// `name` quoted as an SQL identifier ("Title", "My ""odd"" table").
QString quoteIdentifier(const QString& name);
