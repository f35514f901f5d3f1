// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "schemes/core/Scheme.h"

#include <QJsonObject>
#include <QStringList>

class QTextStream;

// A scheme as one JSON object, for scripts: the version, the size, every
// option (named in camelCase), the weapons, the super weapons (version 2 and
// 3), the extended options (version 3) and the problems met.
namespace SchemeJson {

// The object of a scheme, without the file's name.
QJsonObject toJson(const Scheme& scheme);

// The command-line report of `files`: one JSON object a line, in the order
// given, each with its "file". Returns 0 when the game reads every file as
// it is, 1 when it does not read one of them, 2 when a file cannot be read
// (its object then has "error" instead of the scheme).
int schemeInfoCommand(const QStringList& files, QTextStream& out);

} // namespace SchemeJson
