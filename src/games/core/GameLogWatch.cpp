#include "games/core/GameLogWatch.h"

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

bool GameLogLoader::readCapped(const QString& path, qint64 cap, QByteArray* bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const qint64 size = file.size();
    if (size <= cap) {
        *bytes = file.read(cap);
    } else {
        // The beginning up to its last whole line, and the end from its first.
        QByteArray head = file.read(cap / 2);
        head.truncate(head.lastIndexOf('\n') + 1);
        file.seek(size - cap / 2);
        QByteArray tail = file.read(cap / 2);
        tail.remove(0, tail.indexOf('\n') + 1);
        *bytes = head + tail;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void GameLogLoader::load(const QString& folder, const QString& file)
{
    m_work.start([this, folder, file](const LatestOnly::Request& request) {
        const QString logPath = GameFileActions::logOf(folder, file);
        QByteArray bytes;
        QString error;
        const bool read = !logPath.isEmpty() && readCapped(logPath, maxBytes, &bytes, &error);
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
