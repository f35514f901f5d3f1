// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/ui/Application.h"
#include "support/FakeDesktop.h"
#include "support/FakeLauncher.h"
#include "support/FakePrompter.h"
#include "support/ModalGuard.h"
#include "support/TestFolders.h"

#include <QTest>
#include <memory>

class MainMenuWindow;
struct SoundKit;

// One application over a throw-away User folder, with scripted boxes, a
// recording launcher and desktop, and timers cut short. Prepare `folder`
// first, then call create().
class TestApp {
public:
    TestApp();
    ~TestApp();

    // Intervals the tests run with: short, but in the same order as the real ones.
    static Intervals shortIntervals();

    Application& create(bool registerManagers = true);
    // The options create() uses: the folder, the fakes and the short intervals.
    AppOptions options(bool registerManagers = true);
    Application& app() { return *m_app; }

    // Starts the program and waits until the splash has handed over to the
    // main menu. Returns the main menu, or nullptr when it did not come.
    MainMenuWindow* startToMainMenu();

    // The window registered under `name` if it exists (without creating it).
    QWidget* existing(const QString& name) const;
    bool isShown(const QString& name) const;
    // Waits until that window is shown: the window, or nullptr when it did not come.
    QWidget* waitShown(const QString& name) const;

    TestUserFolder folder;
    FakePrompter prompter;
    FakeLauncher launcher;
    FakeDesktop desktop;
    SoundKit* soundKit = nullptr; // the system's when not set
    ModalGuard modalGuard;
    Intervals intervals = shortIntervals();
    GameInstall install; // the copy of the game in use; unset: the program's own folder
    int processEnded = 0;
    int switchRequests = 0; // "Switch Game" chosen in the main menu

private:
    std::unique_ptr<Application> m_app;
};

// The child widget of `parent` with this objectName, or nullptr.
template <class T = QWidget> T* named(QWidget* parent, const QString& name)
{
    return parent ? parent->findChild<T*>(name) : nullptr;
}

// A left click in the middle of a widget.
void click(QWidget* widget);
// The mouse moved onto a widget (at `pos`, the middle by default).
void hover(QWidget* widget, QPoint pos = QPoint());
