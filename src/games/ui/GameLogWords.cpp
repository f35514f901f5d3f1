// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameLogWords.h"

#include "common/core/LatestOnly.h"
#include "common/core/OutsideFile.h"
#include "common/core/PathCase.h"
#include "common/core/PlatformFiles.h"
#include "games/core/GameLog.h"
#include "games/core/GamesSearchModel.h"

#include <QSet>

#include <utility>
#include <vector>

namespace {

// A log's teams come first and its winner last: the first and last parts of
// a longer one hold both.
constexpr qint64 kLogCap = qint64(256) << 10;
constexpr size_t kBatch = 200;

QString wordsOf(const GameLog& log)
{
    QStringList words;
    for (const QList<GameLogTeam>* teams : {&log.teams, &log.spectators}) {
        for (const GameLogTeam& team : *teams)
            words << team.team << team.player;
    }
    words << log.winner;
    words.removeAll(QString());
    return words.join(QLatin1Char(' '));
}

} // namespace

GameLogWords::GameLogWords(GamesSearchModel* search, QObject* parent)
    : QObject(parent)
    , m_search(search)
    , m_reader(new LatestOnly(1, this))
{
    connect(search, &GamesSearchModel::keysBuilt, this, [this] {
        if (m_waiting)
            read();
    });
}

void GameLogWords::start(const QString& gamesRoot, const QList<GameFolderFiles>& folders)
{
    m_reader->cancel();
    m_root = gamesRoot;
    m_folders = folders;
    m_waiting = true;
    // The logs wait for the search's own folding, which the first keystroke
    // needs sooner.
    if (m_search->keysReady())
        read();
}

void GameLogWords::read()
{
    m_waiting = false;
    GamesSearchModel* search = m_search;
    m_reader->start(
        [folders = std::exchange(m_folders, {}), gamesRoot = m_root, search](const LatestOnly::Request& request) {
            std::vector<std::pair<int, QString>> batch;
            auto hand = [&] {
                request.deliver([search, words = std::move(batch)] { search->addLogWords(words); });
                batch.clear();
            };
            int fill = 0; // the games are numbered in the order of the fill
            for (const GameFolderFiles& folder : folders) {
                if (request.cancelled())
                    return;
                if (folder.names.isEmpty())
                    continue;
                // One listing of the folder tells which games have a log, rather
                // than a look at the disk per game.
                const QString path = GamesTree::folderPath(gamesRoot, folder.folder);
                const QStringList listed = PlatformFiles::readFolder(path, QStringLiteral(".log")).files;
                const QSet<QString> logs(listed.begin(), listed.end());
                for (const QString& game : folder.names) {
                    const int index = fill++;
                    if (request.cancelled())
                        return;
                    const QString log = GameLogParser::logPathFor(game);
                    if (log.isEmpty() || !logs.contains(log))
                        continue;
                    QByteArray bytes;
                    QString error;
                    if (!OutsideFile::readHeadAndTail(PathCase::join(path, log), kLogCap, &bytes, &error))
                        continue;
                    const QString words = wordsOf(GameLogParser::parse(bytes));
                    if (!words.isEmpty())
                        batch.emplace_back(index, words);
                    if (batch.size() >= kBatch)
                        hand();
                }
            }
            if (!batch.empty())
                hand();
        });
}

void GameLogWords::waitForDone()
{
    if (m_waiting)
        read();
    m_reader->waitForDone();
}
