// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamesSettings.h"

#include "common/core/AppInfo.h"
#include "games/core/GameDateFormatter.h"

#include <QSettings>

namespace {

// ~/.config/<organisation>/Games.conf on Linux, the registry on Windows.
const QString application = QStringLiteral("Games");
const char* const dateFormatKey = "Grid/DateFormat";

} // namespace

int GamesSettings::dateFormat()
{
    bool ok = false;
    const QSettings settings(QSettings::UserScope, AppInfo::organisation(), application);
    const int value = settings.value(QLatin1String(dateFormatKey), 0).toInt(&ok);
    return ok && value >= 0 && value < GameDateFormatter::formatCount ? value : 0;
}

void GamesSettings::setDateFormat(int formatIndex)
{
    QSettings settings(QSettings::UserScope, AppInfo::organisation(), application);
    settings.setValue(QLatin1String(dateFormatKey), formatIndex);
}
