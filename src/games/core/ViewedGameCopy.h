// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameSelection.h"

#include <QObject>
#include <QString>

class Desktop;
class Prompter;
class QTimer;

// View Game: the picked game is copied, with its log, into the folder of
// games to watch, that folder is shown, and the copy is deleted again once
// the game lets go of it (tried at every tick of the timer "timDelete").
class ViewedGameCopy : public QObject {
    Q_OBJECT
public:
    ViewedGameCopy(Prompter& prompter, Desktop& desktop, int retryMs, QObject* parent = nullptr);

    // Copies `game` of the Games folder `gamesRoot` into `tempFolder` and
    // shows it; says why when there is nothing to copy or it cannot be.
    void view(const QString& gamesRoot, const GameSelection& game, const QString& tempFolder);
    // No more tries to delete the copy.
    void stop();

private:
    void deleteCopy();

    Prompter& m_prompter;
    Desktop& m_desktop;
    QTimer* m_timer;
    QString m_file;
    QString m_tempFolder;
};
