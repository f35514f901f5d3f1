// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSettings;
class QTextStream;
struct FinderSetup;

// `--make-clip`: a clip of a replay made from a terminal, without a window.
namespace ClipCommand {

struct Arguments {
    QString userFolder; // "" for the copy of the game the program would open
    QString replay;
    QString from;
    QString to;
    QString fps;  // "" for the default
    QString size; // "WxH"; "" for the default
    bool bestTurn = false;
    QString out;
};

enum Exit { Made = 0, NotMade = 1, BadArguments = 2 };

// Makes the clip, with progress and the outcome on `err`; needs a running
// QCoreApplication. Returns the exit code.
int run(const Arguments& arguments, const FinderSetup& finder, const QSettings& settings, QTextStream& err);

} // namespace ClipCommand
