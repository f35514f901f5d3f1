// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// One side's place in the map tree: a folder below the maps root (the User
// folder's SavedLevels), kept as a relative path. "/" is the root itself;
// below it the folder names are joined by "/" with no trailing separator
// ("/Caverns/Big"). The trail holds the names of the folders entered, one per
// level, and feeds the "Viewing:" caption.
class MapFolder {
public:
    const QString& relative() const { return m_relative; }
    bool isRoot() const { return m_relative == QLatin1String("/"); }
    const QStringList& trail() const { return m_trail; }

    // Goes down into the sub-folder `name` of the current folder.
    void enter(const QString& name);
    // The same for a folder of the tree under `mapsRoot`, where a link back
    // to the current folder or to one on the way up to the root is not
    // entered again: the way goes back to that folder instead.
    void enter(const QString& mapsRoot, const QString& name);
    // Goes up one level; nothing happens at the root.
    void goUp();

    // The current folder under `mapsRoot`. At the root this is `mapsRoot` with
    // a trailing "/".
    QString path(const QString& mapsRoot) const;
    // A file or sub-folder `name` of the current folder.
    QString itemPath(const QString& mapsRoot, const QString& name) const;

    // "Viewing: Root Folder", or "Viewing: " + the last folder of the trail + " Folder".
    QString viewingCaption() const;

    // Cuts the last folder off a relative folder: "/Caverns/Big" gives
    // "/Caverns", "/Caverns" gives "/".
    static QString parentOf(const QString& relative);

private:
    QString m_relative = QStringLiteral("/");
    QStringList m_trail;
};
