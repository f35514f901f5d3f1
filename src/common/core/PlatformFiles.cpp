// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/PlatformFiles.h"

#include <QDir>
#include <QFile>

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace PlatformFiles {

namespace {

[[maybe_unused]] bool isAscii(const QByteArray& name)
{
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

bool syncHandle(int handle)
{
#ifdef Q_OS_WIN
    return ::_commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

void syncFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder) // a rename there is kept by the file system itself
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

QByteArrayList undecodableNames(const QString& folder, bool foldersOnly)
{
    QByteArrayList names;
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
    Q_UNUSED(foldersOnly)
#else
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        // A name that does not come back from its decoded form is one that
        // the decoding could not read; plain ASCII always comes back.
        if (isAscii(name) || QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        if (foldersOnly) {
            // A link to a folder is listed as a folder, so the link is followed.
            struct stat info {};
            const bool isDir = entry->d_type == DT_DIR ||
                               ((entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) &&
                                ::stat((encoded + '/' + name).constData(), &info) == 0 && S_ISDIR(info.st_mode));
            if (!isDir)
                continue;
        }
        names << name;
    }
    ::closedir(dir);
#endif
    return names;
}

FolderEntries readFolder(const QString& folder, const QString& fileSuffix)
{
    FolderEntries found;
    if (folder.isEmpty())
        return found;
#ifdef Q_OS_WIN
    const QDir dir(folder);
    const QStringList files = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& name : files) {
        if (name.endsWith(fileSuffix, Qt::CaseInsensitive) && !name.startsWith(QLatin1Char('.')))
            found.files << name;
    }
    found.folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
#else
    const QByteArray encoded = QFile::encodeName(folder) + '/';
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.')
            continue;
        const QByteArray bytes = QByteArray::fromRawData(raw, qsizetype(std::strlen(raw)));
        QString name;
        if (isAscii(bytes)) {
            name = QString::fromLatin1(bytes);
        } else {
            name = QFile::decodeName(bytes);
            if (QFile::encodeName(name) != bytes) {
                ++found.undecodable;
                continue;
            }
        }
        int type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info {};
            if (::stat((encoded + bytes).constData(), &info) != 0)
                continue; // a broken link
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type != DT_REG && type != DT_DIR)
            continue;
        if (type == DT_DIR)
            found.folders << name;
        else if (name.endsWith(fileSuffix, Qt::CaseInsensitive))
            found.files << name;
    }
    ::closedir(dir);
#endif
    return found;
}

OpenResult openRegular(const QString& path, QFile& file, QString* error)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return info.isDir() ? OpenResult::Folder : OpenResult::NotRegular;
#ifdef Q_OS_WIN
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
#else
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return OpenResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? OpenResult::Folder : OpenResult::NotRegular;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file.setFileName(path); // for its messages
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = file.errorString();
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
#endif
}

QList<std::pair<qint64, QByteArray>> processCommandLines()
{
    QList<std::pair<qint64, QByteArray>> processes;
#ifdef Q_OS_LINUX
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid <= 1)
            continue;
        QFile file(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        processes.append({pid, file.read(64 * 1024).replace('\0', ' ')});
    }
#endif
    return processes;
}

void killProcess(qint64 pid)
{
#ifdef Q_OS_WIN
    if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(pid))) {
        ::TerminateProcess(process, 1);
        ::CloseHandle(process);
    }
#else
    ::kill(pid_t(pid), SIGKILL);
#endif
}

} // namespace PlatformFiles
