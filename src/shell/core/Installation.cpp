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

QString gameProgram(const UserPaths& paths)
{
    return paths.resolveInGameFolder(QStringLiteral("WA.exe"));
}

QString wormKitProgram(const UserPaths& paths)
{
    // Offered only when the exact name exists, so no case lookup is needed.
    return PathCase::join(paths.gameFolder(), QStringLiteral("WormKit.exe"));
}

} // namespace Installation
