// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/OutsideFile.h"

#include "common/core/PlatformFiles.h"

#include <QFile>

#include <algorithm>

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

bool OutsideFile::open(const QString& path, QFile& file, QString* error, Words words)
{
    QString reason;
    switch (PlatformFiles::openRegular(path, file, &reason)) {
    case PlatformFiles::OpenResult::Opened:
        return true;
    case PlatformFiles::OpenResult::Failed:
        return fail(error, reason);
    case PlatformFiles::OpenResult::Folder:
        return fail(error, notRegular(true));
    case PlatformFiles::OpenResult::NotRegular:
        break;
    }
    return fail(error, words == Words::Short ? QStringLiteral("it is not a regular file") : notRegular(false));
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

bool OutsideFile::readHeadAndTail(const QString& path, qint64 cap, QByteArray* out, QString* error)
{
    QFile file;
    if (!open(path, file, error))
        return false;
    const qint64 size = file.size();
    QByteArray bytes;
    if (size <= cap) {
        bytes = file.read(cap);
    } else {
        QByteArray head = file.read(cap / 2);
        head.truncate(head.lastIndexOf('\n') + 1);
        QByteArray tail;
        if (file.seek(size - cap / 2))
            tail = file.read(cap / 2);
        tail.remove(0, tail.indexOf('\n') + 1);
        bytes = head + tail;
    }
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    *out = std::move(bytes);
    return true;
}
