// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class QFile;

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

// What one reading of a folder finds, in the order the file system gives.
struct FolderEntries {
    // Plain files and links to them whose names end with the suffix asked
    // for (letter case ignored).
    QStringList files;
    // Folders and links to them.
    QStringList folders;
    // How many names could not be decoded (see undecodableNames); they are
    // in neither list.
    int undecodable = 0;
};

// Reads `folder` once: its files whose names end with `fileSuffix` (such as
// ".WAgame"), its folders, and the count of names it cannot show. Names
// starting with a dot, broken links and special files are left out, as a Qt
// listing without hidden and system entries leaves them out. The entry types
// come from the listing itself; only links and file systems that do not give
// types cost a look at the entry. Empty for a missing or unreadable folder.
FolderEntries readFolder(const QString& folder, const QString& fileSuffix);

// What openRegular() found at a path.
enum class OpenResult { Opened, Failed, Folder, NotRegular };

// Opens `path` into `file` for reading, only when it is a regular file (links
// followed). What is not a regular file is not even opened, and what was
// opened is checked again, as the name may have been swapped for a FIFO in
// between; opening a FIFO does not wait for a writer. On Failed, `error` gets
// the system's reason.
OpenResult openRegular(const QString& path, QFile& file, QString* error);

// The running processes with their command lines (arguments joined by
// blanks), where the system lists them (/proc on Linux); empty elsewhere.
QList<std::pair<qint64, QByteArray>> processCommandLines();
// Ends the process `pid` at once.
void killProcess(qint64 pid);

} // namespace PlatformFiles
