// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapImportController.h"

#include "common/core/AppInfo.h"
#include "common/core/LatestOnly.h"
#include "common/core/Prompter.h"
#include "common/ui/WorkProgress.h"
#include "maps/core/MapFiles.h"
#include "maps/core/MapInspector.h"
#include "maps/ui/MapFolderList.h"

#include <QWidget>

MapImportController::MapImportController(Prompter& prompter, std::function<QString()> mapsRoot, QWidget* window)
    : QObject(window)
    , m_prompter(prompter)
    , m_mapsRoot(std::move(mapsRoot))
    , m_window(window)
    , m_inspector(new MapInspector(false, this))
    , m_copying(new LatestOnly(1, this))
{
    connect(m_inspector, &MapInspector::inspected, this, &MapImportController::tellProblems);
}

QString MapImportController::highlightFolderMessage()
{
    return QStringLiteral("Please highlight a folder");
}

QString MapImportController::selectFolderMessage()
{
    return QStringLiteral("Please select a folder");
}

bool MapImportController::busy() const
{
    return m_importing || m_inspector->busy();
}

void MapImportController::droppedOnMaps(const MapDrag::Drag& drag, const QString& mapFolder)
{
    if (MapDrag::decide(MapDrag::Target::MapList, drag.kind, MapDrag::Entry::None) !=
        MapDrag::Action::CopyIntoMapFolder)
        return;
    importInto(drag.files, mapFolder);
}

void MapImportController::droppedOnTransfer(const MapDrag::Drag& drag, const MapFolderList& transfer)
{
    const MapDrag::Entry entry = transfer.currentEntry();
    switch (MapDrag::decide(MapDrag::Target::TransferList, drag.kind, entry)) {
    case MapDrag::Action::Ignore:
    case MapDrag::Action::CopyIntoMapFolder:
        return;
    case MapDrag::Action::AskToHighlight:
        m_prompter.message(highlightFolderMessage(), QStringLiteral("Transfer"), Prompter::Buttons::Ok,
                           Prompter::Icon::Information);
        return;
    case MapDrag::Action::AskToSelect:
        m_prompter.message(selectFolderMessage(), AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Information);
        return;
    case MapDrag::Action::CopyIntoTarget:
        importInto(drag.files, transfer.currentTarget());
        return;
    case MapDrag::Action::MoveMap: {
        const QString target = entry == MapDrag::Entry::Root ? m_mapsRoot() : transfer.currentTarget();
        const MapFiles::MoveResult result = MapFiles::moveMap(drag.mapPath, target);
        emit mapsChanged();
        if (result.status == MapFiles::MoveResult::Status::Moved)
            emit mapMoved();
        else if (result.status == MapFiles::MoveResult::Status::AlreadyThere)
            m_prompter.message(result.message, AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Information);
        else
            warn(result.message);
        return;
    }
    }
}

// Copies `files` into `folder`, then checks the maps among them against the
// game's rules; the findings come in one message (tellProblems).
void MapImportController::importInto(const QStringList& files, const QString& folder)
{
    m_drops.append({files, folder});
    if (!m_importing)
        importNext();
}

void MapImportController::importNext()
{
    m_importing = !m_drops.isEmpty();
    if (!m_importing)
        return;
    const Drop drop = m_drops.takeFirst();
    MapFiles::ensureMapsRoot(m_mapsRoot());
    WorkProgress::run<QStringList>(
        *m_copying, m_window, QStringLiteral("Import Maps"), QStringLiteral("maps"),
        [drop](const std::function<bool(int, int)>& report) {
            return MapFiles::importFiles(drop.files, drop.folder, report);
        },
        [this](const QStringList& copied) {
            emit mapsChanged();
            QStringList landed;
            for (const QString& destination : copied) {
                if (destination.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
                    landed << destination;
            }
            if (!landed.isEmpty())
                m_inspector->request(landed);
            importNext();
        });
}

void MapImportController::tellProblems(const QStringList& files, const QList<MapCheck::Report>& reports)
{
    const QString message = MapCheck::problemsMessage(files, reports);
    if (!message.isEmpty())
        warn(message);
}

void MapImportController::warn(const QString& text)
{
    m_prompter.message(text, AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}
