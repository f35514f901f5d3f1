// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/LoadingWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "shell/ui/LoadingLayout.h"

#include <QFrame>
#include <QPixmap>
#include <QTimer>

LoadingWindow::LoadingWindow(AppContext& context)
    : AppWindow(context)
{
    setWindowTitle(AppInfo::title());
    setFixedSize(LoadingLayout::size);
    setBackground(this, Qt::white);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::Box);
    shape1->setLineWidth(3);
    shape1->setGeometry(LoadingLayout::frame);
    setForeground(shape1, bgrColor(0x000080FF));

    auto* label1 = new QLabel(QStringLiteral("L O A D I N G"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(designFont(QStringLiteral("Verdana"), 16, true));
    label1->setAlignment(Qt::AlignCenter);
    label1->setGeometry(LoadingLayout::caption);
    setForeground(label1, bgrColor(0x000080FF));

    m_armyPicture = new QLabel(this);
    m_armyPicture->setObjectName(QStringLiteral("imgArmy"));
    m_armyPicture->setAlignment(Qt::AlignCenter);
    m_armyPicture->setGeometry(LoadingLayout::army);

    auto makeTimer = [this](const char* name, int interval) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QLatin1String(name));
        timer->setInterval(interval);
        return timer;
    };
    m_reopenTimer = makeTimer("Timer1", context.intervals().reopenGames);
    m_unloadTimer = makeTimer("Timer3", context.intervals().unloadPrograms);
    m_showAfreshTimer = makeTimer("timLoadProg", context.intervals().reopenPrograms);
    connect(m_reopenTimer, &QTimer::timeout, this, &LoadingWindow::reopenTimeout);
    connect(m_unloadTimer, &QTimer::timeout, this, &LoadingWindow::unloadTimeout);
    connect(m_showAfreshTimer, &QTimer::timeout, this, &LoadingWindow::showAfreshTimeout);
}

void LoadingWindow::formLoad()
{
    // Created at the first hand-over, when a manager window is in view.
    context().hideWindow(WindowNames::MainMenu);
    showOwnPicture(m_armyPicture, context().paths(), QStringLiteral("army.bmp"));
}

bool LoadingWindow::formUnload()
{
    // The window stands in for the manager being rebuilt and goes by itself
    // a moment later; closing it would stop the hand-over and leave no window
    // at all, so the close is refused.
    return false;
}

void LoadingWindow::startReload(const QString& windowName)
{
    if (windowName == WindowNames::Games) {
        m_reopenWindow = windowName;
        m_reopenTimer->start();
    } else {
        m_rebuildWindow = windowName;
        m_unloadTimer->start();
    }
}

bool LoadingWindow::reloadPending(const QString& windowName) const
{
    return (m_reopenTimer->isActive() && windowName == m_reopenWindow) ||
           (m_unloadTimer->isActive() && windowName == m_rebuildWindow);
}

void LoadingWindow::reopenTimeout()
{
    context().showWindow(m_reopenWindow);
    hide();
    m_reopenTimer->stop();
}

void LoadingWindow::unloadTimeout()
{
    // The window sees its rebuild pending and leaves this window in view.
    context().unloadWindow(m_rebuildWindow);
    m_showAfreshTimer->start();
}

void LoadingWindow::showAfreshTimeout()
{
    context().showWindow(m_rebuildWindow);
    hide();
    m_unloadTimer->stop();
    m_showAfreshTimer->stop();
}
