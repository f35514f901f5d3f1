// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameFolderPick.h"

#include "common/ui/ClickLabel.h"
#include "common/ui/HoverGroup.h"
#include "games/ui/GamesLayout.h"

#include <QListWidget>
#include <QMouseEvent>

GameFolderPick::GameFolderPick(HoverGroup* highlight, QWidget* window)
    : QObject(window)
    , m_highlight(highlight)
{
    auto* caption = new QLabel(QStringLiteral("Folders"), window);
    caption->setObjectName(QStringLiteral("lblFolders"));
    caption->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    caption->setGeometry(GamesLayout::foldersCaption);
    m_list = new QListWidget(window);
    m_list->setObjectName(QStringLiteral("lstFolderPick"));
    m_list->setGeometry(GamesLayout::folderPick);
    m_list->setMouseTracking(true);
    m_list->viewport()->setMouseTracking(true);
    m_list->viewport()->installEventFilter(this);
    ClickLabel* go = highlight->addButton(window, QStringLiteral("cmdGo"), QStringLiteral("GO"), GamesLayout::go);
    go->setToolTip(QStringLiteral("Show the games of the picked folder"));
    connect(go, &ClickLabel::clicked, this, &GameFolderPick::goClicked);
}

void GameFolderPick::setFolders(const QString& defaultName, const QStringList& folders)
{
    m_list->clear();
    m_list->addItem(defaultName);
    for (const QString& folder : folders) {
        auto* item = new QListWidgetItem(folder, m_list);
        item->setData(Qt::UserRole, folder);
    }
}

QString GameFolderPick::picked() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

bool GameFolderPick::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseMove) {
        m_highlight->clear();
    } else if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (QListWidgetItem* item = m_list->itemAt(mouse->position().toPoint()))
                m_list->setCurrentItem(item);
            emit menuRequested(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
