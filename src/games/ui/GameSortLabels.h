// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <array>

class ClickLabel;
class HoverGroup;
class QTableView;
class QWidget;

// The three SORT labels that stand over the Mode, Players and Time headers of
// the games grid, just above it, and follow the columns as they are resized
// or scrolled. A label's tag tells which way its column sorts next ("1"
// ascending, "2" descending).
class GameSortLabels : public QObject {
    Q_OBJECT
public:
    GameSortLabels(QTableView* grid, HoverGroup* highlight, QWidget* window);

    // Moves the labels over their columns' headers.
    void place();
    // Shows that `column` has just been sorted, ascending or not.
    void sorted(int column, bool ascending);

Q_SIGNALS:
    void sortRequested(int column);

private:
    QTableView* m_grid;
    std::array<ClickLabel*, 3> m_labels{};
};
