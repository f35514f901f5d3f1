// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapFolder.h"

#include "common/core/PathCase.h"

#include <QFileInfo>

QString MapFolder::parentOf(const QString& relative)
{
    const int cut = relative.lastIndexOf(QLatin1Char('/'));
    const QString up = cut < 0 ? QString() : relative.left(cut);
    return up.isEmpty() ? QStringLiteral("/") : up;
}

void MapFolder::enter(const QString& name)
{
    m_trail.append(name);
    m_relative = isRoot() ? QLatin1Char('/') + name : m_relative + QLatin1Char('/') + name;
}

void MapFolder::enter(const QString& mapsRoot, const QString& name)
{
    const QString target = QFileInfo(itemPath(mapsRoot, name)).canonicalFilePath();
    MapFolder way = *this;
    while (!target.isEmpty()) {
        if (QFileInfo(way.path(mapsRoot)).canonicalFilePath() == target) {
            *this = way;
            return;
        }
        if (way.isRoot())
            break;
        way.goUp();
    }
    enter(name);
}

void MapFolder::goUp()
{
    if (isRoot())
        return;
    m_relative = parentOf(m_relative);
    if (!m_trail.isEmpty())
        m_trail.removeLast();
}

QString MapFolder::path(const QString& mapsRoot) const
{
    if (isRoot())
        return mapsRoot.endsWith(QLatin1Char('/')) ? mapsRoot : mapsRoot + QLatin1Char('/');
    return PathCase::join(mapsRoot, m_relative.mid(1));
}

QString MapFolder::itemPath(const QString& mapsRoot, const QString& name) const
{
    return PathCase::join(path(mapsRoot), name);
}

QString MapFolder::viewingCaption() const
{
    if (m_trail.isEmpty())
        return QStringLiteral("Viewing: Root Folder");
    return QStringLiteral("Viewing: ") + m_trail.last() + QStringLiteral(" Folder");
}
