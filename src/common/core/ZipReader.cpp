// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/ZipReader.h"

#include "common/core/OutsideFile.h"
#include "common/core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <utility>
#include <zip.h>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The file-type bits of a Unix mode, kept in the upper half of a zip entry's
// external attributes by the tools of Unix-like systems.
constexpr quint32 kTypeMask = 0170000;
constexpr quint32 kSymbolicLink = 0120000;

QString megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024)) + QStringLiteral(" MB");
}

} // namespace

ZipReader::ZipReader(const QString& archivePath)
    : ZipReader(archivePath, Limits())
{
}

ZipReader::ZipReader(const QString& archivePath, Limits limits)
    : m_path(archivePath)
    , m_limits(limits)
{
}

ZipReader::~ZipReader()
{
    if (m_archive)
        zip_discard(m_archive);
}

bool ZipReader::fail(const QString& reason)
{
    m_error = reason;
    return false;
}

QString ZipReader::archiveName() const
{
    return QDir::toNativeSeparators(m_path);
}

QString ZipReader::unsafeName(const QString& name, QString* clean)
{
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1Char('/')))
        return QStringLiteral("an absolute path");
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':'))
        return QStringLiteral("a drive");
    QStringList kept;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return QStringLiteral("a step up out of its folder (\"..\")");
        if (part != QLatin1String("."))
            kept << part;
    }
    if (kept.isEmpty())
        return QStringLiteral("no name");
    if (clean)
        *clean = kept.join(QLatin1Char('/'));
    return QString();
}

bool ZipReader::open()
{
    m_entries.clear();
    m_indexes.clear();
    m_unpacked = 0;
    if (m_archive)
        zip_discard(std::exchange(m_archive, nullptr));
    if (!QFileInfo(m_path).isFile())
        return fail(QStringLiteral("The file %1 does not exist.").arg(archiveName()));
    // Opened as an outside file (a FIFO is refused, not waited on); libzip
    // reads from that very file.
    QFile file;
    QString refused;
    if (!OutsideFile::open(m_path, file, &refused))
        return fail(QStringLiteral("%1 cannot be read as a zip archive (%2).").arg(archiveName(), refused));
#ifdef Q_OS_WIN
    const int fd = _dup(file.handle());
#else
    const int fd = ::dup(file.handle());
#endif
    int code = fd < 0 ? ZIP_ER_OPEN : 0;
    m_archive = fd < 0 ? nullptr : zip_fdopen(fd, ZIP_CHECKCONS, &code);
    if (!m_archive && fd >= 0) {
#ifdef Q_OS_WIN
        _close(fd);
#else
        ::close(fd);
#endif
    }
    if (!m_archive) {
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
            return fail(QStringLiteral("%1 is not a zip archive.").arg(archiveName()));
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return fail(QStringLiteral("%1 cannot be read as a zip archive (%2).").arg(archiveName(), reason));
    }
    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    if (count > m_limits.maxEntries)
        return fail(QStringLiteral("%1 holds %2 entries; more than %3 are not unpacked.")
                        .arg(archiveName())
                        .arg(count)
                        .arg(m_limits.maxEntries));
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const zip_uint64_t index = zip_uint64_t(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive, index, ZIP_FL_ENC_GUESS, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            return fail(QStringLiteral("%1 has an entry that cannot be read.").arg(archiveName()));
        const QString raw = QString::fromUtf8(stat.name);
        QString clean;
        const QString unsafe = unsafeName(raw, &clean);
        if (!unsafe.isEmpty())
            return fail(QStringLiteral("%1 is refused: its entry \"%2\" has %3.").arg(archiveName(), raw, unsafe));
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_archive, index, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX && ((attributes >> 16) & kTypeMask) == kSymbolicLink)
            return fail(QStringLiteral("%1 is refused: its entry \"%2\" is a link.").arg(archiveName(), raw));
        Entry entry;
        entry.name = clean;
        entry.isFolder = raw.endsWith(QLatin1Char('/')) || raw.endsWith(QLatin1Char('\\'));
        entry.size = (stat.valid & ZIP_STAT_SIZE) ? qint64(qMin<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62)) : 0;
        total += entry.size;
        if (total > m_limits.maxBytes)
            return fail(QStringLiteral("%1 unpacks to more than %2; it is not unpacked.")
                            .arg(archiveName(), megabytes(m_limits.maxBytes)));
        m_entries.append(entry);
        m_indexes.append(index);
    }
    return true;
}

bool ZipReader::extract(int index, const QString& destination)
{
    if (!m_archive || index < 0 || index >= m_entries.size() || m_entries.at(index).isFolder)
        return fail(QStringLiteral("There is no such file in %1.").arg(archiveName()));
    const QString name = m_entries.at(index).name;
    zip_file_t* in = zip_fopen_index(m_archive, m_indexes.at(index), 0);
    if (!in)
        return fail(QStringLiteral("\"%1\" in %2 cannot be unpacked (%3).")
                        .arg(name, archiveName(), QString::fromUtf8(zip_strerror(m_archive))));
    // Unpacked into a temporary file beside the destination that takes its
    // name only when complete and on the disk.
    FileOps::SafeFile out(destination);
    const bool standing = QFileInfo::exists(destination) || QFileInfo(destination).isSymLink();
    if (standing || !out.open()) {
        zip_fclose(in);
        return fail(QStringLiteral("%1 cannot be written (%2).")
                        .arg(QDir::toNativeSeparators(destination),
                             standing ? QStringLiteral("it exists already") : out.errorString()));
    }
    QString problem;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t n = zip_fread(in, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            problem = QStringLiteral("\"%1\" in %2 is damaged (%3).")
                          .arg(name, archiveName(), QString::fromUtf8(zip_file_strerror(in)));
            break;
        }
        if (n == 0)
            break;
        // The headers may lie about the sizes: the bytes really unpacked count.
        m_unpacked += n;
        if (m_unpacked > m_limits.maxBytes) {
            problem = QStringLiteral("%1 unpacks to more than %2; it is not unpacked.")
                          .arg(archiveName(), megabytes(m_limits.maxBytes));
            break;
        }
        if (!out.write(buffer.constData(), n)) {
            problem = QStringLiteral("%1 cannot be written (%2).")
                          .arg(QDir::toNativeSeparators(destination), out.errorString());
            break;
        }
    }
    zip_fclose(in);
    if (problem.isEmpty() && !out.commit())
        problem =
            QStringLiteral("%1 cannot be written (%2).").arg(QDir::toNativeSeparators(destination), out.errorString());
    if (!problem.isEmpty()) {
        out.cancel();
        return fail(problem);
    }
    return true;
}
