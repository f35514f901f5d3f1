// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/core/Installation.h"

#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"

namespace Installation {

QString probePath(const UserPaths& paths)
{
    return paths.probeFile();
}

QImage loadProbe(const UserPaths& paths)
{
    return QImage(probePath(paths));
}

bool hasWormKit(const QString& gameFolder)
{
    const QStringList programs = PathCase::files(gameFolder, {QStringLiteral("*.exe")}, PathCase::Order::None);
    return programs.contains(QStringLiteral("WormKit.exe"), Qt::CaseSensitive);
}

} // namespace Installation
