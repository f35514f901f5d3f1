// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replays/core/ReplayReader.h"

#include <QByteArray>
#include <QString>

// Keeping what a replay holds: its map as a file the game reads from
// SavedLevels, its scheme as a file of Schemes. The files are written byte
// for byte as the replay stores them, named after the replay.
namespace ReplayKeep {

// The map's file name: "<replay name>.png" for a colour map, ".LEV" for a
// map generated from a seed, ".BIT" for a monochrome map; "" when the replay
// stores no map the game could read from a file (an unknown kind, or a map
// cut short by the end of the file).
QString mapFileName(const ReplayInfo& info, const QString& replayFile);

// "<replay name>.wsc"; "" when the replay stores no scheme.
QString schemeFileName(const ReplayInfo& info, const QString& replayFile);

// Why the map or the scheme cannot be saved, in words; "" when it can.
QString whyNoMap(const ReplayInfo& info);
QString whyNoScheme(const ReplayInfo& info);

// Writes `bytes` as `fileName` in `folder` (created when missing), replacing
// a file of that name, through a temporary file. A name that would lead out
// of the folder is refused. False with the reason in `error`.
bool write(const QString& folder, const QString& fileName, const QByteArray& bytes, QString* error);

} // namespace ReplayKeep
