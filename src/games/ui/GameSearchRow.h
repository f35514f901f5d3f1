// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class GamesSearchModel;
class QLabel;
class QLineEdit;
class QTableView;
class QWidget;

// The search row of the games window: the box that narrows the grid to the
// games holding every word typed, the count of games shown, and the note that
// takes the grid's place when the search hides every game.
class GameSearchRow : public QObject {
    Q_OBJECT
public:
    GameSearchRow(GamesSearchModel* search, QTableView* grid, QWidget* window);

    QLineEdit* box() const { return m_box; }
    QLabel* count() const { return m_count; }

Q_SIGNALS:
    // The search now holds the text typed.
    void searched();

private:
    void showCount();

    GamesSearchModel* m_search;
    QLineEdit* m_box;
    QLabel* m_count;
    QLabel* m_noMatch;
};
