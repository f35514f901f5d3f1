// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/core/RecordSet.h"

#include "programs/core/CatalogueDatabase.h"
#include "programs/core/SqlStatement.h"
#include "programs/core/TitleOrder.h"

#include <algorithm>

RecordSet::RecordSet(CatalogueDatabase* database)
    : m_database(database)
{
}

void RecordSet::setDatabase(CatalogueDatabase* database)
{
    m_database = database;
    m_rows.clear();
    m_fieldNames.clear();
    m_current = 0;
    m_onDeleted = false;
    cancelUpdate();
}

void RecordSet::setSource(const QString& table, const QString& orderColumn)
{
    m_table = table;
    m_orderColumn = orderColumn;
}

QString RecordSet::queryText() const
{
    // The leading rowid finds a row again for deleting; it is not a field.
    QString sql = QStringLiteral("SELECT rowid, * FROM %1").arg(quoteIdentifier(m_table));
    if (!m_orderColumn.isEmpty()) {
        sql += QStringLiteral(" ORDER BY %1 COLLATE %2, rowid")
                   .arg(quoteIdentifier(m_orderColumn), QLatin1String(TitleOrder::collationName));
    }
    return sql;
}

bool RecordSet::fail(const QString& error)
{
    m_error = error;
    return false;
}

bool RecordSet::requireConnection()
{
    if (!m_database || !m_database->isOpen())
        return fail(QStringLiteral("the catalogue is not open"));
    if (m_table.isEmpty())
        return fail(QStringLiteral("no table is chosen"));
    return true;
}

bool RecordSet::refresh()
{
    cancelUpdate();
    m_rows.clear();
    m_fieldNames.clear();
    m_current = 0;
    m_onDeleted = false;
    m_error.clear();
    if (!requireConnection())
        return false;

    sqlite3* db = m_database->handle();
    SqlStatement query(db, queryText());
    if (!query.isValid())
        return fail(CatalogueDatabase::describeError(db, query.prepareResult()));
    const int columns = query.columnCount();
    for (int c = 1; c < columns; ++c)
        m_fieldNames << query.columnName(c);
    int rc;
    while ((rc = query.step()) == SQLITE_ROW) {
        Row row;
        row.key = query.value(0).toLongLong();
        row.values.reserve(columns - 1);
        for (int c = 1; c < columns; ++c)
            row.values << query.value(c);
        m_rows << std::move(row);
    }
    if (rc != SQLITE_DONE) {
        m_rows.clear();
        return fail(CatalogueDatabase::describeError(db, rc));
    }
    return true;
}

int RecordSet::absolutePosition() const
{
    if (m_onDeleted || m_current >= m_rows.size())
        return NoPosition;
    return int(m_current) + 1;
}

bool RecordSet::setAbsolutePosition(int position)
{
    if (position < 1 || position > m_rows.size())
        return fail(QStringLiteral("there is no row %1").arg(position));
    cancelUpdate();
    m_current = position - 1;
    m_onDeleted = false;
    return true;
}

QVariant RecordSet::field(int index) const
{
    if (m_onDeleted || m_current >= m_rows.size())
        return QVariant();
    return m_rows.at(m_current).values.value(index);
}

bool RecordSet::addNew()
{
    if (!requireConnection())
        return false;
    if (m_fieldNames.isEmpty())
        return fail(QStringLiteral("the table has not been read yet"));
    m_pending.clear();
    m_adding = true;
    return true;
}

bool RecordSet::setField(int index, const QVariant& value)
{
    if (!m_adding)
        return fail(QStringLiteral("no new row is being added"));
    if (index < 0 || index >= m_fieldNames.size())
        return fail(QStringLiteral("there is no field %1").arg(index));
    m_pending.insert(index, value);
    return true;
}

void RecordSet::cancelUpdate()
{
    m_adding = false;
    m_pending.clear();
}

bool RecordSet::update()
{
    if (!m_adding)
        return fail(QStringLiteral("no new row is being added"));
    if (!requireConnection())
        return false;

    QList<int> fields = m_pending.keys();
    std::sort(fields.begin(), fields.end());
    QStringList names;
    QStringList parameters;
    for (int i = 0; i < fields.size(); ++i) {
        names << quoteIdentifier(m_fieldNames.at(fields.at(i)));
        parameters << QStringLiteral("?%1").arg(i + 1);
    }
    const QString sql = fields.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(m_table))
                                         : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                               .arg(quoteIdentifier(m_table), names.join(QStringLiteral(", ")),
                                                    parameters.join(QStringLiteral(", ")));
    sqlite3* db = m_database->handle();
    SqlStatement insert(db, sql);
    if (!insert.isValid())
        return fail(CatalogueDatabase::describeError(db, insert.prepareResult()));
    for (int i = 0; i < fields.size(); ++i) {
        const int rc = insert.bind(i + 1, m_pending.value(fields.at(i)));
        if (rc != SQLITE_OK)
            return fail(CatalogueDatabase::describeError(db, rc));
    }
    const int rc = insert.step();
    if (rc != SQLITE_DONE)
        return fail(CatalogueDatabase::describeError(db, rc));
    cancelUpdate();

    // The stored row, as the table holds it (with its new key), becomes the
    // current row at the end of the snapshot.
    Row row;
    if (readRow(sqlite3_last_insert_rowid(db), &row)) {
        m_rows << std::move(row);
        m_current = m_rows.size() - 1;
        m_onDeleted = false;
    }
    return true;
}

bool RecordSet::readRow(qint64 key, Row* row)
{
    sqlite3* db = m_database->handle();
    SqlStatement query(db, QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table)));
    if (!query.isValid() || query.bind(1, key) != SQLITE_OK || query.step() != SQLITE_ROW)
        return false;
    row->key = query.value(0).toLongLong();
    for (int c = 1; c < query.columnCount(); ++c)
        row->values << query.value(c);
    return true;
}

bool RecordSet::deleteCurrent()
{
    cancelUpdate();
    if (m_onDeleted || m_current >= m_rows.size())
        return fail(QStringLiteral("no row is selected"));
    if (!requireConnection())
        return false;
    sqlite3* db = m_database->handle();
    SqlStatement remove(db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table)));
    if (!remove.isValid())
        return fail(CatalogueDatabase::describeError(db, remove.prepareResult()));
    int rc = remove.bind(1, m_rows.at(m_current).key);
    if (rc == SQLITE_OK)
        rc = remove.step();
    if (rc != SQLITE_DONE)
        return fail(CatalogueDatabase::describeError(db, rc));
    if (sqlite3_changes(db) == 0)
        return fail(QStringLiteral("the row is no longer in the catalogue"));
    m_rows.remove(m_current);
    m_onDeleted = true;
    return true;
}

bool RecordSet::moveNext()
{
    cancelUpdate();
    if (m_onDeleted) {
        m_onDeleted = false; // the gap's next row already stands at the current index
        return true;
    }
    if (m_current >= m_rows.size())
        return fail(QStringLiteral("already past the last row"));
    ++m_current;
    return true;
}
