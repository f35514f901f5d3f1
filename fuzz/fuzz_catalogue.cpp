// SPDX-License-Identifier: GPL-3.0-or-later
// The programs catalogue opened on arbitrary file bytes, then a program added
// and removed through the record set, as the programs window does.
//
// Input: the catalogue file. It is opened without a passphrase (an
// unencrypted database), so that the fuzzer reaches the database pages and
// the schema instead of stopping at the encryption, which checks every page.

#include "FuzzSupport.h"

#include "programs/core/CatalogueDatabase.h"
#include "programs/core/ProgramCatalogue.h"
#include "programs/core/RecordSet.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("catalogue.db"), FuzzSupport::bytes(data, size));
    {
        CatalogueDatabase database;
        if (database.open(file, QByteArray())) {
            RecordSet records(&database);
            ProgramCatalogue::pointAtPrograms(records);
            const QStringList before = ProgramCatalogue::titles(records);
            if (ProgramCatalogue::add(records, QStringLiteral("Tool"), QStringLiteral("A tool"),
                                      QStringLiteral("C:\\Tools\\tool.exe"))) {
                FuzzSupport::require(ProgramCatalogue::titles(records).size() == before.size() + 1,
                                     "an added program is listed");
            }
            if (records.recordCount() > 0 && records.setAbsolutePosition(1))
                (void)ProgramCatalogue::removeCurrent(records);
            ProgramCatalogue::pointAtMaps(records);
            (void)records.refresh();
        } else {
            FuzzSupport::require(!database.problemMessage().isEmpty(), "a refusal says why");
        }
    }
    QFile::remove(file);
    QFile::remove(file + QStringLiteral("-journal"));
    return 0;
}
