// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/InstallFinder.h"

#include "common/core/OutsideFile.h"
#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"
#include "installs/core/InstallChoice.h"
#include "installs/core/SteamLibrary.h"
#include "installs/core/WineRegistry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>

namespace {

const QString kGameKey = QStringLiteral("Software\\Team17SoftwareLTD\\WormsArmageddon");
constexpr int kSearchDepth = 5;

// An app manifest is a few hundred bytes; anything much larger is not one.
constexpr qint64 kManifestCap = 256 * 1024;

QByteArray readManifest(const QString& path)
{
    QByteArray bytes;
    OutsideFile::read(path, kManifestCap, &bytes);
    return bytes;
}

// The canonical path of an existing folder, "" otherwise.
QString canonicalFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() ? info.canonicalFilePath() : QString();
}

QString canonicalOrClean(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

bool hasEntry(const QString& folder, const QString& name, bool wantFolder)
{
    const QString found = PathCase::findEntry(folder, name);
    if (found.isEmpty())
        return false;
    const QFileInfo info(PathCase::join(folder, found));
    return wantFolder ? info.isDir() : info.isFile();
}

// A game folder: WA.exe with a User folder beside it.
bool isGameFolder(const QString& folder)
{
    return hasEntry(folder, QStringLiteral("WA.exe"), false) && hasEntry(folder, QStringLiteral("User"), true);
}

bool inside(const QString& canonicalPath, const QString& canonicalRoot)
{
    return canonicalPath == canonicalRoot || canonicalPath.startsWith(canonicalRoot + QLatin1Char('/'));
}

// Breadth-first through drive_c, at most kSearchDepth levels, never through a
// link that leads out of the prefix or back to a folder already seen, and
// never past the deadline, which is checked at every entry.
QString searchDriveC(const QString& prefix, QDeadlineTimer deadline)
{
    const QString driveC = PathCase::join(prefix, QStringLiteral("drive_c"));
    const QString root = QFileInfo(prefix).canonicalFilePath();
    const QString start = QFileInfo(driveC).canonicalFilePath();
    if (root.isEmpty() || start.isEmpty() || !inside(start, root))
        return QString();
    QSet<QString> seen{start};
    QStringList level{driveC};
    for (int depth = 1; depth <= kSearchDepth && !level.isEmpty(); ++depth) {
        QStringList next;
        for (const QString& folder : level) {
            QDirIterator children(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
            while (children.hasNext()) {
                if (deadline.hasExpired())
                    return QString();
                const QString path = children.next();
                const QFileInfo child = children.fileInfo();
                // Windows' own folder is large and never holds the game.
                if (depth == 1 && child.fileName().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0)
                    continue;
                const QString canonical = child.canonicalFilePath();
                if (canonical.isEmpty() || !inside(canonical, root) || seen.contains(canonical))
                    continue;
                seen.insert(canonical);
                if (isGameFolder(path))
                    return path;
                next << path;
            }
        }
        // The same order whatever order the folder lists its entries in.
        next.sort();
        level = next;
    }
    return QString();
}

QString shortened(const QString& path, const QString& home)
{
    if (!home.isEmpty() && path.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + path.mid(home.size());
    return QDir::toNativeSeparators(path);
}

} // namespace

FinderSetup FinderSetup::current()
{
    FinderSetup setup;
    setup.home = QDir::homePath();
    setup.programFolder = QCoreApplication::applicationDirPath();
    setup.winePrefixVariable = qEnvironmentVariable("WINEPREFIX");
#ifdef Q_OS_WIN
    const QSettings steam(QStringLiteral("HKEY_CURRENT_USER\\Software\\Valve\\Steam"), QSettings::NativeFormat);
    setup.windowsSteamPath = steam.value(QStringLiteral("SteamPath")).toString();
    const QSettings game(QStringLiteral("HKEY_CURRENT_USER\\") + kGameKey, QSettings::NativeFormat);
    setup.windowsGamePath = game.value(QStringLiteral("PATH")).toString();
#endif
    return setup;
}

InstallFinder::InstallFinder(FinderSetup setup)
    : m_setup(std::move(setup))
{
    m_setup.home = QDir::cleanPath(m_setup.home);
}

bool InstallFinder::isUserFolder(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    const UserPaths paths(folder);
    return QFileInfo(paths.resolve(QStringLiteral("graves/computer.bmp"))).isFile() ||
           QFileInfo(paths.resolveInGameFolder(QStringLiteral("WA.exe"))).isFile();
}

QStringList InstallFinder::steamRoots() const
{
    if (m_setup.windows)
        return m_setup.windowsSteamPath.isEmpty() ? QStringList()
                                                  : QStringList{QDir::fromNativeSeparators(m_setup.windowsSteamPath)};
    const QString& h = m_setup.home;
    return {h + QStringLiteral("/.steam/steam"), h + QStringLiteral("/.local/share/Steam"),
            h + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam"),
            h + QStringLiteral("/snap/steam/common/.local/share/Steam")};
}

QStringList InstallFinder::winePrefixes(QDeadlineTimer deadline) const
{
    if (m_setup.windows)
        return {};
    QStringList candidates;
    if (!m_setup.winePrefixVariable.isEmpty())
        candidates << QDir::cleanPath(m_setup.winePrefixVariable);
    candidates << m_setup.home + QStringLiteral("/.wine");
    for (const QString& parent :
         {m_setup.home + QStringLiteral("/Games"), m_setup.home + QStringLiteral("/.local/share/bottles/bottles")}) {
        QStringList names;
        QDirIterator dir(parent, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        while (dir.hasNext() && !deadline.hasExpired())
            names << dir.next();
        names.sort();
        candidates << names;
    }
    QStringList prefixes;
    QSet<QString> seen;
    for (const QString& prefix : candidates) {
        if (deadline.hasExpired())
            break;
        const QString key = canonicalFolder(prefix);
        if (key.isEmpty() || seen.contains(key))
            continue;
        seen.insert(key);
        prefixes << prefix;
    }
    return prefixes;
}

QList<GameInstall> InstallFinder::steamInstalls(QDeadlineTimer deadline) const
{
    QList<GameInstall> installs;
    QSet<QString> seen; // each library once, however many ways lead to it
    const auto search = [&](const QString& library) {
        const QString key = canonicalFolder(library);
        if (key.isEmpty() || seen.contains(key))
            return;
        seen.insert(key);
        const QString steamApps = PathCase::resolve(library, QStringLiteral("steamapps"));
        const QString folder = SteamLibrary::installFolder(
            readManifest(PathCase::join(steamApps, QStringLiteral("appmanifest_217200.acf"))));
        if (folder.isEmpty())
            return;
        const QString game = PathCase::resolve(steamApps, QStringLiteral("common/") + folder);
        if (QFileInfo(game).isDir())
            installs << GameInstall::make(GameInstall::Kind::Steam, PathCase::resolve(game, QStringLiteral("User")),
                                          QString());
    };
    for (const QString& root : steamRoots()) {
        if (deadline.hasExpired())
            break;
        if (!QFileInfo(root).isDir())
            continue;
        // The root's own library first: a long list of others must not take
        // the time it needs.
        search(root);
        QFile listing;
        if (!OutsideFile::open(PathCase::resolve(root, QStringLiteral("config/libraryfolders.vdf")), listing) &&
            !OutsideFile::open(PathCase::resolve(root, QStringLiteral("steamapps/libraryfolders.vdf")), listing))
            continue;
        for (const QString& library : SteamLibrary::listedLibraries(listing, deadline)) {
            if (deadline.hasExpired())
                break;
            search(library);
        }
    }
    return installs;
}

namespace {

// The game folder that the game's registry key in the prefix's user.reg
// names, when it is one.
QString fromRegistry(const QString& prefix, QDeadlineTimer deadline)
{
    QFile userReg;
    if (!OutsideFile::open(prefix + QStringLiteral("/user.reg"), userReg))
        return QString();
    const auto path = WineRegistry::stringValue(userReg, kGameKey, QStringLiteral("PATH"), deadline);
    if (!path)
        return QString();
    const QString game = DosDevices::toLinuxPath(*path, DosDevices::read(prefix));
    return !game.isEmpty() && isGameFolder(game) ? QDir::cleanPath(game) : QString();
}

} // namespace

QString InstallFinder::findInPrefix(const QString& prefix, QDeadlineTimer deadline)
{
    const QString game = fromRegistry(prefix, deadline);
    return game.isEmpty() ? searchDriveC(prefix, deadline) : game;
}

QList<GameInstall> InstallFinder::find() const
{
    QList<GameInstall> found;
    if (isUserFolder(m_setup.programFolder))
        found << GameInstall::make(GameInstall::Kind::Here, m_setup.programFolder);
    const QDeadlineTimer deadline(m_setup.searchMilliseconds);
    found << steamInstalls(deadline);
    // Every prefix's registry first: a search through one large drive_c must
    // not use up the time the others' quick answers need.
    QStringList prefixes;
    for (const QString& prefix : winePrefixes(deadline)) {
        if (!deadline.hasExpired() && WinePrefix::isPrefix(prefix))
            prefixes << prefix;
    }
    QStringList inPrefixes;
    for (const QString& prefix : prefixes)
        inPrefixes << fromRegistry(prefix, deadline);
    for (qsizetype i = 0; i < prefixes.size(); ++i) {
        if (inPrefixes.at(i).isEmpty())
            inPrefixes[i] = searchDriveC(prefixes.at(i), deadline);
        if (!inPrefixes.at(i).isEmpty())
            found << GameInstall::make(GameInstall::Kind::Wine,
                                       PathCase::resolve(inPrefixes.at(i), QStringLiteral("User")), prefixes.at(i));
    }
    if (m_setup.windows && !m_setup.windowsGamePath.isEmpty())
        found << GameInstall::make(GameInstall::Kind::Windows,
                                   QDir::fromNativeSeparators(m_setup.windowsGamePath) + QStringLiteral("/User"));
    for (const QString& folder : m_setup.chosenFolders) {
        // Found by the user where the search did not look: it still is the
        // Steam or Wine copy that it is.
        if (QFileInfo(folder).isDir())
            found << InstallChoice::classify(folder, {});
    }

    // The same game folder, through a link or spelled otherwise, counts once.
    QList<GameInstall> unique;
    QSet<QString> games;
    for (const GameInstall& install : found) {
        const QString key = canonicalOrClean(install.userFolder);
        if (games.contains(key))
            continue;
        games.insert(key);
        unique << install;
    }
    return unique;
}

QString InstallFinder::placesLooked() const
{
    QStringList steam;
    for (const QString& root : steamRoots())
        steam << shortened(root, m_setup.home);
    QStringList wine;
    if (!m_setup.windows) {
        if (!m_setup.winePrefixVariable.isEmpty())
            wine << shortened(QDir::cleanPath(m_setup.winePrefixVariable), m_setup.home);
        wine << QStringLiteral("~/.wine") << QStringLiteral("~/Games/*")
             << QStringLiteral("~/.local/share/bottles/bottles/*");
    }
    QString sentence = QStringLiteral("No copy of Worms Armageddon was found in the folder of this program");
    if (!steam.isEmpty())
        sentence += QStringLiteral(", in the Steam libraries of ") + steam.join(QStringLiteral(", "));
    if (!wine.isEmpty())
        sentence += QStringLiteral(", in the Wine prefixes ") + wine.join(QStringLiteral(", "));
    if (m_setup.windows)
        sentence += QStringLiteral(", or in the game's entry in the Windows registry");
    return sentence + QStringLiteral(".");
}
