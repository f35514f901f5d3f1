// SPDX-License-Identifier: GPL-3.0-or-later
#include "replays/core/ReplayKeep.h"

#include "common/core/SafeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The replay's name without its extension; "" for a name that is no plain
// file name.
QString baseName(const QString& replayFile)
{
    const QString name = QFileInfo(replayFile).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String("..") ||
        base.contains(QLatin1Char('/')) || base.contains(QLatin1Char('\\')))
        return QString();
    return base;
}

} // namespace

namespace ReplayKeep {

QString whyNoMap(const ReplayInfo& info)
{
    if (!info.replay)
        return QStringLiteral("This file is not a replay.");
    if (!info.hasMap)
        return QStringLiteral("This replay stores no map.");
    if (info.mapKind == ReplayInfo::MapKind::Unknown)
        return QStringLiteral("This replay stores a map of a kind the game keeps no file of (type %1).")
            .arg(info.mapType);
    // A monochrome map is its settings and then the picture of its land.
    const bool monochromeWithoutLand =
        info.mapKind == ReplayInfo::MapKind::Monochrome && (!info.hasLevel || info.mapData.size() <= 40);
    if (!info.mapComplete || info.mapData.isEmpty() || monochromeWithoutLand)
        return QStringLiteral("The map stored in this replay is incomplete.");
    return QString();
}

QString whyNoScheme(const ReplayInfo& info)
{
    if (!info.replay)
        return QStringLiteral("This file is not a replay.");
    if (info.scheme.isEmpty())
        return QStringLiteral("This replay was played with one of the game's own schemes and stores none.");
    return QString();
}

QString mapFileName(const ReplayInfo& info, const QString& replayFile)
{
    const QString base = baseName(replayFile);
    if (base.isEmpty() || !whyNoMap(info).isEmpty())
        return QString();
    switch (info.mapKind) {
    case ReplayInfo::MapKind::Colour:
        return base + QStringLiteral(".png");
    case ReplayInfo::MapKind::Generated:
        return base + QStringLiteral(".LEV");
    case ReplayInfo::MapKind::Monochrome:
        return base + QStringLiteral(".BIT");
    case ReplayInfo::MapKind::Unknown:
        break;
    }
    return QString();
}

QString schemeFileName(const ReplayInfo& info, const QString& replayFile)
{
    const QString base = baseName(replayFile);
    if (base.isEmpty() || !whyNoScheme(info).isEmpty())
        return QString();
    return base + QStringLiteral(".wsc");
}

bool write(const QString& folder, const QString& fileName, const QByteArray& bytes, QString* error)
{
    if (fileName.isEmpty() || fileName != QFileInfo(fileName).fileName() || fileName.startsWith(QLatin1Char('.'))) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a file name.").arg(fileName);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return FileOps::writeReplacing(QDir(folder).filePath(fileName), bytes, error);
}

} // namespace ReplayKeep
