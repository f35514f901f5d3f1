// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The list of files in the temporary games folder (Games/Temp), where the
// games window puts copies of games opened for viewing. The main menu keeps
// one and empties the folder when the program ends.
class TempGamesList {
public:
    // Points the list at `folder` and lists its files (hidden and system files
    // are not listed). A missing folder gives an empty list.
    void pointAt(const QString& folder);
    void refresh();

    const QString& folder() const { return m_folder; }
    const QStringList& names() const { return m_names; }

    // Deletes every listed file; a file that cannot be deleted stays.
    // Returns how many were deleted.
    int deleteListed() const;

    // Removes the folder itself; fails (and changes nothing) when it is
    // missing or not empty.
    bool removeFolder() const;

private:
    QString m_folder;
    QStringList m_names;
};
