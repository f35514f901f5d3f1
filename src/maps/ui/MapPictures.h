// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class MapThumbnailLoader;
class WorkProgress;
class QAbstractButton;
class QListWidget;

// The pictures view of the map list: the same list, with the same items,
// selection, drags and operations, shown as thumbnails with their names
// instead of a column of names. A checkable button switches between the two;
// the choice is remembered. While pictures show, the list also takes the room
// of `covered` (hidden meanwhile). Thumbnails come from the shared thumbnail
// cache, made on worker threads when missing; a big folder shows the count
// made so far, with Cancel to do without the rest.
class MapPictures : public QObject {
    Q_OBJECT
public:
    MapPictures(QListWidget* list, QAbstractButton* toggle, QWidget* covered, QObject* parent = nullptr);

    // Shown for a map that cannot be read.
    void setUnreadablePicture(const QImage& picture) { m_unreadable = picture; }
    // Sets the button from the remembered choice.
    void restore();
    // To be called after the list was filled with the maps of `folder`.
    void refilled(const QString& folder);
    // Stops making thumbnails nobody waits for.
    void cancel();

    bool active() const;
    // Thumbnails of the shown folder not yet in the list.
    int pending() const;

private:
    void setActive(bool on);
    void apply(const QList<QPair<QString, QImage>>& thumbnails);
    void endProgress();

    QListWidget* m_list;
    QAbstractButton* m_toggle;
    QWidget* m_covered;
    MapThumbnailLoader* m_loader;
    QImage m_unreadable;
    QString m_folder;
    QHash<QString, int> m_rows; // file path to row, for the thumbnails asked for
    int m_namesWidth = 0;
    QPointer<WorkProgress> m_progress;
    int m_made = 0;
};
