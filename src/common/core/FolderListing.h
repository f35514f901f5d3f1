// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the folder navigator shows for a path: the parent entry "..", the
// sub-folders and the "*.null" files of one folder. Kept apart from the widget
// so that it can be used and tested without a window. Paths use "/".
namespace FolderListing {

struct Result {
    // The folder that was listed, with a trailing "/": the text the path box
    // shows afterwards. For an unreadable folder, the text as given (with the
    // trailing "/").
    QString path;
    // ".." (except at a file-system root), then the folders in case-insensitive
    // name order, each followed by the directory indicator, then the names of
    // the files matching "*.null" (bare).
    QStringList entries;
    // False when the folder does not exist or cannot be read; nothing is listed.
    bool readable = false;
};

// `path` with a trailing "/" appended when it has none.
QString withTrailingSeparator(const QString& path);

// Resolves the "." and ".." components of `path` textually, the way the file
// system of the game's platform does: "/a/Maps/Old/../" -> "/a/Maps/",
// "/a/../b/c" -> "/b/c/". ".." never climbs above a root ("/..", "C:/..",
// "//server/share/.."); leading ".." of a relative path are kept. A path
// without ".." components is returned unchanged.
QString resolveParentRefs(const QString& path);

// Lists `path` (a typed path, with or without a trailing "/"). Folder entries
// carry `indicator` as a suffix. Hidden folders and files are not listed.
Result list(const QString& path, const QString& indicator);

// An entry's text with every occurrence of `indicator` replaced by "/"
// ("Maps^" -> "Maps/"); an empty indicator leaves the text as it is.
QString selectedFile(const QString& entry, const QString& indicator);

} // namespace FolderListing
