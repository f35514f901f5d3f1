// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

class HoverGroup;
class QListWidget;
class QWidget;

// The Folders list of the games window with its GO button: "Default" for the
// Games folder itself, then every user folder; GO shows the picked one's
// games, and a right-button press calls for the folder menu.
class GameFolderPick : public QObject {
    Q_OBJECT
public:
    GameFolderPick(HoverGroup* highlight, QWidget* window);

    // Lists "Default" and then `folders`.
    void setFolders(const QString& defaultName, const QStringList& folders);
    // The picked folder under Games; "" for Games itself or when none is picked.
    QString picked() const;
    QListWidget* list() const { return m_list; }

Q_SIGNALS:
    void goClicked();
    // A right-button press on the list, after picking the folder under it.
    void menuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HoverGroup* m_highlight;
    QListWidget* m_list;
};
