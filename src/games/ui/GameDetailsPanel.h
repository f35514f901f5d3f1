// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameLog.h"

#include <QFrame>
#include <QString>

class GameLogLoader;
class GameLogWaiter;
class GameReplayPanel;
class Prompter;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
struct Intervals;

// What happened in the selected game, read from the log the game writes
// beside the replay: when it was played, with which version of the game, the
// teams, the outcome, the times and the awards. A log from which nothing can
// be read is shown as its text. A game without a log offers "Read log", which
// asks the game (through the window) to write it; the panel then waits for it
// to appear beside the replay.
class GameDetailsPanel : public QFrame {
    Q_OBJECT
public:
    GameDetailsPanel(Prompter& prompter, const Intervals& intervals, QWidget* parent = nullptr);

    // The game to show: the replay `file` in `folderPath`; "" for none. The
    // same game again changes nothing.
    void showGame(const QString& folderPath, const QString& file);

    // The game was asked to write the log of this replay: wait for it.
    void waitForLog(const QString& folderPath, const QString& file);

    // What the replay itself holds: its map and scheme.
    GameReplayPanel* replayPanel() const { return m_replay; }

    // The turn chosen in the table of turns; null when none is.
    const GameLogTurn* selectedTurn() const;

Q_SIGNALS:
    // "Read log" was pressed for the game shown.
    void readLogRequested();
    // A turn of the log was chosen in the table of turns.
    void turnSelected(const GameLogTurn& turn);
    // "Make Clip..." was pressed for the game shown.
    void makeClipRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void reload();
    void showStatus(const QString& text, bool offerReadLog);
    void showLog(const QString& logPath, const GameLog& log);
    void showMissing();
    void logArrived(const QString& folderPath, const QString& file);
    void logTimedOut(const QString& folderPath, const QString& file);
    void layOut();

    Prompter& m_prompter;
    GameLogLoader* m_loader;
    GameLogWaiter* m_waiter;
    QString m_folderPath;
    QString m_file;

    QLabel* m_title;
    QLabel* m_status;
    QString m_statusPattern; // with %1 for the log's name (the tooltip), fitted to the width
    QPushButton* m_readLog;
    QPushButton* m_makeClip;
    QLabel* m_summary;
    QTableWidget* m_teams;
    QTableWidget* m_turns;
    QList<GameLogTurn> m_turnList;
    GameReplayPanel* m_replay;
    QLabel* m_awards;
    QPlainTextEdit* m_text;
};
