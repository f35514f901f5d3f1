// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameSortLabels.h"

#include "common/ui/ClickLabel.h"
#include "common/ui/HoverGroup.h"
#include "games/core/GamesTableModel.h"
#include "games/ui/GamesLayout.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace {

// The columns the labels sort, in the labels' order.
constexpr int sortColumns[3] = {GamesTableModel::ModeColumn, GamesTableModel::PlayersColumn,
                                GamesTableModel::TimeColumn};

} // namespace

GameSortLabels::GameSortLabels(QTableView* grid, HoverGroup* highlight, QWidget* window)
    : QObject(window)
    , m_grid(grid)
{
    const char* names[3] = {"cmdSort1", "cmdSort2", "cmdSort3"};
    for (int i = 0; i < 3; ++i) {
        ClickLabel* label =
            highlight->addButton(window, QLatin1String(names[i]), QStringLiteral("SORT"), GamesLayout::sortLabel);
        label->setProperty("tag", QStringLiteral("1"));
        connect(label, &ClickLabel::clicked, this, [this, i] { emit sortRequested(sortColumns[i]); });
        m_labels[size_t(i)] = label;
    }
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, &GameSortLabels::place);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GameSortLabels::place);
}

void GameSortLabels::place()
{
    const QHeaderView* header = m_grid->horizontalHeader();
    const int x0 = m_grid->x() + m_grid->frameWidth();
    for (int i = 0; i < 3; ++i) {
        ClickLabel* label = m_labels[size_t(i)];
        label->move(x0 + header->sectionViewportPosition(sortColumns[i]),
                    m_grid->y() - label->height() - GamesLayout::sortLabelAboveGrid);
    }
}

void GameSortLabels::sorted(int column, bool ascending)
{
    for (int i = 0; i < 3; ++i) {
        if (sortColumns[i] == column)
            m_labels[size_t(i)]->setProperty("tag", ascending ? QStringLiteral("2") : QStringLiteral("1"));
    }
}
