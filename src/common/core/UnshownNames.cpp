#include "common/core/UnshownNames.h"

#include "common/core/Prompter.h"

#include <QDir>
#include <QFile>
#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace UnshownNames {

int count(const QString& folder, Kind kind)
{
#ifndef Q_OS_UNIX
    // Other systems keep names in UTF-16, which Qt reads whole.
    Q_UNUSED(folder);
    Q_UNUSED(kind);
    return 0;
#else
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        return 0;
    int unshown = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        // A name that does not come back from its decoded form is one that
        // the decoding could not read.
        if (QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        if (kind == Kind::Folders) {
            // A link to a folder is listed as a folder, so the link is followed.
            struct stat info {};
            const bool isDir = entry->d_type == DT_DIR ||
                               ((entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) &&
                                ::stat((encoded + '/' + name).constData(), &info) == 0 && S_ISDIR(info.st_mode));
            if (!isDir)
                continue;
        }
        ++unshown;
    }
    ::closedir(dir);
    return unshown;
#endif
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
