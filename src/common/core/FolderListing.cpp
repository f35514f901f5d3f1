// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/FolderListing.h"

#include "common/core/PathCase.h"

#include <QDir>
#include <QFileInfo>

namespace FolderListing {

namespace {

const QString kParent = QStringLiteral("..");
const QChar kSeparator = QLatin1Char('/');

// The part of `path` that ".." cannot climb above: "/", "C:/", "//server/share/",
// or "" for a relative path.
QString rootPrefix(const QString& path)
{
    if (path.startsWith(QLatin1String("//"))) {
        // A network share: the server and share names belong to the root.
        int end = path.indexOf(kSeparator, 2);
        if (end >= 0)
            end = path.indexOf(kSeparator, end + 1);
        return end < 0 ? path + kSeparator : path.left(end + 1);
    }
    if (path.startsWith(kSeparator))
        return QString(kSeparator);
    if (path.size() >= 2 && path.at(0).isLetter() && path.at(1) == QLatin1Char(':')) {
        if (path.size() >= 3 && path.at(2) == kSeparator)
            return path.left(3);
        return path.left(2); // a drive-relative path such as "C:Maps"
    }
    return QString();
}

bool hasParentRef(const QString& path)
{
    const QStringList parts = path.split(kSeparator);
    return parts.contains(kParent);
}

} // namespace

QString withTrailingSeparator(const QString& path)
{
    return path.endsWith(kSeparator) ? path : path + kSeparator;
}

QString resolveParentRefs(const QString& path)
{
    const QString text = QDir::fromNativeSeparators(path);
    if (!hasParentRef(text))
        return path;
    const QString root = rootPrefix(text);
    QStringList kept;
    const QStringList parts = text.mid(root.size()).split(kSeparator, Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == kParent) {
            if (!kept.isEmpty() && kept.last() != kParent)
                kept.removeLast();
            else if (root.isEmpty())
                kept << part; // a relative path may start above its folder
            // at a root, ".." stays at the root
            continue;
        }
        kept << part;
    }
    if (kept.isEmpty())
        return root.isEmpty() ? QStringLiteral("./") : root;
    return root + kept.join(kSeparator) + kSeparator;
}

Result list(const QString& path, const QString& indicator)
{
    Result result;
    const QString typed = withTrailingSeparator(path);
    const QString folder = resolveParentRefs(typed);
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) {
        result.path = typed;
        return result;
    }
    result.path = folder;
    result.readable = true;
    if (!QDir(folder).isRoot())
        result.entries << kParent + indicator;
    const QStringList folders = PathCase::folders(folder, PathCase::Order::IgnoreCase);
    for (const QString& name : folders)
        result.entries << name + indicator;
    result.entries << PathCase::files(folder, {QStringLiteral("*.null")}, PathCase::Order::IgnoreCase);
    return result;
}

QString selectedFile(const QString& entry, const QString& indicator)
{
    if (indicator.isEmpty())
        return entry;
    return QString(entry).replace(indicator, QString(kSeparator));
}

} // namespace FolderListing
