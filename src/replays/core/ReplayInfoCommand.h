// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GameLog.h"
#include "replays/core/ReplayReader.h"

#include <QHash>
#include <QJsonObject>
#include <QStringList>

class QTextStream;

// `quillane --replay-info FILE...`: what each recorded game holds, with its
// log when one lies beside it, as one JSON object a line.
namespace ReplayInfoCommand {

// The log as JSON: its header, every team's turns, times, damage, kills and
// weapons, the spectators, the outcome and the awards.
QJsonObject logJson(const GameLog& log);

// Finds the log beside each replay by the game's naming (letter case aside),
// listing each folder at most once however many replays it holds.
class LogFinder {
public:
    // The log's path, or "" when there is none.
    QString logOf(const QString& replayPath);

private:
    QHash<QString, QHash<QString, QString>> m_folders; // folder -> case-folded name -> entry
};

// The object printed for `path`; `status` receives 0 (read as a replay), 1
// (not a replay, or damaged) or 2 (it cannot be read at all).
QJsonObject fileJson(const QString& path, int* status, LogFinder* logs = nullptr);

// Prints one line per file in the order given; returns the highest status
// of any file (2 also when no file is named).
int run(const QStringList& files, QTextStream& out);

} // namespace ReplayInfoCommand
