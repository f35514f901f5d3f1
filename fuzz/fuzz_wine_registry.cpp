// SPDX-License-Identifier: GPL-3.0-or-later
// A Wine prefix's user.reg on arbitrary bytes: the game's PATH value is read
// from it, as the search for the game does, and mapped onto the prefix's C:
// drive. Whatever the value, the mapped path never leaves the drive.
//
// Input: the text of user.reg.

#include "FuzzSupport.h"

#include "installs/core/WineRegistry.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString driveC = [] {
        const QString folder = FuzzSupport::scratchFolder() + QStringLiteral("/prefix/drive_c");
        QDir().mkpath(folder + QStringLiteral("/Team17/Worms Armageddon"));
        return folder;
    }();
    const QByteArray userReg = FuzzSupport::bytes(data, size);
    const auto path = WineRegistry::stringValue(userReg, QStringLiteral("Software\\Team17SoftwareLTD\\WormsArmageddon"),
                                                QStringLiteral("PATH"));
    if (!path)
        return 0;
    const QString mapped = DosDevices::toLinuxPath(*path, {{QLatin1Char('c'), driveC}});
    FuzzSupport::require(mapped.isEmpty() || mapped == driveC || mapped.startsWith(driveC + QLatin1Char('/')),
                         "the game's path stays on the drive");
    FuzzSupport::require(!mapped.contains(QChar(0)), "no NUL cuts the path short");
    FuzzSupport::require(mapped.isEmpty() || QDir::cleanPath(mapped) == mapped || mapped == driveC + QLatin1Char('/'),
                         "no .. climbs out of the drive");
    return 0;
}
