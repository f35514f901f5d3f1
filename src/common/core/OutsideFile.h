// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Files that come from outside the program (written by Steam, Wine, the game
// or anybody): they are opened only when they are regular files, after
// following links, so that a FIFO, a device or a link to /dev/zero never
// blocks a read or feeds it without end; and they are read with a cap suited
// to their kind.
namespace OutsideFile {

// Opens `path` for reading into `file` when it is a regular file (links
// followed). The open itself never waits: a FIFO is refused, not waited on.
// On refusal `error` (when given) receives a short reason in plain words.
// With Words::Short, a file that is neither a folder nor a regular file is
// refused as "it is not a regular file", without naming what it may be.
enum class Words { Full, Short };
bool open(const QString& path, QFile& file, QString* error = nullptr, Words words = Words::Full);

// The whole file when it is a regular file of at most `cap` bytes; false
// otherwise, with the reason (a larger file is refused, not
// cut: what it holds past the cap might be what was wanted).
bool read(const QString& path, qint64 cap, QByteArray* out, QString* error = nullptr);

// Up to `cap` bytes of the text file `path` (a regular file, as for read()):
// a longer file gives its beginning up to its last whole line within cap / 2
// bytes and its end from its first whole line within the last cap / 2, so a
// log too long to keep whole keeps how it began and how it ended. False with
// the reason when it cannot be read.
bool readHeadAndTail(const QString& path, qint64 cap, QByteArray* out, QString* error = nullptr);

// The reason given for a file over its cap.
QString tooLargeReason(qint64 cap);

} // namespace OutsideFile
