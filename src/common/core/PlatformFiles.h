// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QString>

// PLATFORM FILE: the only place of the program that calls the operating
// system's own file functions. Each function has a POSIX path and a Windows
// path (the Windows C runtime, or Qt where it gives the same).
namespace PlatformFiles {

// Flushes the open file `handle` (QFile::handle()) down to the disk.
bool syncHandle(int handle);
// Makes a rename in `folder` itself survive a crash, where the system can.
void syncFolder(const QString& folder);

// The names in `folder`, as the file system stores them, which do not come
// back from Qt's decoding of file names (not in the system's encoding); with
// `foldersOnly`, only those of folders (links to folders included). Names
// starting with a dot are left out. Always empty on Windows, where names are
// UTF-16 and Qt reads them whole.
QByteArrayList undecodableNames(const QString& folder, bool foldersOnly);

} // namespace PlatformFiles
