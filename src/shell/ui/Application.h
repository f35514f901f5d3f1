// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Intervals.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "installs/core/GameInstall.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class CatalogueService;
class Desktop;
class Launcher;
class LoadingWindow;
class MainMenuWindow;
class Prompter;
class SplashWindow;
struct SoundKit;

struct AppOptions {
    QString userFolder;
    // The copy of the game in use; when it names no User folder, `userFolder`
    // counts as the program's own folder.
    GameInstall install;
    // The seams; null means the real ones. Not owned.
    Prompter* prompter = nullptr;
    Launcher* launcher = nullptr;
    Desktop* desktop = nullptr;
    // What the sound bank editor records and plays with.
    SoundKit* soundKit = nullptr;
    Intervals intervals;
    // How the process ends once the program is closed; the default leaves the
    // event loop. Tests replace it.
    std::function<void()> endProcess;
    // Brings up the choice of another copy of the game ("Switch Game" in the
    // main menu, which is shown only when this is set).
    std::function<void()> switchInstall;
    // Register the windows of the managers (games, maps, programs, sounds).
    bool registerManagers = true;
};

// Owns the User folder, the seams and every window. A window is created on
// first use under its registered name and lives until it is unloaded.
class Application : public QObject, public AppContext {
    Q_OBJECT
public:
    explicit Application(AppOptions options);
    ~Application() override;

    // Program entry: creates and shows the splash window.
    void start();

    using Factory = std::function<QWidget*(AppContext&)>;
    // Preparation a main menu entry runs before it opens its window; false
    // keeps the main menu as it is.
    using Opener = std::function<bool(AppContext&)>;
    void registerWindow(const QString& name, Factory factory, Opener beforeOpen = {});
    bool isRegistered(const QString& name) const { return m_windows.contains(name); }

    // A main menu entry: prepare, show the window, hide the menu. False when
    // nothing was opened (no such window, or the preparation refused).
    bool openFromMenu(const QString& name);

    SplashWindow* splash();
    MainMenuWindow* mainMenu();
    LoadingWindow* loading();

    bool canSwitchInstall() const { return bool(m_options.switchInstall); }
    void switchInstall();

    // Ends the process at once: the windows close without their unload steps.
    void endProcess();

    // The sound kit of the options; the system's sound hardware, set up on
    // first use, when the options have none.
    SoundKit& soundKit();

    // The programs catalogue and its shared record set, made on first use.
    CatalogueService& catalogue();

    // AppContext
    const UserPaths& paths() const override { return m_paths; }
    const GameInstall& install() const override { return m_options.install; }
    Prompter& prompter() override { return *m_prompter; }
    Launcher& launcher() override { return *m_launcher; }
    Desktop& desktop() override { return *m_desktop; }
    const Intervals& intervals() const override { return m_options.intervals; }
    QWidget* window(const QString& name) override;
    QWidget* existingWindow(const QString& name) const override;
    void unloadWindow(const QString& name) override;
    void reload(const QString& windowName) override;
    bool reloadPending(const QString& windowName) const override;
    void returnToMainMenu(const QString& windowName) override;
    void refreshTempGamesList() override;
    bool ending() const override { return m_ending; }
    void windowUnloaded(QWidget* window) override;

private:
    struct Entry {
        Factory factory;
        Opener opener;
        QPointer<QWidget> instance;
    };

    AppOptions m_options;
    UserPaths m_paths;
    std::unique_ptr<Prompter> m_ownPrompter;
    std::unique_ptr<Launcher> m_ownLauncher;
    std::unique_ptr<Desktop> m_ownDesktop;
    std::unique_ptr<SoundKit> m_ownSoundKit;
    std::unique_ptr<CatalogueService> m_catalogue;
    Prompter* m_prompter = nullptr;
    Launcher* m_launcher = nullptr;
    Desktop* m_desktop = nullptr;
    QHash<QString, Entry> m_windows;
    bool m_ending = false;
};
