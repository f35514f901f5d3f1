// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapImportController.h"

#include "common/core/AppInfo.h"
#include "common/core/Prompter.h"
#include "maps/core/MapFiles.h"
#include "maps/core/MapInspector.h"
#include "maps/ui/MapFolderList.h"

#include <QFileInfo>

MapImportController::MapImportController(Prompter& prompter, std::function<QString()> mapsRoot, QObject* parent)
    : QObject(parent)
    , m_prompter(prompter)
    , m_mapsRoot(std::move(mapsRoot))
    , m_inspector(new MapInspector(false, this))
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
    return m_inspector->busy();
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
    MapFiles::ensureMapsRoot(m_mapsRoot());
    MapFiles::importFiles(files, folder);
    emit mapsChanged();
    QStringList landed;
    for (const QString& source : files) {
        const QString name = QFileInfo(source).fileName();
        const QString destination = MapFiles::destinationIn(folder, name);
        if (name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) && QFileInfo(destination).isFile())
            landed << destination;
    }
    if (!landed.isEmpty())
        m_inspector->request(landed);
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
