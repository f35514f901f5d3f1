// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/core/ProgramCatalogue.h"

#include "programs/core/RecordSet.h"

void ProgramCatalogue::pointAtPrograms(RecordSet& records)
{
    records.setSource(ProgramsTable, TitleColumn);
}

void ProgramCatalogue::pointAtMaps(RecordSet& records)
{
    records.setSource(MapsTable, MapNameColumn);
}

QStringList ProgramCatalogue::titles(RecordSet& records)
{
    QStringList out;
    const int count = records.recordCount();
    for (int position = 1; position <= count; ++position) {
        if (records.setAbsolutePosition(position))
            out << records.field(TitleField).toString();
    }
    return out;
}

bool ProgramCatalogue::add(RecordSet& records, const QString& title, const QString& description,
                           const QString& programFile)
{
    const bool stored = records.addNew() && records.setField(TitleField, title) &&
                        records.setField(DescriptionField, description) && records.setField(PathField, programFile) &&
                        records.update();
    const QString error = records.lastError();
    if (!stored)
        records.cancelUpdate();
    records.refresh();
    if (!stored)
        records.setLastError(error);
    return stored;
}

bool ProgramCatalogue::removeCurrent(RecordSet& records)
{
    const bool deleted = records.deleteCurrent();
    const QString error = records.lastError();
    records.moveNext(); // past the end after the last row; the query runs again anyway
    records.refresh();
    if (!deleted)
        records.setLastError(error);
    return deleted;
}
