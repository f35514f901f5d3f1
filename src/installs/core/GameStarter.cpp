// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/GameStarter.h"

#include "common/core/UserPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kSteamFlatpak = QStringLiteral("com.valvesoftware.Steam");

QString folderWithoutSlash(const QString& folder)
{
    return QDir::cleanPath(folder);
}

} // namespace

HostSystem HostSystem::current()
{
    HostSystem host;
    host.flatpakInstallations = {QDir::homePath() + QStringLiteral("/.local/share/flatpak"),
                                 QStringLiteral("/var/lib/flatpak")};
#ifdef Q_OS_WIN
    const QSettings steam(QStringLiteral("HKEY_CURRENT_USER\\Software\\Valve\\Steam"), QSettings::NativeFormat);
    host.windowsSteamProgram = QDir::fromNativeSeparators(steam.value(QStringLiteral("SteamExe")).toString());
#endif
    return host;
}

GameStarter::GameStarter(Launcher& launcher, HostSystem host)
    : m_launcher(launcher)
    , m_host(std::move(host))
{
}

QString GameStarter::fileName(Program program)
{
    return program == Program::Game ? QStringLiteral("WA.exe") : QStringLiteral("WormKit.exe");
}

GameStarter::Plan GameStarter::planGame(const GameInstall& install, Program program,
                                        const QStringList& gameArguments) const
{
    Plan plan;
    const QString exe = UserPaths(install.userFolder).resolveInGameFolder(fileName(program));
    if (install.gameFolder.isEmpty() || !QFileInfo(exe).isFile()) {
        plan.problem = Launcher::Result::NotFound;
        return plan;
    }
    if (install.kind == GameInstall::Kind::Steam) {
        // WormKit.exe would start WA.exe outside Steam; the game loads
        // WormKit itself when Steam starts it with /wk.
        QStringList arguments = gameArguments;
        if (program == Program::WormKit)
            arguments.prepend(QStringLiteral("/wk"));
        return throughSteam(arguments);
    }
    const QString workingFolder = folderWithoutSlash(install.gameFolder);
    if (m_host.windows) {
        plan.request = {exe, gameArguments, workingFolder, {}};
        return plan;
    }
    const QString prefix =
        install.winePrefix.isEmpty() ? WinePrefix::containing(install.gameFolder) : install.winePrefix;
    return throughWine(exe, gameArguments, workingFolder, prefix);
}

GameStarter::Plan GameStarter::planTool(const GameInstall& install, const QString& toolFile) const
{
    Plan plan;
    const QFileInfo info(toolFile);
    if (toolFile.isEmpty() || !info.isFile()) {
        plan.problem = Launcher::Result::NotFound;
        return plan;
    }
    const QString file = info.absoluteFilePath();
    const QString workingFolder = info.absolutePath();
    const bool windowsProgram = info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0;
    if (m_host.windows || !windowsProgram) {
        plan.request = {file, {}, workingFolder, {}};
        return plan;
    }
    const QString prefix =
        install.winePrefix.isEmpty() ? WinePrefix::containing(install.gameFolder) : install.winePrefix;
    return throughWine(file, {}, workingFolder, prefix);
}

GameStarter::Plan GameStarter::throughWine(const QString& exe, const QStringList& arguments,
                                           const QString& workingFolder, const QString& prefix) const
{
    Plan plan;
    const QString wine = m_launcher.findProgram(QStringLiteral("wine"));
    if (wine.isEmpty()) {
        plan.problem = Launcher::Result::NoWine;
        return plan;
    }
    plan.request.program = wine;
    plan.request.arguments = QStringList{exe} + arguments;
    plan.request.workingFolder = workingFolder;
    if (!prefix.isEmpty())
        plan.request.environment.insert(QStringLiteral("WINEPREFIX"), QDir::toNativeSeparators(prefix));
    return plan;
}

GameStarter::Plan GameStarter::throughSteam(const QStringList& gameArguments) const
{
    Plan plan;
    const QStringList launch = QStringList{QStringLiteral("-applaunch"), QString::number(steamAppId)} + gameArguments;
    if (m_host.windows) {
        QString steam = m_host.windowsSteamProgram;
        if (steam.isEmpty() || !QFileInfo(steam).isFile())
            steam = m_launcher.findProgram(QStringLiteral("steam"));
        if (steam.isEmpty()) {
            plan.problem = Launcher::Result::NoSteam;
            return plan;
        }
        plan.request = {steam, launch, QString(), {}};
        return plan;
    }
    const QString steam = m_launcher.findProgram(QStringLiteral("steam"));
    if (!steam.isEmpty()) {
        plan.request = {steam, launch, QString(), {}};
        return plan;
    }
    const QString flatpak = m_launcher.findProgram(QStringLiteral("flatpak"));
    bool haveFlatpakSteam = false;
    for (const QString& installation : m_host.flatpakInstallations) {
        if (QFileInfo(installation + QStringLiteral("/app/") + kSteamFlatpak).isDir())
            haveFlatpakSteam = true;
    }
    if (flatpak.isEmpty() || !haveFlatpakSteam) {
        plan.problem = Launcher::Result::NoSteam;
        return plan;
    }
    plan.request = {flatpak, QStringList{QStringLiteral("run"), kSteamFlatpak} + launch, QString(), {}};
    return plan;
}

Launcher::Result GameStarter::run(const Plan& plan)
{
    return plan.ready() ? m_launcher.start(plan.request) : plan.problem;
}

Launcher::Result GameStarter::startGame(const GameInstall& install, Program program, const QStringList& gameArguments)
{
    return run(planGame(install, program, gameArguments));
}

Launcher::Result GameStarter::startTool(const GameInstall& install, const QString& toolFile)
{
    return run(planTool(install, toolFile));
}

QString GameStarter::failureText(Launcher::Result result, const QString& programName)
{
    switch (result) {
    case Launcher::Result::Started:
        return QString();
    case Launcher::Result::NoWine:
        return QStringLiteral("Quillane found ") + programName +
               QStringLiteral(", but cannot start it: Wine is not installed on this system (no 'wine' command on the "
                              "PATH).");
    case Launcher::Result::NoSteam:
        return QStringLiteral("Quillane found ") + programName +
               QStringLiteral(", but cannot start it: this copy of the game belongs to Steam, and Steam is needed to "
                              "start it. Steam is not installed on this system (no 'steam' command on the PATH and no "
                              "Steam Flatpak).");
    case Launcher::Result::NotFound:
    case Launcher::Result::Failed:
        break;
    }
    return QStringLiteral("Quillane cannot find ") + programName +
           QStringLiteral("! Be sure The Quillane is placed in the 'Team17\\Worms Armageddon\\User' folder!");
}
