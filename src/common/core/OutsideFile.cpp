// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/OutsideFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

QString notRegular(bool folder)
{
    return folder ? QStringLiteral("it is a folder")
                  : QStringLiteral("it is not a regular file (a pipe, a device or a socket)");
}

} // namespace

bool OutsideFile::open(const QString& path, QFile& file, QString* error)
{
    // What is not a regular file is not even opened: opening some devices
    // does something.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(error, notRegular(info.isDir()));
#ifdef Q_OS_UNIX
    // Checked again on what was opened: the name may have been swapped for a
    // FIFO between the look and the open, and O_NONBLOCK keeps that open from
    // waiting for a writer.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(error, notRegular(S_ISDIR(st.st_mode)));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file.errorString());
    }
    return true;
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    return true;
#endif
}

QString OutsideFile::tooLargeReason(qint64 cap)
{
    if (cap >= (qint64(1) << 20))
        return QStringLiteral("it is larger than %1 MB").arg(cap >> 20);
    return QStringLiteral("it is larger than %1 KB").arg(std::max<qint64>(1, cap >> 10));
}

bool OutsideFile::read(const QString& path, qint64 cap, QByteArray* out, QString* error)
{
    QFile file;
    if (!open(path, file, error))
        return false;
    const qint64 size = file.size();
    if (size > cap)
        return fail(error, tooLargeReason(cap));
    // The size may grow while it is read: never past the cap.
    QByteArray bytes = file.read(cap + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    if (bytes.size() > cap)
        return fail(error, tooLargeReason(cap));
    *out = std::move(bytes);
    return true;
}
