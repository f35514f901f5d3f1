// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameSelection.h"

#include <QObject>

class QLineEdit;
class QWidget;

// The two read-only boxes that show the picked game's file name and folder.
// They only show: the window keeps the GameSelection itself.
class GameSelectionView : public QObject {
    Q_OBJECT
public:
    explicit GameSelectionView(QWidget* window);

    // `folderText` is the folder as the grid shows it.
    void show(const GameSelection& game, const QString& folderText);

private:
    QLineEdit* m_txtFile;
    QLineEdit* m_txtFolder;
};
