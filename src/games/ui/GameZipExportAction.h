// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameSelection.h"
#include "games/core/GamesZipExport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class LatestOnly;
class Prompter;
class QAction;
class QWidget;

// Export to Zip: the picked game, or every game the grid shows, packed into
// an archive the user names. The archive is written off the window's thread,
// one export at a time (the menu entry waits meanwhile), with its progress
// and Cancel shown; the user is told how it went.
class GameZipExportAction : public QObject {
    Q_OBJECT
public:
    // `action` is the menu entry, `window` shows the progress.
    GameZipExportAction(Prompter& prompter, QAction* action, QWidget* window);

    // `shown` lists the games the grid shows, when asked for.
    void run(const QString& gamesRoot, const GameSelection& selected, int shownCount,
             const std::function<QList<GamesZipExport::Game>()>& shown);

private:
    void finished(const QString& archive, const GamesZipExport::Result& result);

    Prompter& m_prompter;
    QAction* m_action;
    QWidget* m_window;
    LatestOnly* m_work;
};
