#include "installs/core/InstallFinder.h"

#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"
#include "installs/core/SteamLibrary.h"
#include "installs/core/WineRegistry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>

namespace {

const QString kGameKey = QStringLiteral("Software\\Team17SoftwareLTD\\WormsArmageddon");
constexpr int kSearchDepth = 5;

QByteArray readSmallFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.read(16 * 1024 * 1024);
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
// never past the deadline.
QString searchDriveC(const QString& prefix, int milliseconds)
{
    const QString driveC = PathCase::join(prefix, QStringLiteral("drive_c"));
    const QString root = QFileInfo(prefix).canonicalFilePath();
    const QString start = QFileInfo(driveC).canonicalFilePath();
    if (root.isEmpty() || start.isEmpty() || !inside(start, root))
        return QString();
    const QDeadlineTimer deadline(milliseconds);
    QSet<QString> seen{start};
    QStringList level{driveC};
    for (int depth = 1; depth <= kSearchDepth && !level.isEmpty(); ++depth) {
        QStringList next;
        for (const QString& folder : level) {
            if (deadline.hasExpired())
                return QString();
            const QFileInfoList children =
                QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
            for (const QFileInfo& child : children) {
                // Windows' own folder is large and never holds the game.
                if (depth == 1 && child.fileName().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0)
                    continue;
                const QString canonical = child.canonicalFilePath();
                if (canonical.isEmpty() || !inside(canonical, root) || seen.contains(canonical))
                    continue;
                seen.insert(canonical);
                const QString path = child.filePath();
                if (isGameFolder(path))
                    return path;
                next << path;
            }
        }
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

QStringList InstallFinder::winePrefixes() const
{
    if (m_setup.windows)
        return {};
    QStringList prefixes;
    if (!m_setup.winePrefixVariable.isEmpty())
        prefixes << QDir::cleanPath(m_setup.winePrefixVariable);
    prefixes << m_setup.home + QStringLiteral("/.wine");
    for (const QString& parent :
         {m_setup.home + QStringLiteral("/Games"), m_setup.home + QStringLiteral("/.local/share/bottles/bottles")}) {
        const QDir dir(parent);
        for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
            prefixes << dir.filePath(name);
    }
    return prefixes;
}

QList<GameInstall> InstallFinder::steamInstalls() const
{
    QList<GameInstall> installs;
    for (const QString& root : steamRoots()) {
        if (!QFileInfo(root).isDir())
            continue;
        QStringList libraries{root};
        QByteArray listing = readSmallFile(PathCase::resolve(root, QStringLiteral("config/libraryfolders.vdf")));
        if (listing.isEmpty())
            listing = readSmallFile(PathCase::resolve(root, QStringLiteral("steamapps/libraryfolders.vdf")));
        libraries << SteamLibrary::listedLibraries(listing);
        for (const QString& library : libraries) {
            const QString steamApps = PathCase::resolve(library, QStringLiteral("steamapps"));
            const QString folder = SteamLibrary::installFolder(
                readSmallFile(PathCase::join(steamApps, QStringLiteral("appmanifest_217200.acf"))));
            if (folder.isEmpty())
                continue;
            const QString game = PathCase::resolve(steamApps, QStringLiteral("common/") + folder);
            if (QFileInfo(game).isDir())
                installs << GameInstall::make(GameInstall::Kind::Steam, PathCase::resolve(game, QStringLiteral("User")),
                                              QString());
        }
    }
    return installs;
}

QString InstallFinder::findInPrefix(const QString& prefix, int searchMilliseconds)
{
    const QByteArray userReg = readSmallFile(prefix + QStringLiteral("/user.reg"));
    if (const auto path = WineRegistry::stringValue(userReg, kGameKey, QStringLiteral("PATH"))) {
        const QString game = DosDevices::toLinuxPath(*path, DosDevices::read(prefix));
        if (!game.isEmpty() && isGameFolder(game))
            return QDir::cleanPath(game);
    }
    return searchDriveC(prefix, searchMilliseconds);
}

QList<GameInstall> InstallFinder::find() const
{
    QList<GameInstall> found;
    if (isUserFolder(m_setup.programFolder))
        found << GameInstall::make(GameInstall::Kind::Here, m_setup.programFolder);
    found << steamInstalls();
    for (const QString& prefix : winePrefixes()) {
        if (!WinePrefix::isPrefix(prefix))
            continue;
        const QString game = findInPrefix(prefix, m_setup.searchMilliseconds);
        if (!game.isEmpty())
            found << GameInstall::make(GameInstall::Kind::Wine, PathCase::resolve(game, QStringLiteral("User")),
                                       prefix);
    }
    if (m_setup.windows && !m_setup.windowsGamePath.isEmpty())
        found << GameInstall::make(GameInstall::Kind::Windows,
                                   QDir::fromNativeSeparators(m_setup.windowsGamePath) + QStringLiteral("/User"));
    for (const QString& folder : m_setup.chosenFolders) {
        if (QFileInfo(folder).isDir())
            found << GameInstall::make(GameInstall::Kind::Folder, folder);
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
