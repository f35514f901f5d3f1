#include "common/core/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileOps {

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

static bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool copyReplacing(const QString& source, const QString& destination, QString* error)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        return fail(error, QStringLiteral("the file %1 does not exist").arg(QDir::toNativeSeparators(source)));
    if (sameFile(source, destination))
        return true;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in.errorString());
    QSaveFile out(destination);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(error, out.errorString());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            out.cancelWriting();
            return fail(error, in.errorString());
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n) {
            out.cancelWriting();
            return fail(error, out.errorString());
        }
        copied += n;
    }
    if (copied != sourceInfo.size()) {
        out.cancelWriting();
        return fail(error, QStringLiteral("the file changed while it was copied"));
    }
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
    // The copy is complete and checked: only now may the original go.
    if (!QFile::remove(source))
        return fail(error, QStringLiteral("the copy was made, but the original could not be deleted"));
    return true;
}

bool removeFolderAndFiles(const QString& folder)
{
    // A folder that is only a link to another place: the link goes, and the
    // files of the place it points to (perhaps outside the User folder) stay.
    const QFileInfo info(folder);
    if (info.isSymLink() || info.isJunction())
        return QFile::remove(folder);
    QDir dir(folder);
    if (!dir.exists())
        return false;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        dir.remove(name);
    return QDir().rmdir(folder);
}

} // namespace FileOps
