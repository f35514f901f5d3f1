// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "maps/core/MapDrag.h"
#include "maps/core/MapFolder.h"
#include "maps/core/MapNames.h"

#include <QObject>
#include <QString>

#include <functional>

class QListWidget;
class QListWidgetItem;

// A folder list of the map manager, one for each side: the sub-folders of
// the side's folder in the map tree, after a parent entry as the folder
// navigator shows it (left out at the root on the map side). A double-click
// goes into a folder or up one level.
class MapFolderList : public QObject {
    Q_OBJECT
public:
    MapFolderList(QListWidget* list, MapNames::Side side, std::function<QString()> mapsRoot, QObject* parent = nullptr);

    QListWidget* list() const { return m_list; }
    MapFolder& folder() { return m_folder; }
    const MapFolder& folder() const { return m_folder; }
    // The side's folder on disk.
    QString path() const { return m_folder.path(m_mapsRoot()); }

    // Lists the folder's entries anew, with the first one current on the
    // transfer side (and below the root on the map side).
    void fill();

    // True for the entry of a sub-folder, false for the parent entry.
    static bool isFolder(const QListWidgetItem* item);
    // What the current entry of the list is for a drop.
    MapDrag::Entry currentEntry() const;
    // The folder a drop on the current entry goes into.
    QString currentTarget() const;

Q_SIGNALS:
    // The side moved to another folder.
    void folderChanged();

private:
    void doubleClicked(QListWidgetItem* item);

    QListWidget* m_list;
    MapNames::Side m_side;
    std::function<QString()> m_mapsRoot;
    MapFolder m_folder;
};
