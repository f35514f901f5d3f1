// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/navbox/SystemColors.h"

#include <QDir>
#include <QString>
#include <cstdint>

// The saved properties of the folder navigator (FileNavBox): the names under
// which they are stored in a PropertyBag and their defaults. Colours are
// stored as colour codes (0x00BBGGRR or a system colour 0x800000nn).
namespace NavBoxProperties {

inline const QString BackColor = QStringLiteral("BackColor");
inline const QString Enabled = QStringLiteral("Enabled");
inline const QString Font = QStringLiteral("Font");
inline const QString ForeColor = QStringLiteral("ForeColor");
inline const QString List0 = QStringLiteral("List0");
inline const QString ListIndex = QStringLiteral("ListIndex");
inline const QString MousePointer = QStringLiteral("MousePointer");
inline const QString BorderColor = QStringLiteral("BorderColor");
inline const QString SelectedFile = QStringLiteral("SelectedFile");
inline const QString Path = QStringLiteral("Path");
inline const QString DirectoryIndicator = QStringLiteral("DirectoryIndicator");

constexpr std::uint32_t DefaultBackColor = SystemColors::WindowBackground;
constexpr std::uint32_t DefaultBorderColor = SystemColors::InactiveBorder;
constexpr std::uint32_t DefaultForeColor = SystemColors::WindowText;
constexpr bool DefaultEnabled = true;
constexpr int DefaultListIndex = 0;
constexpr int DefaultMousePointer = 0;
inline const QString DefaultDirectoryIndicator = QStringLiteral("^");

// The list colours of a control that has not read saved properties yet.
constexpr std::uint32_t NewListBackColor = 0x00FFFFC0; // light cyan
constexpr std::uint32_t NewListForeColor = 0x000080FF; // orange

// The root of the file system ("/", or "C:/" on Windows): the default path.
inline QString defaultPath()
{
    return QDir::rootPath();
}

} // namespace NavBoxProperties
