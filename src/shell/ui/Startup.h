// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "installs/core/InstallFinder.h"
#include "shell/ui/Application.h"
#include "shell/ui/InstallChooser.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QSettings;

// Opens the program on a copy of the game: the one named on the command line,
// or the one InstallChoice decides on, or the one the user picks in the
// chooser. "Switch Game" brings the chooser back; a new choice closes the
// program's windows as on quitting and opens them again on that copy.
//
// The search for copies runs on a thread of its own: the window system is
// never kept waiting for the disks, and the chooser (or the main menu, which
// is disabled meanwhile) comes once the search has ended.
class Startup : public QObject {
    Q_OBJECT
public:
    // `base` holds the seams every application gets; its prompter (or else
    // the real one) also serves the chooser. `settings` keeps the choice.
    Startup(AppOptions base, FinderSetup finder, QSettings& settings);
    ~Startup() override;

    // `userFolder` from the command line wins when it is not empty; it is
    // opened as the copy of the game it belongs to (Steam, Wine, ...).
    void begin(const QString& userFolder = QString());

    // Shows the chooser over the running program.
    void switchInstall();

    Application* application() const { return m_app.get(); }
    InstallChooser* chooser() const { return m_chooser; }

    // True while a search for copies runs.
    bool searching() const { return m_searching; }

private:
    using Found = std::function<void(const QList<GameInstall>& found, const QString& placesLooked)>;
    // Runs the finder off this thread and hands what it found to `then`, on
    // this thread, while this object lives.
    void search(Found then);
    void open(AppOptions options);
    void openInstall(const GameInstall& install);
    void showChooser(const QList<GameInstall>& installs, const QString& placesLooked, const GameInstall& current);
    void chosen(const GameInstall& install);
    void cancelled();
    void programEnded();
    void setMenuEnabled(bool enabled);

    AppOptions m_base;
    FinderSetup m_finder;
    QSettings& m_settings;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter = nullptr;
    std::function<void()> m_endProcess;
    std::unique_ptr<Application> m_app;
    QPointer<InstallChooser> m_chooser;
    GameInstall m_next; // the copy to open once the running program has closed
    bool m_searching = false;
};
