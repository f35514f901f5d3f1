// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The game was made for a file system that ignores letter case. On a file
// system that does not, these helpers find the entry a path means whatever its
// case ("games" is the Games folder) and match file patterns without regard to
// case. Paths use "/" as separator.
namespace PathCase {

// Joins `relative` (components separated by "/" or "\") onto `base`. Each
// component that exists under another letter case is replaced by the existing
// entry's name (an exact match wins); components that do not exist keep the
// spelling given, so folders made from the result get that spelling.
QString resolve(const QString& base, const QString& relative);

// The existing entry of `folder` named `name` without regard to case, or ""
// when there is none. An exact match wins.
QString findEntry(const QString& folder, const QString& name);

// findEntry for many names of one folder: the folder is listed once, so
// looking up each of N files costs no more than a listing (findEntry alone
// lists the folder for every name not spelled as it stands).
class FolderIndex {
public:
    explicit FolderIndex(const QString& folder);
    // Same answer as findEntry(folder, name) when the index was made.
    QString find(const QString& name) const;

private:
    QSet<QString> m_exact;
    QHash<QString, QString> m_folded; // case-folded name -> first entry so named
};

enum class Order { None, IgnoreCase };

// Names of the plain files of `folder` that match one of `patterns` (wildcards
// such as "*.png") without regard to case. Hidden and system files are not
// listed. An unreadable or missing folder gives an empty list.
QStringList files(const QString& folder, const QStringList& patterns, Order order = Order::IgnoreCase);

// Names of the sub-folders of `folder` (without "." and ".."), hidden ones
// excluded.
QStringList folders(const QString& folder, Order order = Order::IgnoreCase);

// Sorts names without regard to case; names that differ only in case keep a
// stable, case-sensitive order among themselves.
void sortIgnoringCase(QStringList& names);

// `folder` + "/" + `name`, without doubling the separator.
QString join(const QString& folder, const QString& name);

} // namespace PathCase
