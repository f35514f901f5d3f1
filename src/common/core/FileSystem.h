// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

// The file system seam of the file operations (see SafeFile.h for how they
// never lose the user's data), and the plain operations that go through it.
namespace FileOps {

// The steps of the file operations that can fail, as one seam: the program
// uses the real file system, and tests put in one that fails on purpose (a
// disk that fills up halfway, a rename or a delete that is refused).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Writes `size` bytes to the open `file`; the count written, or -1.
    virtual qint64 write(QFile& file, const char* data, qint64 size);
    // Flushes what was written to `file` down to the disk.
    virtual bool sync(QFile& file);
    // Gives the file `from` the name `to`, replacing a file (or link) of that
    // name in one step. FileOps::rename() and SafeFile also make the new name
    // itself survive a crash.
    virtual bool rename(const QString& from, const QString& to);
    // Deletes a file, or a link (never what it points to).
    virtual bool remove(const QString& path);
    // Makes the folder `path`; its parent must exist.
    virtual bool makeFolder(const QString& path);
    // Removes the empty folder `path`.
    virtual bool removeFolder(const QString& path);
};

// The file system every operation here goes through.
FileSystem& fileSystem();
// Puts `replacement` in place of the real file system (for tests); nullptr
// puts the real one back. The caller keeps ownership.
void setFileSystem(FileSystem* replacement);

// Deletes a file or a link, through fileSystem().
bool remove(const QString& path);

// Renames `from` to `to` in one step (replacing `to`), through fileSystem().
bool rename(const QString& from, const QString& to);

// Makes the folder `path` and any missing parents, through fileSystem().
bool makePath(const QString& path);

// Deletes the plain files directly inside `folder` (not its sub-folders),
// then removes the folder if it is then empty. True when the folder is gone.
// A folder that is a link to another place is removed as a link only.
bool removeFolderAndFiles(const QString& folder);

// Makes a rename in `folder` itself survive a crash, where the system can.
void syncFolder(const QString& folder);

} // namespace FileOps
