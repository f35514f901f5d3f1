// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether a path given from outside stays inside the folder it was meant for.
namespace FileOps {

// True when both paths exist and name the same file or folder (links and
// trailing separators aside).
bool sameFile(const QString& a, const QString& b);

// The path that `name` (a name or relative path that came from outside the
// program: typed, read from a file or an archive) gives inside `parent`, or
// "" when it would lead anywhere but inside `parent`: an empty name, an
// absolute path or drive, ".." parts climbing out, or a folder on the way
// that is a link to somewhere else. ".." parts and links are resolved first;
// what does not exist yet is checked through the part that does. `parent`
// itself may be the user's own link to another disk: inside means inside the
// place it points to. On refusal `error` receives a short reason.
QString targetIn(const QString& parent, const QString& name, QString* error = nullptr);

// The message for the user about a refused `name`.
QString outsideMessage(const QString& name);

} // namespace FileOps
