// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/UnshownNames.h"

#include "common/core/PlatformFiles.h"
#include "common/core/Prompter.h"

#include <QDir>

namespace UnshownNames {

int count(const QString& folder, Kind kind)
{
    return int(PlatformFiles::undecodableNames(folder, kind == Kind::Folders).size());
}

QString message(const QString& folder, int count)
{
    return QStringLiteral("%1 in %2 could not be shown: %3 not valid UTF-8. Rename %4 in a file manager to see %4 "
                          "here.")
        .arg(count == 1 ? QStringLiteral("1 file or folder") : QStringLiteral("%1 files or folders").arg(count),
             QDir::toNativeSeparators(QDir::cleanPath(folder)),
             count == 1 ? QStringLiteral("its name is") : QStringLiteral("their names are"),
             count == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

} // namespace UnshownNames

void UnshownNamesNotice::check(const QString& folder, UnshownNames::Kind kind)
{
    if (!m_told.contains(QDir::cleanPath(folder)))
        tell(folder, UnshownNames::count(folder, kind));
}

void UnshownNamesNotice::tell(const QString& folder, int unshown)
{
    const QString key = QDir::cleanPath(folder);
    if (unshown == 0 || m_told.contains(key))
        return;
    m_told.insert(key);
    m_prompter.tell(UnshownNames::message(folder, unshown));
}
