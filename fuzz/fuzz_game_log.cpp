// SPDX-License-Identifier: GPL-3.0-or-later
// The game-log parser on arbitrary logs of up to 4 MB, so that lines long
// enough to expose work growing faster than the line are reached.
//
// Input: when the first byte's high bit is set, its low 7 bits give a count
// of 32 KiB blocks, and the byte in the middle of the rest is repeated that
// many blocks' worth in its place (a long run of blanks, brackets or letters
// inside any log); otherwise the rest is the log as it is.

#include "FuzzSupport.h"

#include "games/core/GameLog.h"
#include "replays/core/ReplayInfoCommand.h"

#include <QJsonArray>

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using FuzzSupport::require;
    if (size == 0)
        return 0;
    const QByteArray rest = FuzzSupport::bytes(data + 1, size - 1);
    QByteArray log = rest;
    if (const qsizetype blocks = (data[0] & 0x80) ? data[0] & 0x7F : 0; blocks > 0 && !rest.isEmpty()) {
        const qsizetype middle = rest.size() / 2;
        log = rest.left(middle) + QByteArray(blocks * 32 * 1024, rest[middle]) + rest.mid(middle + 1);
    }
    const GameLog parsed = GameLogParser::parse(log);

    qint64 turnDamage = 0, teamDamage = 0;
    for (const GameLogTurn& turn : parsed.turns) {
        require(turn.team >= 0 && turn.team < parsed.teams.size(), "a turn belongs to a team of the log");
        require(turn.damageDealt >= 0 && turn.kills >= 0, "no negative damage");
        require(turn.weapons.isEmpty() == (turn.firstWeapon < 0), "the first weapon is the first of the weapons");
        turnDamage += turn.damageDealt;
    }
    for (const GameLogTeam& team : parsed.teams)
        teamDamage += team.damageDealt;
    require(turnDamage >= std::numeric_limits<int>::max() || turnDamage == teamDamage,
            "the teams' damage is their turns' damage");
    require(parsed.turns.size() <= parsed.events, "each turn starts with an event line");
    require(parsed.chat.size() == parsed.messages, "every chat line is kept");
    const QJsonObject json = ReplayInfoCommand::logJson(parsed);
    require(json.value(QStringLiteral("teams")).toArray().size() == parsed.teams.size(), "every team is printed");
    return 0;
}
