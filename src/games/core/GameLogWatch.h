// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/LatestOnly.h"
#include "games/core/GameLog.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Finds, reads and parses replay logs off the user-interface thread (finding
// one may list a folder of many thousands of games). Each request supersedes
// the ones before it: only the latest one is answered, so quick changes of
// the selection end with the last game's log.
class GameLogLoader : public QObject {
    Q_OBJECT
public:
    // A log beyond this size is read as its beginning (the game and its teams)
    // and its end (the outcome and the awards).
    static constexpr qint64 maxBytes = 4 * 1024 * 1024;

    explicit GameLogLoader(QObject* parent = nullptr);
    ~GameLogLoader() override;

    // The log of the replay `file` in `folder`, whatever the letter case of its name.
    void load(const QString& folder, const QString& file);
    // Supersedes every request without a new one.
    void cancel();

Q_SIGNALS:
    void loaded(const QString& logPath, const GameLog& log);
    void missing();
    void failed(const QString& logPath, const QString& error);

private:
    LatestOnly m_work{1};
};

// Waits for the game to write a replay's log beside it, under the name the
// game gives it: looks whenever the folder changes and at every poll, and takes the log once it has stopped
// growing; gives up after the timeout. One wait at a time.
class GameLogWaiter : public QObject {
    Q_OBJECT
public:
    explicit GameLogWaiter(int timeoutMs, int pollMs, QObject* parent = nullptr);

    // Waits for the log of the replay `file` in `folder`; ends any other wait.
    void wait(const QString& folder, const QString& file);
    void stop();
    bool waitingFor(const QString& folder, const QString& file) const;
    int timeoutMs() const { return m_timeoutMs; }

Q_SIGNALS:
    void arrived(const QString& folder, const QString& file, const QString& logPath);
    void timedOut(const QString& folder, const QString& file);

private:
    void look();

    int m_timeoutMs;
    int m_pollMs;
    QFileSystemWatcher* m_watcher;
    QTimer* m_poll;
    QElapsedTimer m_started;
    QString m_folder;
    QString m_file;
    // The log as last seen, and since when it has looked so.
    qint64 m_size = -1;
    QDateTime m_modified;
    QElapsedTimer m_unchanged;
};
