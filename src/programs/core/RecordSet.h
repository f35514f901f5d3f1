// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class CatalogueDatabase;

// The rows of one table of the catalogue, in a fixed order, held as a
// snapshot that refresh() takes afresh. The record set has a current row,
// addressed by a 1-based absolute position; rows are added (addNew,
// setField, update) and the current row is deleted straight in the database.
// Every operation returns false on failure, with lastError() telling why;
// nothing throws.
class RecordSet {
public:
    // The position reported when there is no current row (before the first
    // query, past the last row, or on a row just deleted).
    static constexpr int NoPosition = -1;

    explicit RecordSet(CatalogueDatabase* database = nullptr);

    // The connection the queries run on (not owned); the rows are dropped.
    void setDatabase(CatalogueDatabase* database);
    CatalogueDatabase* database() const { return m_database; }

    // The rows of `table` ordered by `orderColumn` in title order (rows with
    // equal values in the order they were added). Takes effect at the next
    // refresh().
    void setSource(const QString& table, const QString& orderColumn);
    const QString& table() const { return m_table; }
    // The query that refresh() runs.
    QString queryText() const;

    // Runs the query; the first row becomes current. On failure the record
    // set is empty.
    bool refresh();

    int recordCount() const { return int(m_rows.size()); }
    // 1 to recordCount(), or NoPosition.
    int absolutePosition() const;
    // Makes row `position` (1-based) current. Out of range: false, and the
    // current row stays.
    bool setAbsolutePosition(int position);
    bool isEof() const { return !m_onDeleted && m_current >= m_rows.size(); }

    int fieldCount() const { return int(m_fieldNames.size()); }
    QString fieldName(int index) const { return m_fieldNames.value(index); }
    // A column of the current row (null with no current row or no such column).
    QVariant field(int index) const;

    // Starts a new row; setField() fills it and update() stores it, after
    // which it is the current row. Another operation in between drops it.
    bool addNew();
    bool setField(int index, const QVariant& value);
    bool update();
    void cancelUpdate();
    bool isAdding() const { return m_adding; }

    // Deletes the current row from the table. The record set then stands on
    // the gap: moveNext() makes the following row current (or goes past the
    // end when it was the last).
    bool deleteCurrent();
    // Moves to the next row; false only when already past the end.
    bool moveNext();

    const QString& lastError() const { return m_error; }
    void setLastError(const QString& error) { m_error = error; }

private:
    struct Row {
        qint64 key = 0; // the row's rowid, how the table finds it again
        QVector<QVariant> values;
    };

    bool fail(const QString& error);
    bool requireConnection();
    bool readRow(qint64 key, Row* row);

    CatalogueDatabase* m_database = nullptr;
    QString m_table;
    QString m_orderColumn;
    QStringList m_fieldNames;
    QVector<Row> m_rows;
    qsizetype m_current = 0; // index into m_rows; m_rows.size() past the end
    bool m_onDeleted = false;
    bool m_adding = false;
    QHash<int, QVariant> m_pending; // fields of the row being added
    QString m_error;
};
