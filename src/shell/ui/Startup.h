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
class Startup : public QObject {
    Q_OBJECT
public:
    // `base` holds the seams every application gets; its prompter (or else
    // the real one) also serves the chooser. `settings` keeps the choice.
    Startup(AppOptions base, FinderSetup finder, QSettings& settings);
    ~Startup() override;

    // `userFolder` from the command line wins when it is not empty.
    void begin(const QString& userFolder = QString());

    // Shows the chooser over the running program.
    void switchInstall();

    Application* application() const { return m_app.get(); }
    InstallChooser* chooser() const { return m_chooser; }

private:
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
};
