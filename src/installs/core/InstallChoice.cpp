// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/InstallChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

namespace {

const QString kKindKey = QStringLiteral("install/kind");
const QString kUserFolderKey = QStringLiteral("install/userFolder");
const QString kPrefixKey = QStringLiteral("install/winePrefix");

QString canonicalOrClean(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// True when the game folder `game` (canonical) is a folder directly inside a
// Steam library's steamapps/common.
bool inSteamLibrary(const QString& game)
{
    const QStringList parts = game.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.size() >= 3 &&
           parts.at(parts.size() - 3).compare(QLatin1String("steamapps"), Qt::CaseInsensitive) == 0 &&
           parts.at(parts.size() - 2).compare(QLatin1String("common"), Qt::CaseInsensitive) == 0;
}

} // namespace

GameInstall InstallChoice::classify(const QString& userFolder, const QList<GameInstall>& found,
                                    GameInstall::Kind otherwise)
{
    const GameInstall plain = GameInstall::make(otherwise, userFolder);
    const QString game = canonicalOrClean(plain.gameFolder);
    for (const GameInstall& install : found) {
        if (canonicalOrClean(install.gameFolder) == game)
            return GameInstall::make(install.kind, plain.userFolder, install.winePrefix);
    }
    if (inSteamLibrary(game))
        return GameInstall::make(GameInstall::Kind::Steam, plain.userFolder);
    const QString prefix = WinePrefix::containing(game);
    if (!prefix.isEmpty())
        return GameInstall::make(GameInstall::Kind::Wine, plain.userFolder, prefix);
    return plain;
}

std::optional<GameInstall> InstallChoice::remembered(const QSettings& settings)
{
    const auto kind = GameInstall::kindFromWord(settings.value(kKindKey).toString());
    const QString folder = settings.value(kUserFolderKey).toString();
    if (!kind || folder.isEmpty() || !QFileInfo(folder).isDir())
        return std::nullopt;
    if (*kind == GameInstall::Kind::Folder)
        return classify(folder, {});
    return GameInstall::make(*kind, folder, settings.value(kPrefixKey).toString());
}

void InstallChoice::remember(QSettings& settings, const GameInstall& install)
{
    settings.setValue(kKindKey, GameInstall::kindWord(install.kind));
    settings.setValue(kUserFolderKey, install.userFolder);
    settings.setValue(kPrefixKey, install.winePrefix);
    settings.sync();
}

FinderSetup InstallChoice::withRemembered(FinderSetup setup, const QSettings& settings)
{
    const QString folder = settings.value(kUserFolderKey).toString();
    if (settings.value(kKindKey).toString() == GameInstall::kindWord(GameInstall::Kind::Folder) && !folder.isEmpty() &&
        !setup.chosenFolders.contains(folder))
        setup.chosenFolders << folder;
    return setup;
}

std::optional<GameInstall> InstallChoice::withoutSearch(const FinderSetup& setup, const QSettings& settings)
{
    if (InstallFinder::isUserFolder(setup.programFolder))
        return GameInstall::make(GameInstall::Kind::Here, setup.programFolder);
    return remembered(settings);
}

InstallChoice::Outcome InstallChoice::decide(const FinderSetup& setup, const QSettings& settings)
{
    Outcome outcome;
    if (const auto known = withoutSearch(setup, settings)) {
        outcome.install = *known;
        return outcome;
    }
    const InstallFinder finder(withRemembered(setup, settings));
    outcome.offered = finder.find();
    outcome.placesLooked = finder.placesLooked();
    if (outcome.offered.size() == 1)
        outcome.install = outcome.offered.takeFirst();
    return outcome;
}

int InstallChoice::listCommand(const FinderSetup& setup, QTextStream& out, QTextStream& err)
{
    const InstallFinder finder(setup);
    const QList<GameInstall> installs = finder.find();
    for (const GameInstall& install : installs)
        out << GameInstall::kindWord(install.kind) << '\t'
            << QDir::toNativeSeparators(QFileInfo(install.userFolder).absoluteFilePath()) << '\n';
    if (installs.isEmpty())
        err << finder.placesLooked() << '\n';
    out.flush();
    err.flush();
    return 0;
}
