#include "shell/core/TempGamesList.h"

#include "common/core/PathCase.h"

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
        if (QFile::remove(PathCase::join(m_folder, name)))
            ++deleted;
    }
    return deleted;
}

bool TempGamesList::removeFolder() const
{
    return !m_folder.isEmpty() && QDir().rmdir(m_folder);
}
