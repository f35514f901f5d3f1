// SPDX-License-Identifier: GPL-3.0-or-later
#include "replays/core/ReplayInfoCommand.h"

#include "common/core/OutsideFile.h"
#include "common/core/PathCase.h"
#include "games/core/GameLogWatch.h"
#include "games/core/GameNameParser.h"
#include "schemes/core/SchemeJson.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace ReplayInfoCommand {

namespace {

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// "2001-10-09", " 20.15.33" of a name as the game writes them; null for
// anything else.
QJsonValue nameDate(QStringView date)
{
    for (qsizetype i = 0; i < date.size(); ++i) {
        if ((i == 4 || i == 7) ? date[i] != u'-' : !date[i].isDigit())
            return QJsonValue();
    }
    return date.size() == 10 ? QJsonValue(date.toString()) : QJsonValue();
}

QJsonValue nameTime(QStringView time)
{
    time = time.trimmed();
    QString out = time.toString();
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (i == 2 || i == 5) {
            if (out[i] != u'.' && out[i] != u':')
                return QJsonValue();
            out[i] = u':';
        } else if (!out[i].isDigit()) {
            return QJsonValue();
        }
    }
    return out.size() == 8 ? QJsonValue(out) : QJsonValue();
}

QJsonObject nameJson(const QString& fileName)
{
    const GameNameParts parts = GameNameParser::parse(fileName);
    return {{QStringLiteral("date"), nameDate(parts.date(fileName))},
            {QStringLiteral("time"), nameTime(parts.time(fileName))},
            {QStringLiteral("mode"), textOrNull(parts.mode.toString())},
            {QStringLiteral("players"), textOrNull(parts.players(fileName).toString())}};
}

QJsonObject replayJson(const ReplayInfo& info)
{
    QJsonObject map{{QStringLiteral("kind"), ReplayReader::mapKindName(info.mapKind)},
                    {QStringLiteral("width"), QJsonValue()},
                    {QStringLiteral("height"), QJsonValue()},
                    {QStringLiteral("colours"), QJsonValue()},
                    {QStringLiteral("cavern"), QJsonValue()},
                    {QStringLiteral("waterLevel"), QJsonValue()}};
    if (info.mapSize.isValid()) {
        map[QStringLiteral("width")] = info.mapSize.width();
        map[QStringLiteral("height")] = info.mapSize.height();
    }
    if (info.colours >= 0)
        map[QStringLiteral("colours")] = info.colours;
    if (info.hasLevel) {
        map[QStringLiteral("cavern")] = info.level.cavern;
        map[QStringLiteral("waterLevel")] = qint64(info.level.waterLevel);
    }
    QJsonValue started;
    if (info.startedAt)
        started = QDateTime::fromSecsSinceEpoch(*info.startedAt, Qt::UTC).toString(Qt::ISODate);
    return {{QStringLiteral("formatVersion"), info.formatVersion < 0 ? QJsonValue() : QJsonValue(info.formatVersion)},
            {QStringLiteral("startedAt"), started},
            {QStringLiteral("gameType"), ReplayReader::gameTypeName(info.gameType)},
            {QStringLiteral("map"), map},
            {QStringLiteral("scheme"),
             info.scheme.isEmpty() ? QJsonValue() : QJsonValue(SchemeJson::toJson(SchemeReader::read(info.scheme)))}};
}

QString outcomeName(GameLog::Outcome outcome)
{
    switch (outcome) {
    case GameLog::Outcome::RoundWon:
        return QStringLiteral("round");
    case GameLog::Outcome::MatchWon:
        return QStringLiteral("match");
    case GameLog::Outcome::Drawn:
        return QStringLiteral("draw");
    case GameLog::Outcome::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace

QJsonObject logJson(const GameLog& log)
{
    QJsonArray teams;
    for (const GameLogTeam& t : log.teams) {
        QJsonObject weapons;
        for (auto it = t.weapons.cbegin(); it != t.weapons.cend(); ++it)
            weapons.insert(it.key(), it.value());
        teams.append(QJsonObject{{QStringLiteral("colour"), t.colour},
                                 {QStringLiteral("player"), textOrNull(t.player)},
                                 {QStringLiteral("team"), t.team},
                                 {QStringLiteral("local"), t.localPlayer},
                                 {QStringLiteral("host"), t.host},
                                 {QStringLiteral("cpu"), t.cpuLevel},
                                 {QStringLiteral("turns"), t.turns},
                                 {QStringLiteral("turnTime"), textOrNull(t.turnTime)},
                                 {QStringLiteral("retreatTime"), textOrNull(t.retreatTime)},
                                 {QStringLiteral("totalTime"), textOrNull(t.totalTime)},
                                 {QStringLiteral("damageDealt"), t.damageDealt},
                                 {QStringLiteral("kills"), t.kills},
                                 {QStringLiteral("weapons"), weapons}});
    }
    QJsonArray spectators;
    for (const GameLogTeam& s : log.spectators)
        spectators.append(s.player);
    QJsonArray awards;
    for (const GameLogAward& a : log.awards)
        awards.append(QJsonObject{{QStringLiteral("title"), a.title}, {QStringLiteral("value"), a.value}});
    return {{QStringLiteral("gameId"), textOrNull(log.gameId)},
            {QStringLiteral("startedAt"), textOrNull(log.startedAt)},
            {QStringLiteral("engineVersion"), textOrNull(log.engineVersion)},
            {QStringLiteral("teams"), teams},
            {QStringLiteral("spectators"), spectators},
            {QStringLiteral("outcome"), outcomeName(log.outcome)},
            {QStringLiteral("winner"), textOrNull(log.winner)},
            {QStringLiteral("round"), log.round > 0 ? QJsonValue(log.round) : QJsonValue()},
            {QStringLiteral("roundTime"), textOrNull(log.roundTime)},
            {QStringLiteral("totalTime"), textOrNull(log.totalTime)},
            {QStringLiteral("suddenDeathAt"), textOrNull(log.suddenDeathAt)},
            {QStringLiteral("awards"), awards}};
}

QString LogFinder::logOf(const QString& replayPath)
{
    const QFileInfo replay(replayPath);
    const QString name = GameLogParser::logPathFor(replay.fileName());
    if (name.isEmpty())
        return QString();
    const QString folder = replay.absolutePath();
    const QString exact = PathCase::join(folder, name);
    if (QFileInfo::exists(exact))
        return exact;
    auto listed = m_folders.find(folder);
    if (listed == m_folders.end()) {
        QHash<QString, QString> entries;
        for (const QString& entry : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
            entries.insert(entry.toCaseFolded(), entry);
        listed = m_folders.insert(folder, entries);
    }
    const QString entry = listed->value(name.toCaseFolded());
    return entry.isEmpty() ? QString() : PathCase::join(folder, entry);
}

QJsonObject fileJson(const QString& path, int* status, LogFinder* logs)
{
    const QFileInfo file(path);
    QJsonObject out{{QStringLiteral("file"), path},
                    {QStringLiteral("name"), nameJson(file.fileName())},
                    {QStringLiteral("replay"), QJsonValue()},
                    {QStringLiteral("log"), QJsonValue()}};
    ReplayInfo info;
    QString error;
    QJsonArray problems;
    if (!ReplayReader::readFile(path, &info, &error)) {
        problems.append(QStringLiteral("The file cannot be read: %1.").arg(error));
        *status = 2;
    } else {
        if (info.replay)
            out[QStringLiteral("replay")] = replayJson(info);
        for (const QString& problem : info.problems)
            problems.append(problem);
        *status = info.replay && info.problems.isEmpty() ? 0 : 1;
    }
    LogFinder ownFinder;
    const QString logPath = (logs ? logs : &ownFinder)->logOf(path);
    QByteArray bytes;
    if (!logPath.isEmpty() && OutsideFile::readHeadAndTail(logPath, GameLogLoader::maxBytes, &bytes, &error))
        out[QStringLiteral("log")] = logJson(GameLogParser::parse(bytes));
    out[QStringLiteral("problems")] = problems;
    return out;
}

int run(const QStringList& files, QTextStream& out)
{
    if (files.isEmpty()) {
        out << "--replay-info: name the replay files to read.\n";
        out.flush();
        return 2;
    }
    int worst = 0;
    LogFinder logs;
    for (const QString& file : files) {
        int status = 0;
        out << QJsonDocument(fileJson(file, &status, &logs)).toJson(QJsonDocument::Compact) << '\n';
        worst = std::max(worst, status);
    }
    out.flush();
    return worst;
}

} // namespace ReplayInfoCommand
