// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/core/SqlStatement.h"

SqlStatement::SqlStatement(sqlite3* db, const QString& sql)
{
    if (!db)
        return;
    const QByteArray text = sql.toUtf8();
    m_prepared = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr);
    if (m_prepared != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

int SqlStatement::bind(int index, const QVariant& value)
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    if (value.isNull())
        return sqlite3_bind_null(m_stmt, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(m_stmt, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(m_stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QString text = value.toString();
        return sqlite3_bind_text16(m_stmt, index, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
    }
    }
}

int SqlStatement::step()
{
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

int SqlStatement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString SqlStatement::columnName(int column) const
{
    const void* name = m_stmt ? sqlite3_column_name16(m_stmt, column) : nullptr;
    return name ? QString::fromUtf16(static_cast<const char16_t*>(name)) : QString();
}

QVariant SqlStatement::value(int column) const
{
    if (!m_stmt)
        return QVariant();
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
    }
    case SQLITE_TEXT: {
        const auto* data = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt, column));
        const int bytes = sqlite3_column_bytes16(m_stmt, column);
        return QVariant(QString::fromUtf16(data, bytes / int(sizeof(char16_t))));
    }
    default:
        return QVariant();
    }
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
