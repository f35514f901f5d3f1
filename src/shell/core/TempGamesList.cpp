// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/core/TempGamesList.h"

#include "common/core/FileSystem.h"
#include "common/core/PathCase.h"
#include "common/core/PathContainment.h"

#include <QDir>
#include <QFile>

void TempGamesList::pointAt(const QString& folder)
{
    m_folder = folder;
    refresh();
}

void TempGamesList::refresh()
{
    m_names = PathCase::files(m_folder, {}, PathCase::Order::IgnoreCase);
}

int TempGamesList::deleteListed() const
{
    int deleted = 0;
    for (const QString& name : m_names) {
        const QString path = FileOps::targetIn(m_folder, name);
        if (!path.isEmpty() && FileOps::remove(path))
            ++deleted;
    }
    return deleted;
}

bool TempGamesList::removeFolder() const
{
    return !m_folder.isEmpty() && FileOps::fileSystem().removeFolder(m_folder);
}
