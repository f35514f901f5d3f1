// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "maps/core/MapDrag.h"

#include <QListWidget>
#include <functional>

// A list of the map manager that takes drops and may start the window's own
// drag of its current item. What a drop means is decided by the window from
// what it carries (MapDrag); the list only reads it and hands it on once the
// drag has ended, so that a message box never opens inside a drag.
class MapListWidget : public QListWidget {
    Q_OBJECT
public:
    MapListWidget(MapDrag::Target target, QWidget* parent = nullptr);

    // The maps root that tells the window's own drags from others.
    void setMapsRoot(std::function<QString()> mapsRoot) { m_mapsRoot = std::move(mapsRoot); }
    // Makes the list a drag source: `dragData` gives the data for the current
    // item, or nullptr when there is nothing to drag.
    void setDragData(std::function<class QMimeData*()> dragData);
    // The data a drag from the list would carry now (owned by the caller), or
    // nullptr.
    QMimeData* dragData() const { return m_dragData ? m_dragData() : nullptr; }

Q_SIGNALS:
    // Something was dropped on the list.
    void dropped(const MapDrag::Drag& drag);
    // A click on the item that was already the current one.
    void reselected();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool takes(const QMimeData* mime) const;

    MapDrag::Target m_target;
    std::function<QString()> m_mapsRoot;
    std::function<QMimeData*()> m_dragData;
    int m_rowAtPress = -1;
};
