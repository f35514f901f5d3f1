#include "programs/ui/ProgramsDataWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/WindowNames.h"
#include "programs/core/ProgramCatalogue.h"

#include <QDir>

ProgramsDataWindow::ProgramsDataWindow(AppContext& context)
    : AppWindow(context)
    , m_records(&m_database)
{
    setWindowTitle(AppInfo::title());
}

void ProgramsDataWindow::formLoad()
{
    m_file = context().paths().catalogueFile();
    ProgramCatalogue::pointAtMaps(m_records);
}

bool ProgramsDataWindow::prepareForPrograms()
{
    // The file is looked up again each time: a catalogue that the user put
    // right (or moved away) since the last attempt is found as it is now.
    m_file = context().paths().catalogueFile();
    m_records.setDatabase(&m_database);
    if (!m_database.open(m_file, ProgramCatalogue::Passphrase))
        return false;
    ProgramCatalogue::pointAtPrograms(m_records);
    return m_records.refresh();
}

QString ProgramsDataWindow::problemMessage() const
{
    if (!m_database.isOpen())
        return m_database.problemMessage();
    return QStringLiteral("The programs catalogue cannot be read:\n\n%1\n\nReason: %2.")
        .arg(QDir::toNativeSeparators(m_file), m_records.lastError());
}

void ProgramsDataWindow::tellProblem()
{
    context().prompter().message(problemMessage(), AppInfo::title(), Prompter::Buttons::Ok,
                                 Prompter::Icon::Exclamation);
}

ProgramsDataWindow* ProgramsDataWindow::of(AppContext& context)
{
    return qobject_cast<ProgramsDataWindow*>(context.window(WindowNames::ProgramsData));
}

bool prepareProgramsCatalogue(AppContext& context)
{
    ProgramsDataWindow* data = ProgramsDataWindow::of(context);
    if (!data)
        return false;
    if (data->prepareForPrograms())
        return true;
    data->tellProblem();
    return false;
}

void reloadProgramsWindow(AppContext& context)
{
    ProgramsDataWindow* data = ProgramsDataWindow::of(context);
    // A new window over a failed query would show an empty list: say that
    // the catalogue is not empty but unreadable.
    if (data && !data->refresh())
        data->tellProblem();
    context.reload(WindowNames::Programs);
}
