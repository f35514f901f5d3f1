// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class GamesSearchModel;
class GamesTableModel;
class LatestOnly;

// Makes the games findable by what their logs tell: after each fill, the
// logs lying beside the games are read off the GUI thread and their teams,
// players and winner handed to the search in batches. A new fill supersedes
// the reading of the one before. The grid and the first keystrokes never
// wait for it: a log's words count from the moment they are known.
class GameLogWords : public QObject {
    Q_OBJECT
public:
    GameLogWords(GamesTableModel* games, GamesSearchModel* search, QObject* parent = nullptr);

    // Reads the logs of the games now in the grid, `gamesRoot` their root.
    void start(const QString& gamesRoot);
    // Waits until every log is read (for tests).
    void waitForDone();

private:
    GamesTableModel* m_games;
    GamesSearchModel* m_search;
    LatestOnly* m_reader;
};
