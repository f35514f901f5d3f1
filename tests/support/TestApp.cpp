// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestApp.h"

#include "common/ui/WindowNames.h"
#include "shell/ui/MainMenuWindow.h"

#include <QApplication>
#include <QMouseEvent>

TestApp::TestApp() = default;

TestApp::~TestApp()
{
    m_app.reset();
    // Windows unloaded during the test are deleted later; let that happen now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Intervals TestApp::shortIntervals()
{
    Intervals i;
    i.splash = 40;
    i.shutdownEnd = 30;
    i.tempDeleteRetry = 60;
    i.notice = 60;
    return i;
}

Application& TestApp::create(bool registerManagers)
{
    m_app = std::make_unique<Application>(options(registerManagers));
    return *m_app;
}

AppOptions TestApp::options(bool registerManagers)
{
    AppOptions options;
    options.userFolder = folder.user();
    options.install = install;
    options.prompter = &prompter;
    options.launcher = &launcher;
    options.desktop = &desktop;
    options.soundKit = soundKit;
    options.intervals = intervals;
    options.endProcess = [this] { ++processEnded; };
    options.switchInstall = [this] { ++switchRequests; };
    options.registerManagers = registerManagers;
    return options;
}

MainMenuWindow* TestApp::startToMainMenu()
{
    if (!m_app)
        create();
    m_app->start();
    return static_cast<MainMenuWindow*>(waitShown(WindowNames::MainMenu));
}

bool TestApp::isShown(const QString& name) const
{
    QWidget* w = existing(name);
    return w && w->isVisible();
}

QWidget* TestApp::waitShown(const QString& name) const
{
    return QTest::qWaitFor([&] { return isShown(name); }) ? existing(name) : nullptr;
}

QWidget* TestApp::existing(const QString& name) const
{
    return m_app ? m_app->existingWindow(name) : nullptr;
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void hover(QWidget* widget, QPoint pos)
{
    // Delivered the way the window delivers a move to the widget under the
    // pointer: to the widget, passed on to its parents while none takes it.
    // (QTest::mouseMove only moves the cursor on the offscreen platform.)
    const QPoint local = pos.isNull() ? widget->rect().center() : pos;
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(widget->mapToGlobal(local)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}
