// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GameLogWatch.h"

#include "common/core/OutsideFile.h"
#include "common/core/PathCase.h"
#include "games/core/GameFileActions.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

GameLogLoader::GameLogLoader(QObject* parent)
    : QObject(parent)
{
}

GameLogLoader::~GameLogLoader() = default;

void GameLogLoader::cancel()
{
    m_work.cancel();
}

void GameLogLoader::load(const QString& folder, const QString& file)
{
    m_work.start([this, folder, file](const LatestOnly::Request& request) {
        const QString logPath = GameFileActions::logOf(folder, file);
        QByteArray bytes;
        QString error;
        const bool read = !logPath.isEmpty() && OutsideFile::readHeadAndTail(logPath, maxBytes, &bytes, &error);
        const GameLog log = read ? GameLogParser::parse(bytes) : GameLog();
        request.deliver([this, logPath, read, log, error] {
            if (logPath.isEmpty())
                emit missing();
            else if (read)
                emit loaded(logPath, log);
            else
                emit failed(logPath, error);
        });
    });
}

GameLogWaiter::GameLogWaiter(int timeoutMs, int pollMs, QObject* parent)
    : QObject(parent)
    , m_timeoutMs(timeoutMs)
    , m_pollMs(pollMs)
    , m_watcher(new QFileSystemWatcher(this))
    , m_poll(new QTimer(this))
{
    m_poll->setInterval(pollMs);
    connect(m_poll, &QTimer::timeout, this, &GameLogWaiter::look);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &GameLogWaiter::look);
}

void GameLogWaiter::wait(const QString& folder, const QString& file)
{
    stop();
    m_folder = folder;
    m_file = file;
    m_watcher->addPath(folder); // without it the polls still look
    m_started.start();
    m_poll->start();
    look();
}

void GameLogWaiter::stop()
{
    m_poll->stop();
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    m_folder.clear();
    m_file.clear();
    m_size = -1;
}

bool GameLogWaiter::waitingFor(const QString& folder, const QString& file) const
{
    return m_poll->isActive() && m_folder == folder && m_file == file;
}

void GameLogWaiter::look()
{
    if (!m_poll->isActive())
        return;
    const QString folder = m_folder;
    const QString file = m_file;
    // The exact name only: looking through the whole folder at every poll
    // would cost too much in a folder of many thousands of games.
    const QString log = GameLogParser::logPathFor(PathCase::join(folder, file));
    const QFileInfo info(log);
    if (!log.isEmpty() && info.isFile() && info.size() > 0) {
        // The game may still be writing: the log counts once it has looked
        // the same for a poll's time.
        if (info.size() != m_size || info.lastModified() != m_modified) {
            m_size = info.size();
            m_modified = info.lastModified();
            m_unchanged.start();
        } else if (m_unchanged.elapsed() >= m_pollMs) {
            stop();
            emit arrived(folder, file, log);
            return;
        }
    }
    if (m_started.elapsed() >= m_timeoutMs) {
        stop();
        emit timedOut(folder, file);
    }
}
