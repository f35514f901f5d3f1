// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameSearchRow.h"

#include "games/core/GamesSearchModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

GameSearchRow::GameSearchRow(GamesSearchModel* search, QTableView* grid, QWidget* window)
    : QObject(window)
    , m_search(search)
{
    m_box = new QLineEdit(window);
    m_box->setObjectName(QStringLiteral("txtSearch"));
    m_box->setPlaceholderText(QStringLiteral("Search games: players, mode, folder, date"));
    m_box->setAccessibleName(QStringLiteral("Search games"));
    m_box->setClearButtonEnabled(true);
    connect(m_box, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_search->setSearchText(text);
        Q_EMIT searched();
        showCount();
    });
    m_count = new QLabel(window);
    m_count->setObjectName(QStringLiteral("lblSearchCount"));
    connect(m_search, &QAbstractItemModel::modelReset, this, &GameSearchRow::showCount);
    // In the grid's place when the search hides every game.
    m_noMatch = new QLabel(grid->viewport());
    m_noMatch->setObjectName(QStringLiteral("lblNoMatch"));
    m_noMatch->setTextFormat(Qt::PlainText);
    m_noMatch->setAlignment(Qt::AlignCenter);
    m_noMatch->hide();
    (new QVBoxLayout(grid->viewport()))->addWidget(m_noMatch);
    connect(m_search, &QAbstractItemModel::layoutChanged, this, &GameSearchRow::showCount);
}

void GameSearchRow::showCount()
{
    m_count->setText(QStringLiteral("%1 of %2 games").arg(m_search->shownCount()).arg(m_search->totalCount()));
    const QString searched = m_box->text().simplified();
    m_noMatch->setText(QStringLiteral("No games match \"%1\"").arg(searched));
    m_noMatch->setVisible(m_search->shownCount() == 0 && m_search->totalCount() > 0 && !searched.isEmpty());
}
