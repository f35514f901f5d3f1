// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapFolderList.h"

#include "common/core/FolderListing.h"

#include <QFileInfo>
#include <QListWidget>

namespace {

enum EntryKind { ParentEntry = 1, FolderEntry = 2 };

} // namespace

MapFolderList::MapFolderList(QListWidget* list, MapNames::Side side, std::function<QString()> mapsRoot, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_side(side)
    , m_mapsRoot(std::move(mapsRoot))
{
    connect(m_list, &QListWidget::itemDoubleClicked, this, &MapFolderList::doubleClicked);
}

void MapFolderList::fill()
{
    const QString root = m_mapsRoot();
    // A folder removed behind the window's back: show the nearest one left.
    while (!m_folder.isRoot() && !QFileInfo(m_folder.path(root)).isDir())
        m_folder.goUp();

    const QStringList entries = FolderListing::list(m_folder.path(root), QString()).entries;
    m_list->clear();
    const bool mapSide = m_side == MapNames::Side::Maps;
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries.at(i);
        const bool parent = i == 0 && entry == QLatin1String("..");
        if (parent && mapSide && m_folder.isRoot())
            continue; // the root's list shows only its sub-folders
        auto* item = new QListWidgetItem(parent ? MapNames::parentEntryText(m_side, m_folder.isRoot()) : entry, m_list);
        item->setData(Qt::UserRole, parent ? ParentEntry : FolderEntry);
    }
    // Below the root the parent entry starts out highlighted.
    if ((!mapSide || !m_folder.isRoot()) && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

bool MapFolderList::isFolder(const QListWidgetItem* item)
{
    return item && item->data(Qt::UserRole).toInt() == FolderEntry;
}

MapDrag::Entry MapFolderList::currentEntry() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return MapDrag::Entry::None;
    if (isFolder(item))
        return MapDrag::Entry::Folder;
    return m_folder.isRoot() ? MapDrag::Entry::Root : MapDrag::Entry::Parent;
}

QString MapFolderList::currentTarget() const
{
    const QString root = m_mapsRoot();
    const QListWidgetItem* item = m_list->currentItem();
    return isFolder(item) ? m_folder.itemPath(root, item->text()) : m_folder.path(root);
}

void MapFolderList::doubleClicked(QListWidgetItem* item)
{
    if (!item)
        return;
    if (!isFolder(item)) {
        // "<<Back" leads up; the transfer side's "[Root]" leads nowhere.
        if (m_folder.isRoot())
            return;
        m_folder.goUp();
    } else {
        m_folder.enter(m_mapsRoot(), item->text());
    }
    emit folderChanged();
}
