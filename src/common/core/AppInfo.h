// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Version.h"

#include <QString>

namespace AppInfo {

// The program's title; message boxes without a title of their own carry it.
inline QString title()
{
    return QStringLiteral("The Quillane");
}

// "Version 1.0.3" for version 1.0.3.
inline QString versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(QUILLANE_VERSION_MAJOR)
        .arg(QUILLANE_VERSION_MINOR)
        .arg(QUILLANE_VERSION_PATCH);
}

// Organisation name used for the per-user settings store.
inline QString organisation()
{
    return QStringLiteral("Quillane");
}

} // namespace AppInfo
