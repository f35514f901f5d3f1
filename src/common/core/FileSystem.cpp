// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/FileSystem.h"

#include "common/core/PlatformFiles.h"

#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <filesystem>
#include <system_error>

namespace FileOps {

namespace {

// Set by tests only, but read by the thumbnail workers too.
std::atomic<FileSystem*> g_replacement{nullptr};

std::filesystem::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

void syncFolder(const QString& folder)
{
    PlatformFiles::syncFolder(folder);
}

qint64 FileSystem::write(QFile& file, const char* data, qint64 size)
{
    return file.write(data, size);
}

bool FileSystem::sync(QFile& file)
{
    return file.flush() && PlatformFiles::syncHandle(file.handle());
}

bool FileSystem::rename(const QString& from, const QString& to)
{
    std::error_code failed;
    std::filesystem::rename(nativePath(from), nativePath(to), failed);
    return !failed;
}

bool FileSystem::remove(const QString& path)
{
    return QFile::remove(path);
}

bool FileSystem::makeFolder(const QString& path)
{
    return QDir().mkdir(path);
}

bool FileSystem::removeFolder(const QString& path)
{
    return QDir().rmdir(path);
}

FileSystem& fileSystem()
{
    static FileSystem real;
    FileSystem* replacement = g_replacement.load();
    return replacement ? *replacement : real;
}

void setFileSystem(FileSystem* replacement)
{
    g_replacement = replacement;
}

bool remove(const QString& path)
{
    return fileSystem().remove(path);
}

bool rename(const QString& from, const QString& to)
{
    if (!fileSystem().rename(from, to))
        return false;
    syncFolder(QFileInfo(to).path());
    return true;
}

bool makePath(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists() || info.isSymLink())
        return false;
    const QString up = QFileInfo(QDir::cleanPath(QDir(path).absolutePath())).path();
    if (up != QDir::cleanPath(QDir(path).absolutePath()) && !makePath(up))
        return false;
    return fileSystem().makeFolder(path) || QFileInfo(path).isDir();
}

bool removeFolderAndFiles(const QString& folder)
{
    // A folder that is only a link to another place: the link goes, and the
    // files of the place it points to (perhaps outside the User folder) stay.
    const QFileInfo info(folder);
    if (info.isSymLink() || info.isJunction())
        return remove(folder);
    QDir dir(folder);
    if (!dir.exists())
        return false;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        remove(dir.filePath(name));
    return fileSystem().removeFolder(folder);
}

} // namespace FileOps
