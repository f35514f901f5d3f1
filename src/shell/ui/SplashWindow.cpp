#include "shell/ui/SplashWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/GameInstall.h"
#include "common/core/Intervals.h"
#include "common/core/Pictures.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

SplashWindow::SplashWindow(AppContext& context)
    : AppWindow(context)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(AppInfo::title());
    setFixedSize(480, 320);
    setBackground(this, Qt::white);
    setFocusPolicy(Qt::StrongFocus);

    auto* frame = new ClickFrame(this);
    connect(frame, &ClickFrame::clicked, this, &QWidget::hide);
    m_frame1 = frame;
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::Box);
    m_frame1->setLineWidth(2);
    m_frame1->setGeometry(rect());
    setForeground(m_frame1, bgrColor(0x000080FF));

    auto* layout = new QVBoxLayout(m_frame1);
    layout->setContentsMargins(16, 16, 16, 12);

    m_imgLogo = new QLabel(m_frame1);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_imgLogo, 1);

    m_lblVersion = new QLabel(QStringLiteral("Version"), m_frame1);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setFont(designFont(QStringLiteral("Verdana"), 10, true));
    m_lblVersion->setAlignment(Qt::AlignCenter);
    setForeground(m_lblVersion, bgrColor(0x000080FF));
    layout->addWidget(m_lblVersion);

    m_lblInstall = new QLabel(m_frame1);
    m_lblInstall->setObjectName(QStringLiteral("lblInstall"));
    m_lblInstall->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    m_lblInstall->setAlignment(Qt::AlignCenter);
    m_lblInstall->setWordWrap(true);
    setForeground(m_lblInstall, bgrColor(0x000080FF));
    layout->addWidget(m_lblInstall);

    m_label3 = new QLabel(QStringLiteral("A home for your replays, maps, tools and speech banks"), m_frame1);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label2 = new QLabel(QStringLiteral("Press any key or click to close"), m_frame1);
    m_label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* label : {m_label3, m_label2}) {
        label->setFont(designFont(QStringLiteral("Verdana"), 8));
        label->setAlignment(Qt::AlignCenter);
        setForeground(label, Qt::darkGray);
        layout->addWidget(label);
    }

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(context.intervals().splash);
    connect(m_timer1, &QTimer::timeout, this, &SplashWindow::timer1Timer);
    // Enabled when the window is created.
    m_timer1->start();
}

void SplashWindow::formLoad()
{
    m_lblVersion->setText(AppInfo::versionText());
    const GameInstall& install = context().install();
    m_lblInstall->setText(install.describe(QDir::homePath()) + QStringLiteral(": ") +
                          QDir::toNativeSeparators(install.userFolder));
    const QImage logo = Pictures::userOrBuiltIn(context().paths(), QStringLiteral("logo.gif"));
    m_imgLogo->setPixmap(QPixmap::fromImage(logo));
}

void SplashWindow::timer1Timer()
{
    // The first touch of the main menu creates it and runs the installation check.
    QWidget* menu = context().window(WindowNames::MainMenu);
    if (menu && !menu->isVisible()) {
        hide();
        menu->show();
    }
    // Fires once only, also when the splash comes back as the About box.
    m_timer1->stop();
}

bool SplashWindow::formUnload()
{
    // Closing the splash dismisses it like a key press: it stays loaded, so
    // that its timer still brings the main menu and About can show it again.
    hide();
    return false;
}

void SplashWindow::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    hide();
}

void SplashWindow::showEvent(QShowEvent* event)
{
    AppWindow::showEvent(event);
    activateWindow();
    setFocus();
}
