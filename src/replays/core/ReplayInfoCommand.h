// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameLog.h"
#include "replays/core/ReplayReader.h"

#include <QJsonObject>
#include <QStringList>

class QTextStream;

// `quillane --replay-info FILE...`: what each recorded game holds, with its
// log when one lies beside it, as one JSON object a line.
namespace ReplayInfoCommand {

// The log as JSON: its header, every team's turns, times, damage, kills and
// weapons, the spectators, the outcome and the awards.
QJsonObject logJson(const GameLog& log);

// The object printed for `path`; `status` receives 0 (read as a replay), 1
// (not a replay, or damaged) or 2 (it cannot be read at all).
QJsonObject fileJson(const QString& path, int* status);

// Prints one line per file in the order given; returns the highest status
// of any file (2 also when no file is named).
int run(const QStringList& files, QTextStream& out);

} // namespace ReplayInfoCommand
