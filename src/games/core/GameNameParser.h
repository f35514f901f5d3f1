// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// The game writes the file name of a recorded game in a fixed shape:
//
//     2001-10-09 20.15.33 [Online] Anna, Ben.WAgame
//     date       time     tag      players and teams
//
// The program never opens a recorded game; everything the games grid shows is
// read from this name. The parser tolerates every other name too: what cannot
// be read stays empty, never a value of another name.
//
// Parts are positions in the name passed in (which may carry leading and
// trailing blanks), so that a caller can keep the name alone and cut the parts
// out of it when they are shown.
struct GameNameParts {
    // The first 10 characters of the name without its outer blanks (the date
    // when the name follows the grammar).
    qsizetype dateStart = 0;
    qsizetype dateLength = 0;
    // Characters 11 to 19 of the name without its outer blanks: the blank
    // before the time and the time itself (" 20.15.33").
    qsizetype timeStart = 0;
    qsizetype timeLength = 0;
    // The players and teams: what follows the bracketed tag and its blank, up
    // to the last ".WAgame".
    qsizetype playersStart = 0;
    qsizetype playersLength = 0;
    // "Online", "Offline", "Mission", "Quick", "Training", a round such as
    // "Online Round 3", or empty. Views a static text or the name itself.
    QStringView mode;

    QStringView date(QStringView name) const { return name.mid(dateStart, dateLength); }
    QStringView time(QStringView name) const { return name.mid(timeStart, timeLength); }
    QStringView players(QStringView name) const { return name.mid(playersStart, playersLength); }
};

namespace GameNameParser {

// Reads date, time, mode and players from a recorded game's file name.
//
// A name with a bracketed tag ("[Online]", "[Quick CPU]", "[Online Round 3]")
// takes its mode from the tag alone and its players from what follows the
// tag, so that a player called "MissionMaker" does not turn an online game
// into a mission. A name without a tag is searched as a whole for the mode
// words and its players start at the fixed places of the grammar (29
// characters in, 31 for training games, 37 for rounds); a name without any
// mode word has neither mode nor players.
GameNameParts parse(QStringView name);

// The mode words of `text`, checked in this order, each later match replacing
// an earlier one: Online, Offline, Mission, Quick, Training, then the rounds
// ("Online Round N", "Offline Round N" for any number N; Offline before
// Online and the higher number winning). Letter case counts.
QStringView modeOf(QStringView text);

// The last ".WAgame" of `text` (letter case ignored), or -1.
qsizetype extensionIndex(QStringView text);

} // namespace GameNameParser
