// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapListWidget.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

MapListWidget::MapListWidget(MapDrag::Target target, QWidget* parent)
    : QListWidget(parent)
    , m_target(target)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void MapListWidget::setDragData(std::function<QMimeData*()> dragData)
{
    m_dragData = std::move(dragData);
    setDragEnabled(bool(m_dragData));
}

bool MapListWidget::takes(const QMimeData* mime) const
{
    if (!mime)
        return false;
    const MapDrag::Drag drag = MapDrag::read(*mime, m_mapsRoot ? m_mapsRoot() : QString());
    return MapDrag::accepts(m_target, drag.kind);
}

void MapListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void MapListWidget::dragMoveEvent(QDragMoveEvent* event)
{
    // The highlighted entry is the target, not the one under the pointer:
    // passing over the list changes nothing.
    if (takes(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MapListWidget::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!takes(mime)) {
        event->ignore();
        return;
    }
    const MapDrag::Drag drag = MapDrag::read(*mime, m_mapsRoot ? m_mapsRoot() : QString());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QMetaObject::invokeMethod(
        this, [this, drag] { emit dropped(drag); }, Qt::QueuedConnection);
}

void MapListWidget::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions)
    QMimeData* mime = dragData();
    if (!mime)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    // Offered as a copy only: a file manager that takes it must never take
    // the map away. Our own transfer list moves it itself.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void MapListWidget::mousePressEvent(QMouseEvent* event)
{
    m_rowAtPress = currentRow();
    QListWidget::mousePressEvent(event);
}

void MapListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const int before = m_rowAtPress;
    m_rowAtPress = -1;
    QListWidget::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && index.row() == before && before == currentRow())
        emit reselected();
}
