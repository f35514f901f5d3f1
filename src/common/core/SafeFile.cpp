// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/SafeFile.h"

#include "common/core/FileSystem.h"
#include "common/core/OutsideFile.h"
#include "common/core/PathContainment.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace FileOps {

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

QString withSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

SafeFile::SafeFile(const QString& destination)
    : m_destination(destination)
{
}

SafeFile::~SafeFile()
{
    cancel();
}

void SafeFile::setPermissions(QFile::Permissions permissions)
{
    m_permissions = permissions;
    m_permissionsSet = true;
}

bool SafeFile::fail(const QString& reason)
{
    // The temporary file stays until commit() or cancel(), so that the
    // device can still be asked where it stands; it is never committed.
    m_error = reason;
    m_failed = true;
    return false;
}

bool SafeFile::open()
{
    const QFileInfo target(m_destination);
    if (target.fileName().isEmpty())
        return fail(QStringLiteral("%1 is not a file name").arg(QDir::toNativeSeparators(m_destination)));
    // Hidden, so that no listing shows a file still being written; cut short
    // so that the longest name still leaves room for the random part.
    m_file = std::make_unique<QTemporaryFile>(withSeparator(target.path()) + QLatin1Char('.') +
                                              target.fileName().left(180) + QStringLiteral(".XXXXXX"));
    if (!m_file->open()) {
        fail(m_file->errorString());
        m_file.reset();
        return false;
    }
    QFile::Permissions permissions = m_permissions;
    if (!m_permissionsSet) {
        permissions = target.exists() ? target.permissions()
                                      : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    }
    m_file->setPermissions(permissions | QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

QFile& SafeFile::device()
{
    return m_file ? *m_file : m_none;
}

bool SafeFile::write(const char* data, qint64 size)
{
    if (!m_file || !m_file->isOpen())
        return fail(QStringLiteral("the file is not open"));
    if (fileSystem().write(*m_file, data, size) != size) {
        return fail(m_file->error() != QFileDevice::NoError ? m_file->errorString()
                                                            : QStringLiteral("the disk is full"));
    }
    return true;
}

bool SafeFile::commit()
{
    if (m_failed || !m_file || !m_file->isOpen()) {
        cancel();
        return m_failed ? false : fail(QStringLiteral("the file is not open"));
    }
    if (m_synced && !fileSystem().sync(*m_file)) {
        fail(m_file->error() != QFileDevice::NoError ? m_file->errorString()
                                                     : QStringLiteral("the file could not be saved to the disk"));
        cancel();
        return false;
    }
    m_file->close();
    if (!fileSystem().rename(m_file->fileName(), m_destination)) {
        fail(QStringLiteral("the finished file could not be given the name %1")
                 .arg(QDir::toNativeSeparators(m_destination)));
        cancel();
        return false;
    }
    if (m_synced)
        syncFolder(QFileInfo(m_destination).path());
    m_file->setAutoRemove(false);
    m_file.reset();
    return true;
}

void SafeFile::cancel()
{
    // The temporary file goes straight away, not through fileSystem(): a
    // failed step must never leave a partial file behind.
    if (m_file)
        m_file->remove();
    m_file.reset();
}

bool writeReplacing(const QString& destination, const QByteArray& data, QString* error)
{
    SafeFile out(destination);
    if (!out.open() || !out.write(data) || !out.commit())
        return fail(error, out.errorString());
    return true;
}

bool copyReplacing(const QString& source, const QString& destination, QString* error)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        return fail(error, QStringLiteral("the file %1 does not exist").arg(QDir::toNativeSeparators(source)));
    if (sameFile(source, destination))
        return true;

    // Checked again as it is opened: a name swapped for a FIFO meanwhile
    // must not hold the copy up.
    QFile in;
    QString refused;
    if (!OutsideFile::open(source, in, &refused))
        return fail(error, refused);
    SafeFile out(destination);
    if (!out.open())
        return fail(error, out.errorString());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            return fail(error, in.errorString());
        if (n == 0)
            break;
        if (!out.write(buffer.constData(), n))
            return fail(error, out.errorString());
        copied += n;
    }
    if (copied != sourceInfo.size())
        return fail(error, QStringLiteral("the file changed while it was copied"));
    if (!out.commit())
        return fail(error, out.errorString());
    return true;
}

bool moveReplacing(const QString& source, const QString& destination, QString* error)
{
    if (sameFile(source, destination))
        return fail(error, QStringLiteral("the file is already there"));
    if (!copyReplacing(source, destination, error))
        return false;
    // The copy is complete and on the disk: only now may the original go.
    if (!remove(source))
        return fail(error, QStringLiteral("the copy was made, but the original could not be deleted"));
    return true;
}

} // namespace FileOps
