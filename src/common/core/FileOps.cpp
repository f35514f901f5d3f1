#include "common/core/FileOps.h"

#include "common/core/OutsideFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <atomic>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace FileOps {

namespace {

// Set by tests only, but read by the thumbnail workers too.
std::atomic<FileSystem*> g_replacement{nullptr};

#ifdef Q_OS_WIN
const Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
const Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

std::filesystem::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Makes a rename in `folder` itself survive a crash, where the system can.
void syncFolder(const QString& folder)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder)
#endif
}

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

// `folder` (absolute and clean) with its links resolved. A folder that does
// not exist yet is resolved through its nearest existing parent, the missing
// rest appended as it is; "" when a link on the way leads nowhere, as what a
// folder made there would become is unknown.
QString resolvedFolder(const QString& folder)
{
    QString head = folder;
    QStringList missing;
    for (;;) {
        const QFileInfo info(head);
        if (info.exists()) {
            QString path = info.canonicalFilePath();
            if (path.isEmpty() || !info.isDir())
                return QString();
            for (auto it = missing.crbegin(); it != missing.crend(); ++it)
                path = withSeparator(path) + *it;
            return path;
        }
        if (info.isSymLink())
            return QString();
        const QString up = info.path();
        if (up == head)
            return QString();
        missing << info.fileName();
        head = up;
    }
}

} // namespace

qint64 FileSystem::write(QFile& file, const char* data, qint64 size)
{
    return file.write(data, size);
}

bool FileSystem::sync(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
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

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

static QString outsideReason(const QString& name)
{
    return QStringLiteral("the name '") + name + QStringLiteral("' leads outside the folder it belongs in");
}

QString outsideMessage(const QString& name)
{
    return QStringLiteral("The name '") + name +
           QStringLiteral("' leads outside the folder it belongs in, so nothing was changed.");
}

QString targetIn(const QString& parent, const QString& name, QString* error)
{
    const auto refuse = [&]() {
        fail(error, outsideReason(name));
        return QString();
    };
    const QString text = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool drive = text.size() >= 2 && text.at(1) == QLatin1Char(':');
    if (text.trimmed().isEmpty() || parent.isEmpty() || QDir::isAbsolutePath(text) || drive)
        return refuse();
    const QString base = QDir::cleanPath(QDir(parent).absolutePath());
    const QString target = QDir::cleanPath(withSeparator(base) + text);
    if (!target.startsWith(withSeparator(base), kPathCase))
        return refuse(); // ".." parts climb out, or lead back to `parent` itself
    // The folder the target lies in must be `parent` or inside it once every
    // link is followed; the target itself, when a link, is what is replaced
    // or deleted, so where it points does not matter.
    const QString resolvedBase = resolvedFolder(base);
    const QString resolvedHome = resolvedFolder(QFileInfo(target).path());
    if (resolvedBase.isEmpty() || resolvedHome.isEmpty())
        return refuse();
    if (resolvedHome.compare(resolvedBase, kPathCase) != 0 &&
        !resolvedHome.startsWith(withSeparator(resolvedBase), kPathCase))
        return refuse();
    return target;
}

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
