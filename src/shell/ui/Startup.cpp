// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/Startup.h"

#include "common/ui/QtPrompter.h"
#include "common/ui/WindowNames.h"
#include "installs/core/InstallChoice.h"
#include "shell/ui/InstallChooser.h"
#include "shell/ui/MainMenuWindow.h"

#include <QCoreApplication>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <memory>
#include <utility>

Startup::Startup(AppOptions base, FinderSetup finder, QSettings& settings)
    : m_base(std::move(base))
    , m_finder(std::move(finder))
    , m_settings(settings)
{
    if (m_base.prompter) {
        m_prompter = m_base.prompter;
    } else {
        m_ownPrompter = std::make_unique<QtPrompter>();
        m_prompter = m_ownPrompter.get();
        m_base.prompter = m_prompter;
    }
    m_endProcess = m_base.endProcess ? m_base.endProcess : [] { QCoreApplication::exit(0); };
}

Startup::~Startup()
{
    delete m_chooser.data();
}

void Startup::begin(const QString& userFolder)
{
    if (userFolder.isEmpty()) {
        if (const auto known = InstallChoice::withoutSearch(m_finder, m_settings)) {
            openInstall(*known);
            return;
        }
    }
    search([this, userFolder](const QList<GameInstall>& found, const QString& placesLooked) {
        if (!userFolder.isEmpty())
            openInstall(InstallChoice::classify(userFolder, found, GameInstall::Kind::Here));
        else if (found.size() == 1)
            openInstall(found.first());
        else
            showChooser(found, placesLooked, GameInstall());
    });
}

void Startup::switchInstall()
{
    if (m_chooser) {
        m_chooser->raise();
        m_chooser->activateWindow();
        return;
    }
    if (m_searching)
        return;
    setMenuEnabled(false);
    search([this](const QList<GameInstall>& found, const QString& placesLooked) {
        showChooser(found, placesLooked, m_app ? m_app->install() : GameInstall());
    });
}

void Startup::search(Found then)
{
    struct Result {
        QList<GameInstall> found;
        QString placesLooked;
    };
    const FinderSetup setup = InstallChoice::withRemembered(m_finder, m_settings);
    auto result = std::make_shared<Result>();
    QThread* thread = QThread::create([setup, result] {
        const InstallFinder finder(setup);
        result->found = finder.find();
        result->placesLooked = finder.placesLooked();
    });
    m_searching = true;
    connect(thread, &QThread::finished, this, [this, result, then = std::move(then)] {
        m_searching = false;
        then(result->found, result->placesLooked);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void Startup::open(AppOptions options)
{
    options.endProcess = [this] { programEnded(); };
    options.switchInstall = [this] { switchInstall(); };
    m_app = std::make_unique<Application>(std::move(options));
    m_app->start();
}

void Startup::openInstall(const GameInstall& install)
{
    AppOptions options = m_base;
    options.install = install;
    open(options);
}

void Startup::showChooser(const QList<GameInstall>& installs, const QString& placesLooked, const GameInstall& current)
{
    m_chooser = new InstallChooser(installs, placesLooked, m_finder.home, *m_prompter, current);
    m_chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_chooser, &InstallChooser::chosen, this, &Startup::chosen);
    connect(m_chooser, &InstallChooser::cancelled, this, &Startup::cancelled);
    // The program waits while the user chooses.
    setMenuEnabled(false);
    m_chooser->show();
    m_chooser->activateWindow();
}

void Startup::setMenuEnabled(bool enabled)
{
    if (!m_app)
        return;
    if (QWidget* menu = m_app->existingWindow(WindowNames::MainMenu))
        menu->setEnabled(enabled);
}

void Startup::chosen(const GameInstall& install)
{
    InstallChoice::remember(m_settings, install);
    setMenuEnabled(true);
    if (!m_app) {
        openInstall(install);
        return;
    }
    if (install == m_app->install())
        return;
    // The windows close as on quitting (temporary games removed), then open
    // again on the new copy.
    m_next = install;
    m_app->unloadWindow(WindowNames::MainMenu);
}

void Startup::cancelled()
{
    setMenuEnabled(true);
    if (!m_app)
        m_endProcess(); // nothing to open: the program ends
}

void Startup::programEnded()
{
    if (!m_next.isValid()) {
        m_endProcess();
        return;
    }
    // The old windows go once the call that ended them has returned.
    QTimer::singleShot(0, this, [this] {
        const GameInstall next = std::exchange(m_next, GameInstall());
        m_app.reset();
        openInstall(next);
    });
}
