// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GamesTree.h"

#include <QList>
#include <QObject>
#include <QString>

class GamesSearchModel;
class LatestOnly;

// Makes the games findable by what their logs tell: after each fill, once
// the search has folded the games' own texts, the logs lying beside the
// games are read off the GUI thread and their teams, players and winner
// handed to the search in batches. A new fill supersedes the reading of the
// one before. The grid, its first paint and the first keystrokes never wait
// for it: a log's words count from the moment they are known.
class GameLogWords : public QObject {
    Q_OBJECT
public:
    explicit GameLogWords(GamesSearchModel* search, QObject* parent = nullptr);

    // Reads the logs of the games of a fill: `folders` as the grid was filled
    // with them (games numbered in that order), `gamesRoot` their root.
    void start(const QString& gamesRoot, const QList<GameFolderFiles>& folders);
    // Waits until every log is read (for tests).
    void waitForDone();

private:
    void read();

    // The fill whose logs are to be read once the search is ready.
    QString m_root;
    QList<GameFolderFiles> m_folders;
    bool m_waiting = false;
    GamesSearchModel* m_search;
    LatestOnly* m_reader;
};
