// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class RecordSet;

// The programs catalogue's file, tables and the row operations the programs
// window performs on the shared record set.
namespace ProgramCatalogue {

// The passphrase the catalogue file is encrypted with, a constant of the program.
inline const QByteArray Passphrase = QByteArrayLiteral("copperfalls");

inline const QString ProgramsTable = QStringLiteral("Programs");
inline const QString TitleColumn = QStringLiteral("Title");
inline const QString MapsTable = QStringLiteral("MAPS");
inline const QString MapNameColumn = QStringLiteral("PIC_NAME");

// Columns of a program row, by position.
enum Field { KeyField = 0, TitleField = 1, DescriptionField = 2, PathField = 3 };

// Points the record set at the programs, in title order.
void pointAtPrograms(RecordSet& records);
// Points the record set at the MAPS table, ordered by picture name.
void pointAtMaps(RecordSet& records);

// The titles of all rows in query order, read by stepping the absolute
// position from the first row to the last (which is current afterwards).
QStringList titles(RecordSet& records);

// Adds a program: a new row with its title, description and program file,
// stored, then the query runs again. False when the row was not stored (the
// record set's lastError() says why); the query runs again in any case.
bool add(RecordSet& records, const QString& title, const QString& description, const QString& programFile);

// Deletes the current row only, moves to the next row and runs the query
// again. False when nothing was deleted (lastError() says why).
bool removeCurrent(RecordSet& records);

} // namespace ProgramCatalogue
