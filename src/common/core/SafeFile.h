// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include <memory>

class QTemporaryFile;

// File operations that never lose the user's data: a copy replaces its
// destination only once it is complete, and a move deletes its source only
// after its copy is complete.
//
// Every file written here goes to a temporary file in the destination's own
// folder, is flushed to the disk and only then takes the destination's name,
// so a crash, a full disk or a failed step leaves either the old file or the
// new one, never half of one. A link standing at the destination is replaced
// itself, never written through.
namespace FileOps {

// A file being written in place of `destination` (created or replaced): the
// bytes go to a hidden temporary file beside it, which commit() flushes to
// the disk and renames into place. Destroying it uncommitted, or a failed
// commit, removes the temporary file and leaves the destination as it was.
class SafeFile {
public:
    explicit SafeFile(const QString& destination);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // The permissions the new file gets; by default those of the file it
    // replaces, or read-write for the owner and readable for others.
    void setPermissions(QFile::Permissions permissions);
    // Whether commit() waits until the data and the new name are on the disk
    // (the default). Off for files that are only a cache: after a crash such
    // a file may be missing or empty, but never half old and half new.
    void setSynced(bool synced) { m_synced = synced; }
    bool open();
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& data) { return write(data.constData(), data.size()); }
    // The temporary file, for seeking and telling the position.
    QFile& device();
    bool commit();
    void cancel();
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& reason);

    QString m_destination;
    std::unique_ptr<QTemporaryFile> m_file;
    QFile::Permissions m_permissions;
    bool m_permissionsSet = false;
    bool m_synced = true;
    bool m_failed = false;
    QFile m_none; // what device() gives when nothing is open
    QString m_error;
};

// Writes `data` as the whole of `destination`, through a SafeFile.
bool writeReplacing(const QString& destination, const QByteArray& data, QString* error = nullptr);

// Copies `source` to `destination`, replacing a file of that name there, as
// a SafeFile, so a failed copy leaves the old destination as it was.
// Copying a file onto itself succeeds and changes nothing.
// On failure `error` (when given) receives a short reason.
bool copyReplacing(const QString& source, const QString& destination, QString* error = nullptr);

// Copies `source` to `destination` (replacing it) and then deletes the
// source, but only when the copy succeeded. Moving a file onto itself fails
// and leaves it in place.
bool moveReplacing(const QString& source, const QString& destination, QString* error = nullptr);

} // namespace FileOps
