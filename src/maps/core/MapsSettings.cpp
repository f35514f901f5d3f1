// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapsSettings.h"

#include "common/core/AppInfo.h"

#include <QSettings>

namespace {

// ~/.config/<organisation>/Maps.conf on Linux, the registry on Windows.
const QString application = QStringLiteral("Maps");
const char* const picturesKey = "View/Pictures";

} // namespace

bool MapsSettings::picturesView()
{
    const QSettings settings(QSettings::UserScope, AppInfo::organisation(), application);
    return settings.value(QLatin1String(picturesKey), false).toBool();
}

void MapsSettings::setPicturesView(bool pictures)
{
    QSettings settings(QSettings::UserScope, AppInfo::organisation(), application);
    settings.setValue(QLatin1String(picturesKey), pictures);
}
