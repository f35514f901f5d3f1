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
    const QString key = QDir::cleanPath(folder);
    if (m_told.contains(key))
        return;
    const int unshown = UnshownNames::count(folder, kind);
    if (unshown == 0)
        return;
    m_told.insert(key);
    m_prompter.tell(UnshownNames::message(folder, unshown));
}
