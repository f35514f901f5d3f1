#pragma once

#include "common/core/UserPaths.h"
#include "programs/core/CatalogueDatabase.h"
#include "programs/core/ProgramCatalogue.h"
#include "programs/core/RecordSet.h"
#include "support/TestFolders.h"

#include <QList>
#include <QString>
#include <QStringList>

struct Program {
    QString title;
    QString description;
    QString file;
    // The row as TestCatalogue::rows() lists it.
    QString row() const { return title + QLatin1Char('|') + description + QLatin1Char('|') + file; }
};

inline QString catalogueFile(const TestUserFolder& folder)
{
    return folder.path(UserPaths::CatalogueFile);
}

// The first page of an Access database: version, then the signature of its
// engine ("Jet" for .mdb, "ACE" for .accdb).
inline QByteArray accessFileBytes(const char* engine)
{
    QByteArray bytes(4096, '\x5A');
    bytes.replace(0, 20, QByteArray("\0\1\0\0Standard ", 13) + engine + QByteArray(" DB\0", 4));
    return bytes;
}

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
        using namespace ProgramCatalogue;
        const QStringList titles = column(TitleField), descriptions = column(DescriptionField),
                          files = column(PathField);
        QStringList out;
        for (int i = 0; i < titles.size(); ++i)
            out << Program{titles.at(i), descriptions.at(i), files.at(i)}.row();
        return out;
    }
};
