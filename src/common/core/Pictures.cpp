// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/Pictures.h"

#include "common/core/UserPaths.h"

#include <QStringList>

namespace Pictures {

QImage builtIn(const QString& name)
{
    return QImage(QStringLiteral(":/pics/") + name);
}

QImage userOrBuiltIn(const UserPaths& paths, const QString& name)
{
    QImage image(paths.picture(name));
    if (image.isNull())
        image = builtIn(name);
    return image;
}

QStringList ownNames()
{
    return {QStringLiteral("logo.gif"), QStringLiteral("army.bmp"), QStringLiteral("smirk.bmp"),
            QStringLiteral("black.bmp")};
}

} // namespace Pictures
