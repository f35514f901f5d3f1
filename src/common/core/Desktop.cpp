// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/Desktop.h"

#include <QDesktopServices>

bool SystemDesktop::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

bool SystemDesktop::openFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
