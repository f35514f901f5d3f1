#pragma once

#include "programs/core/CatalogueDatabase.h"
#include "programs/core/ProgramCatalogue.h"
#include "programs/core/RecordSet.h"

#include <QList>
#include <QString>
#include <QStringList>

struct Program {
    QString title;
    QString description;
    QString file;
};

// A catalogue file opened with the program's passphrase, with a record set
// on its programs in title order.
class TestCatalogue {
public:
    CatalogueDatabase db;
    RecordSet records{&db};

    // Opens (or makes) the catalogue in `file` and adds `programs` in that
    // order, as imports do. False at the first step that fails.
    bool open(const QString& file, const QList<Program>& programs = {})
    {
        if (!db.open(file, ProgramCatalogue::Passphrase))
            return false;
        ProgramCatalogue::pointAtPrograms(records);
        if (!records.refresh())
            return false;
        for (const Program& p : programs) {
            if (!ProgramCatalogue::add(records, p.title, p.description, p.file))
                return false;
        }
        return true;
    }

    // One field of every row, in query order.
    QStringList column(int field)
    {
        QStringList out;
        for (int position = 1; records.setAbsolutePosition(position); ++position)
            out << records.field(field).toString();
        return out;
    }

    // Every row as "title|description|file", in query order.
    QStringList rows()
    {
        QStringList out;
        for (int position = 1; records.setAbsolutePosition(position); ++position) {
            out << records.field(ProgramCatalogue::TitleField).toString() + QLatin1Char('|') +
                       records.field(ProgramCatalogue::DescriptionField).toString() + QLatin1Char('|') +
                       records.field(ProgramCatalogue::PathField).toString();
        }
        return out;
    }
};
