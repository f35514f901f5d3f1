#include "shell/ui/LoadingWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/Pictures.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"

#include <QFrame>
#include <QPixmap>
#include <QTimer>

LoadingWindow::LoadingWindow(AppContext& context)
    : AppWindow(context)
{
    setWindowTitle(AppInfo::title());
    setFixedSize(320, 240);
    setBackground(this, Qt::white);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::Box);
    shape1->setLineWidth(3);
    shape1->setGeometry(8, 8, 304, 224);
    setForeground(shape1, bgrColor(0x000080FF));

    auto* label1 = new QLabel(QStringLiteral("L O A D I N G"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(designFont(QStringLiteral("Verdana"), 16, true));
    label1->setAlignment(Qt::AlignCenter);
    label1->setGeometry(16, 16, 288, 36);
    setForeground(label1, bgrColor(0x000080FF));

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setAlignment(Qt::AlignCenter);
    m_imgArmy->setGeometry(16, 56, 288, 168);

    auto makeTimer = [this](const char* name, int interval) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QLatin1String(name));
        timer->setInterval(interval);
        return timer;
    };
    m_timer1 = makeTimer("Timer1", context.intervals().reopenGames);
    m_timer3 = makeTimer("Timer3", context.intervals().unloadPrograms);
    m_timLoadProg = makeTimer("timLoadProg", context.intervals().reopenPrograms);
    connect(m_timer1, &QTimer::timeout, this, &LoadingWindow::timer1Timer);
    connect(m_timer3, &QTimer::timeout, this, &LoadingWindow::timer3Timer);
    connect(m_timLoadProg, &QTimer::timeout, this, &LoadingWindow::timLoadProgTimer);
}

void LoadingWindow::formLoad()
{
    // Created at the first hand-over, when a manager window is in view.
    context().hideWindow(WindowNames::MainMenu);
    const QImage army = Pictures::userOrBuiltIn(context().paths().userFolder(), QStringLiteral("army.bmp"));
    m_imgArmy->setPixmap(
        QPixmap::fromImage(army).scaled(m_imgArmy->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

bool LoadingWindow::formUnload()
{
    // The window stands in for the manager being rebuilt and goes by itself
    // a moment later; closing it would stop the hand-over and leave no window
    // at all, so the close is refused.
    return false;
}

void LoadingWindow::startGamesReopen()
{
    m_timer1->start();
}

void LoadingWindow::startProgramsRebuild()
{
    m_timer3->start();
}

bool LoadingWindow::gamesReopenPending() const
{
    return m_timer1->isActive();
}

bool LoadingWindow::programsRebuildPending() const
{
    return m_timer3->isActive();
}

void LoadingWindow::timer1Timer()
{
    context().showWindow(WindowNames::Games);
    hide();
    m_timer1->stop();
}

void LoadingWindow::timer3Timer()
{
    // The programs window sees the rebuild pending and leaves this window in view.
    context().unloadWindow(WindowNames::Programs);
    m_timLoadProg->start();
}

void LoadingWindow::timLoadProgTimer()
{
    context().showWindow(WindowNames::Programs);
    hide();
    m_timer3->stop();
    m_timLoadProg->stop();
}
