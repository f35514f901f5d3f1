// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/PlatformFiles.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

} // namespace PlatformFiles
