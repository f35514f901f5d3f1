// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/UserPaths.h"

#include "common/core/PathCase.h"

#include <QDir>

const QString UserPaths::GamesFolder = QStringLiteral("Games");
const QString UserPaths::TempGamesFolder = QStringLiteral("Games/Temp");
const QString UserPaths::MapsFolder = QStringLiteral("SavedLevels");
const QString UserPaths::SpeechFolder = QStringLiteral("Speech");
const QString UserPaths::PicturesFolder = QStringLiteral("pics");
const QString UserPaths::CatalogueFile = QStringLiteral("db/OxbelDatabase.mdb");
const QString UserPaths::ProbeFile = QStringLiteral("graves/computer.bmp");

UserPaths::UserPaths(const QString& userFolder)
    : m_userFolder(normalise(userFolder))
    , m_gameFolder(gameFolderOf(m_userFolder))
{
}

QString UserPaths::normalise(const QString& folder)
{
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(QDir(folder).absolutePath()));
    // cleanPath keeps the separator of a root ("/" or "C:/") and drops any other.
    if (path.size() == 2 && path.at(1) == QLatin1Char(':'))
        path += QLatin1Char('/');
    return path;
}

QString UserPaths::gameFolderOf(const QString& userFolder)
{
    const int cut = userFolder.lastIndexOf(QLatin1Char('/'));
    if (cut < 0)
        return QString();
    return userFolder.left(cut + 1);
}

QString UserPaths::resolve(const QString& relative) const
{
    return PathCase::resolve(m_userFolder, relative);
}

QString UserPaths::resolveInGameFolder(const QString& name) const
{
    return PathCase::resolve(m_gameFolder, name);
}

QString UserPaths::inSpeechFolder(const QString& relative) const
{
    return resolve(SpeechFolder + QLatin1Char('/') + relative);
}

QString UserPaths::picture(const QString& name) const
{
    return resolve(PicturesFolder + QLatin1Char('/') + name);
}
