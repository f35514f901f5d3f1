// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The windows of the program, by the names they are registered and found
// under (each window's objectName).
namespace WindowNames {
inline const QString Splash = QStringLiteral("frmSplash");
inline const QString MainMenu = QStringLiteral("frmStart");
inline const QString Loading = QStringLiteral("frmLoading");
inline const QString Games = QStringLiteral("Form5");
inline const QString GamesTransfer = QStringLiteral("Form6");
inline const QString Maps = QStringLiteral("frmMapView");
inline const QString Programs = QStringLiteral("frmPrograms");
inline const QString Sounds = QStringLiteral("AudioRecorder");
inline const QString Schemes = QStringLiteral("frmSchemes");
} // namespace WindowNames
