// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// What the game's own log of a recorded game tells: the game writes it beside
// the replay (the same name with ".log") when asked to. Read leniently: lines
// that are not understood are passed over, and a log from which nothing can
// be read is shown as its text.
struct GameLogTeam {
    QString colour; // "Red", "Blue", ...; "" for a spectator
    QString player; // "" for a CPU team
    QString team;
    bool localPlayer = false;
    bool host = false;
    int cpuLevel = 0;  // 0: played by a person
    QStringList marks; // every bracketed mark, as written

    // What the team did, from the log's events and its "Team time totals".
    int turns = 0;              // the totals' turn count, else the turns started
    QString turnTime;           // "00:08:27.44" as the totals give it; "" when absent
    QString retreatTime;        // likewise
    QString totalTime;          // likewise
    int damageDealt = 0;        // to other teams' worms, over all its turns
    int kills = 0;              // of other teams' worms
    QMap<QString, int> weapons; // weapon fired or used -> how often
};

// One turn, as the log's events tell it. Times are hundredths of a second
// from the start of the game, as the log's "[hh:mm:ss.cc]" stamps give them.
struct GameLogTurn {
    int team = -1;           // index into GameLog::teams
    qint64 start = -1;       // "starts turn"
    qint64 firstWeapon = -1; // the turn's first "fires" or "uses"; -1 when none
    qint64 end = -1;         // the turn's end as the log gives it; -1 when unknown
    int damageDealt = 0;     // to other teams' worms
    int kills = 0;           // of other teams' worms
    QStringList weapons;     // every weapon fired or used, in order
};

// A chat line: "[00:01:02.03] [PLAYER] text".
struct GameLogChat {
    qint64 time = 0; // hundredths of a second from the start
    QString stamp;   // "00:01:02.03" as written
    QString player;
    QString text;
};

struct GameLogAward {
    QString title; // "Worm of the round"
    QString value;
};

struct GameLog {
    enum class Outcome { Unknown, RoundWon, MatchWon, Drawn };

    QString gameId;
    QString startedAt; // "2019-09-16 16:58:33 GMT"
    QString engineVersion;
    QString fileFormatVersion;
    QString exportedWithVersion;
    QList<GameLogTeam> teams;
    QList<GameLogTeam> spectators;
    int events = 0;   // "[hh:mm:ss.cc] ••• ..." lines
    int messages = 0; // chat lines
    int round = 0;    // from "End of round N"
    QString roundTime;
    QString totalTime;
    Outcome outcome = Outcome::Unknown;
    QString winner;
    QList<GameLogAward> awards;
    QList<GameLogTurn> turns;
    QString suddenDeathAt; // "00:20:01.50" as written; "" when it never came
    QList<GameLogChat> chat;
    QString text; // the whole log as text

    // True when the log told anything beyond its text.
    bool hasFacts() const;
};

namespace GameLogParser {

// Reads a log: UTF-8 when it is valid UTF-8, else Windows-1252. Takes time
// in proportion to the log's length, whatever its lines look like.
GameLog parse(const QByteArray& bytes);

// The log's bytes as text by that rule.
QString decode(const QByteArray& bytes);

// The log of a replay by the game's naming: "x.WAgame" -> "x.log" in the same
// folder (letter case of the extension aside); "" for another name.
QString logPathFor(const QString& replayPath);

} // namespace GameLogParser
