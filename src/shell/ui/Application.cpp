// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/Application.h"

#include "common/core/Desktop.h"
#include "common/core/Launcher.h"
#include "common/ui/AppWindow.h"
#include "common/ui/QtPrompter.h"
#include "common/ui/WindowNames.h"
#include "programs/core/CatalogueService.h"
#include "shell/ui/LoadingWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "shell/ui/SplashWindow.h"
#include "shell/ui/WindowCatalogue.h"
#include "sounds/ui/SoundKit.h"

#include <QCoreApplication>

namespace {

AppOptions withInstall(AppOptions options)
{
    if (!options.install.isValid())
        options.install = GameInstall::make(GameInstall::Kind::Here, options.userFolder);
    options.userFolder = options.install.userFolder;
    return options;
}

} // namespace

Application::Application(AppOptions options)
    : m_options(withInstall(std::move(options)))
    , m_paths(m_options.userFolder)
{
    if (m_options.prompter) {
        m_prompter = m_options.prompter;
    } else {
        m_ownPrompter = std::make_unique<QtPrompter>();
        m_prompter = m_ownPrompter.get();
    }
    if (m_options.launcher) {
        m_launcher = m_options.launcher;
    } else {
        m_ownLauncher = std::make_unique<ProcessLauncher>();
        m_launcher = m_ownLauncher.get();
    }
    if (m_options.desktop) {
        m_desktop = m_options.desktop;
    } else {
        m_ownDesktop = std::make_unique<SystemDesktop>();
        m_desktop = m_ownDesktop.get();
    }
    if (!m_options.endProcess)
        m_options.endProcess = [] { QCoreApplication::exit(0); };

    registerWindow(WindowNames::Splash, [](AppContext& c) { return new SplashWindow(c); });
    registerWindow(WindowNames::MainMenu, [this](AppContext&) { return new MainMenuWindow(*this); });
    registerWindow(WindowNames::Loading, [](AppContext& c) { return new LoadingWindow(c); });
    if (m_options.registerManagers)
        registerManagerWindows(*this);
}

Application::~Application()
{
    // Windows that still exist go without their unload steps, as at the end
    // of the process.
    m_ending = true;
    for (Entry& entry : m_windows) {
        if (entry.instance)
            delete entry.instance.data();
    }
}

void Application::start()
{
    window(WindowNames::Splash)->show();
}

void Application::registerWindow(const QString& name, Factory factory, Opener beforeOpen)
{
    Entry& entry = m_windows[name];
    entry.factory = std::move(factory);
    entry.opener = std::move(beforeOpen);
}

QWidget* Application::window(const QString& name)
{
    auto it = m_windows.find(name);
    if (it == m_windows.end())
        return nullptr;
    if (!it->instance) {
        QWidget* w = it->factory(*this);
        w->setObjectName(name);
        it->instance = w;
        // The load step runs once the window is registered, so that it may
        // reach itself and other windows through the application.
        if (auto* appWindow = qobject_cast<AppWindow*>(w))
            appWindow->formLoad();
        it = m_windows.find(name);
        if (it == m_windows.end() || !it->instance)
            return nullptr; // the load step unloaded the window again
    }
    return it->instance;
}

QWidget* Application::existingWindow(const QString& name) const
{
    const auto it = m_windows.constFind(name);
    return it == m_windows.constEnd() ? nullptr : it->instance.data();
}

void Application::unloadWindow(const QString& name)
{
    if (QWidget* w = existingWindow(name))
        w->close();
}

void Application::windowUnloaded(QWidget* window)
{
    for (Entry& entry : m_windows) {
        if (entry.instance == window) {
            entry.instance.clear();
            window->hide();
            window->deleteLater();
            return;
        }
    }
}

bool Application::openFromMenu(const QString& name)
{
    const auto it = m_windows.constFind(name);
    if (it == m_windows.constEnd())
        return false;
    if (it->opener && !it->opener(*this))
        return false;
    QWidget* w = window(name);
    if (!w)
        return false;
    w->show();
    return true;
}

SplashWindow* Application::splash()
{
    return static_cast<SplashWindow*>(window(WindowNames::Splash));
}

MainMenuWindow* Application::mainMenu()
{
    return static_cast<MainMenuWindow*>(window(WindowNames::MainMenu));
}

LoadingWindow* Application::loading()
{
    return static_cast<LoadingWindow*>(window(WindowNames::Loading));
}

void Application::reload(const QString& windowName)
{
    LoadingWindow* w = loading();
    w->show();
    w->startReload(windowName);
}

bool Application::reloadPending(const QString& windowName) const
{
    const auto* w = static_cast<const LoadingWindow*>(existingWindow(WindowNames::Loading));
    return w && w->reloadPending(windowName);
}

void Application::returnToMainMenu(const QString& windowName)
{
    showWindow(reloadPending(windowName) ? WindowNames::Loading : WindowNames::MainMenu);
}

void Application::refreshTempGamesList()
{
    mainMenu()->pointTempListAtTempFolder();
}

SoundKit& Application::soundKit()
{
    if (m_options.soundKit)
        return *m_options.soundKit;
    if (!m_ownSoundKit)
        m_ownSoundKit = std::make_unique<SoundKit>(SoundKit::system());
    return *m_ownSoundKit;
}

CatalogueService& Application::catalogue()
{
    if (!m_catalogue)
        m_catalogue = std::make_unique<CatalogueService>(m_paths);
    return *m_catalogue;
}

void Application::switchInstall()
{
    if (m_options.switchInstall)
        m_options.switchInstall();
}

void Application::endProcess()
{
    m_ending = true;
    m_options.endProcess();
}
