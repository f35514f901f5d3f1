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

} // namespace FileOps
