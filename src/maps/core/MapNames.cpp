// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapNames.h"

namespace MapNames {

QString displayName(const QString& fileName)
{
    const int dot = fileName.indexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString renameDefault(const QString& fileName)
{
    QString name = fileName;
    name.replace(QStringLiteral(".PNG"), QStringLiteral(".png"));
    name.remove(QStringLiteral(".png"));
    return name;
}

QString fileNameFor(const QString& name)
{
    return name + QStringLiteral(".png");
}

QString parentEntryText(Side side, bool atRoot)
{
    if (!atRoot)
        return QStringLiteral("<<Back");
    return side == Side::Maps ? QStringLiteral("-") : QStringLiteral("[Root]");
}

} // namespace MapNames
