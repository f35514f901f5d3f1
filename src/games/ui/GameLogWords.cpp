// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameLogWords.h"

#include "common/core/LatestOnly.h"
#include "common/core/OutsideFile.h"
#include "games/core/GameFileActions.h"
#include "games/core/GameLog.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesTableModel.h"

#include <QFileInfo>

#include <utility>
#include <vector>

namespace {

// A log's teams come first and its winner last: the first and last parts of
// a longer one hold both.
constexpr qint64 kLogCap = qint64(256) << 10;
constexpr size_t kBatch = 200;

struct Game {
    int fill;
    QString folder;
    QString file;
};

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

GameLogWords::GameLogWords(GamesTableModel* games, GamesSearchModel* search, QObject* parent)
    : QObject(parent)
    , m_games(games)
    , m_search(search)
    , m_reader(new LatestOnly(1, this))
{
}

void GameLogWords::start(const QString& gamesRoot)
{
    std::vector<Game> games;
    games.reserve(size_t(m_games->rowCount()));
    for (int row = 0; row < m_games->rowCount(); ++row)
        games.push_back({m_games->fillIndex(row), m_games->folder(row), m_games->fileName(row)});
    GamesSearchModel* search = m_search;
    m_reader->start([games = std::move(games), gamesRoot, search](const LatestOnly::Request& request) {
        std::vector<std::pair<int, QString>> batch;
        auto hand = [&] {
            request.deliver([search, words = std::move(batch)] { search->addLogWords(words); });
            batch.clear();
        };
        for (const Game& game : games) {
            if (request.cancelled())
                return;
            const QString log = GameLogParser::logPathFor(GameFileActions::gamePath(gamesRoot, game.folder, game.file));
            if (log.isEmpty() || !QFileInfo(log).isFile())
                continue;
            QByteArray bytes;
            QString error;
            if (!OutsideFile::readHeadAndTail(log, kLogCap, &bytes, &error))
                continue;
            const QString words = wordsOf(GameLogParser::parse(bytes));
            if (!words.isEmpty())
                batch.emplace_back(game.fill, words);
            if (batch.size() >= kBatch)
                hand();
        }
        if (!batch.empty())
            hand();
    });
}

void GameLogWords::waitForDone()
{
    m_reader->waitForDone();
}
