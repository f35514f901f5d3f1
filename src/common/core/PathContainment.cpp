// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/PathContainment.h"

#include <QDir>
#include <QFileInfo>

namespace FileOps {

namespace {

#ifdef Q_OS_WIN
const Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
const Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

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

} // namespace FileOps
