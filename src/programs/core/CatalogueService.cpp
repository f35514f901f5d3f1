// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/core/CatalogueService.h"

#include "common/core/AppInfo.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "programs/core/ProgramCatalogue.h"

#include <QDir>

CatalogueService::CatalogueService(const UserPaths& paths)
    : m_paths(paths)
    , m_file(paths.catalogueFile())
    , m_records(&m_database)
{
    ProgramCatalogue::pointAtMaps(m_records);
}

bool CatalogueService::prepareForPrograms()
{
    // The file is looked up again each time: a catalogue that the user put
    // right (or moved away) since the last attempt is found as it is now.
    m_file = m_paths.catalogueFile();
    m_records.setDatabase(&m_database);
    if (!m_database.open(m_file, ProgramCatalogue::Passphrase))
        return false;
    ProgramCatalogue::pointAtPrograms(m_records);
    return m_records.refresh();
}

QString CatalogueService::problemMessage() const
{
    if (!m_database.isOpen())
        return m_database.problemMessage();
    return QStringLiteral("The programs catalogue cannot be read:\n\n%1\n\nReason: %2.")
        .arg(QDir::toNativeSeparators(m_file), m_records.lastError());
}

void CatalogueService::tellProblem(Prompter& prompter) const
{
    prompter.message(problemMessage(), AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}
