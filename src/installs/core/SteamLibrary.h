// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

class QIODevice;

// What Steam's own files say about its libraries and the games in them.
namespace SteamLibrary {

// The library folders listed in the text of a libraryfolders.vdf, in either
// format: numbered blocks holding a "path" key (current), or numbered keys
// whose value is the path (old).
// Each library is listed once, however often the file names it.
QStringList listedLibraries(const QByteArray& libraryFolders);
// The same, read from `device` as a stream: the memory taken is that of the
// libraries listed, not of the file. Reading stops at `deadline`.
QStringList listedLibraries(QIODevice& libraryFolders, QDeadlineTimer deadline = QDeadlineTimer::Forever);

// The folder under steamapps/common that an appmanifest_*.acf text names
// ("installdir"); "" when it names none, or names anything but one plain
// folder name (no separators, no "." or "..").
QString installFolder(const QByteArray& appManifest);

} // namespace SteamLibrary
