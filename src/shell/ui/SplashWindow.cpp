// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/SplashWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/Pictures.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "installs/core/GameInstall.h"

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
    m_border = frame;
    m_border->setObjectName(QStringLiteral("Frame1"));
    m_border->setFrameShape(QFrame::Box);
    m_border->setLineWidth(2);
    m_border->setGeometry(rect());
    setForeground(m_border, bgrColor(0x000080FF));

    auto* layout = new QVBoxLayout(m_border);
    layout->setContentsMargins(16, 16, 16, 12);

    m_imgLogo = new QLabel(m_border);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_imgLogo, 1);

    m_lblVersion = new QLabel(QStringLiteral("Version"), m_border);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setFont(designFont(QStringLiteral("Verdana"), 10, true));
    m_lblVersion->setAlignment(Qt::AlignCenter);
    setForeground(m_lblVersion, bgrColor(0x000080FF));
    layout->addWidget(m_lblVersion);

    m_lblInstall = new QLabel(m_border);
    m_lblInstall->setObjectName(QStringLiteral("lblInstall"));
    m_lblInstall->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    m_lblInstall->setAlignment(Qt::AlignCenter);
    m_lblInstall->setWordWrap(true);
    setForeground(m_lblInstall, bgrColor(0x000080FF));
    layout->addWidget(m_lblInstall);

    m_tagline = new QLabel(QStringLiteral("A home for your replays, maps, tools and speech banks"), m_border);
    m_tagline->setObjectName(QStringLiteral("Label3"));
    m_closeHint = new QLabel(QStringLiteral("Press any key or click to close"), m_border);
    m_closeHint->setObjectName(QStringLiteral("Label2"));
    for (QLabel* label : {m_tagline, m_closeHint}) {
        label->setFont(designFont(QStringLiteral("Verdana"), 8));
        label->setAlignment(Qt::AlignCenter);
        setForeground(label, Qt::darkGray);
        layout->addWidget(label);
    }

    m_closeTimer = new QTimer(this);
    m_closeTimer->setObjectName(QStringLiteral("Timer1"));
    m_closeTimer->setInterval(context.intervals().splash);
    connect(m_closeTimer, &QTimer::timeout, this, &SplashWindow::closeTimerFired);
    // Enabled when the window is created.
    m_closeTimer->start();
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

void SplashWindow::closeTimerFired()
{
    // The first touch of the main menu creates it and runs the installation check.
    QWidget* menu = context().window(WindowNames::MainMenu);
    if (menu && !menu->isVisible()) {
        hide();
        menu->show();
    }
    // Fires once only, also when the splash comes back as the About box.
    m_closeTimer->stop();
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
