// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// Writes a zip archive in one go. Entries are gathered first; commit() then
// writes the whole archive to a temporary file in the archive's folder,
// flushes it to disk and only then gives it the archive's name. An archive
// that fails or is never committed leaves no file behind, and a file that
// already had the archive's name stays as it was.
//
// Entry names are relative, '/'-separated ("Scheme/Hello.wav"); every folder
// in a name becomes a folder entry of the zip. Names that would reach outside
// the folder an archive is unpacked into are refused.
class ZipWriter {
public:
    explicit ZipWriter(const QString& archivePath);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Adds the file at `sourcePath` under `entryName`. The file is read at
    // commit(); if it cannot be read then, the commit fails.
    bool addFile(const QString& entryName, const QString& sourcePath);
    // Adds `data` under `entryName`.
    bool addData(const QString& entryName, const QByteArray& data);
    // Adds a folder entry (with its parents); a trailing '/' is optional.
    bool addFolder(const QString& folderName);

    // Writes the archive and puts it in place. Call once; false (with
    // errorString()) leaves the disk as it was before.
    bool commit();

    // Called now and then during commit() with the share written so far
    // (0 to 1); returning false stops the commit, which then fails and
    // leaves the disk as it was (wasCancelled() tells why).
    void setProgress(std::function<bool(double written)> progress);
    bool wasCancelled() const;

    // The reason of the last failure, for a message to the user.
    QString errorString() const;

    // True for a relative '/'-separated name without "." or ".." parts,
    // backslashes, drive letters, control characters or empty parts (a
    // single trailing '/' marks a folder).
    static bool isSafeEntryName(const QString& name);

    struct State;

private:
    std::unique_ptr<State> m;
};
