#include "installs/core/InstallChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

namespace {

const QString kKindKey = QStringLiteral("install/kind");
const QString kUserFolderKey = QStringLiteral("install/userFolder");
const QString kPrefixKey = QStringLiteral("install/winePrefix");

} // namespace

std::optional<GameInstall> InstallChoice::remembered(const QSettings& settings)
{
    const auto kind = GameInstall::kindFromWord(settings.value(kKindKey).toString());
    const QString folder = settings.value(kUserFolderKey).toString();
    if (!kind || folder.isEmpty() || !QFileInfo(folder).isDir())
        return std::nullopt;
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

InstallChoice::Outcome InstallChoice::decide(const FinderSetup& setup, const QSettings& settings)
{
    Outcome outcome;
    if (InstallFinder::isUserFolder(setup.programFolder)) {
        outcome.install = GameInstall::make(GameInstall::Kind::Here, setup.programFolder);
        return outcome;
    }
    if (const auto last = remembered(settings)) {
        outcome.install = *last;
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
