// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Desktop;
struct GameInstall;
class Launcher;
class Prompter;
class QWidget;
class UserPaths;
struct Intervals;

// What every window may ask of the application: the User folder, the seams to
// the outside world, the other windows, and the hand-overs through the
// loading window.
class AppContext {
public:
    virtual ~AppContext() = default;

    virtual const UserPaths& paths() const = 0;
    // The copy of the game in use: its kind decides how the game is started.
    virtual const GameInstall& install() const = 0;
    virtual Prompter& prompter() = 0;
    virtual Launcher& launcher() = 0;
    virtual Desktop& desktop() = 0;
    virtual const Intervals& intervals() const = 0;

    // Window model. Every window is one instance, created on first use (which
    // runs its load step) and alive until it is unloaded. Windows open each
    // other only by showing one and hiding another.
    //
    // The window registered under `name`, created now if it does not exist;
    // nullptr when no window is registered under that name.
    virtual QWidget* window(const QString& name) = 0;
    // The window if it exists, without creating it.
    virtual QWidget* existingWindow(const QString& name) const = 0;
    // Closes the window, which runs its unload step and destroys it.
    virtual void unloadWindow(const QString& name) = 0;

    void showWindow(const QString& name);
    void hideWindow(const QString& name);

    // Hand-overs: a manager window is rebuilt from scratch through the
    // loading window after a change. reload() shows the loading window, which
    // brings the window named `windowName` back afresh a moment later: the
    // games window is reopened once its caller has closed it; any other
    // window is unloaded by the loading window and then created and shown anew.
    virtual void reload(const QString& windowName) = 0;
    // True from reload(windowName) until that window is back.
    virtual bool reloadPending(const QString& windowName) const = 0;

    // What a manager window does when it closes: the loading window stays in
    // view while the window's own hand-over is pending, otherwise the main
    // menu comes back.
    virtual void returnToMainMenu(const QString& windowName) = 0;

    // Brings the main menu's list of temporary games (cleaned at exit) up to date.
    virtual void refreshTempGamesList() = 0;

    // True while the process ends: windows then close without their unload steps.
    virtual bool ending() const = 0;

    // Called by a window once it has been unloaded.
    virtual void windowUnloaded(QWidget* window) = 0;
};
