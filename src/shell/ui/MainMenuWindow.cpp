#include "shell/ui/MainMenuWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/Launcher.h"
#include "common/core/Pictures.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "shell/core/Installation.h"
#include "shell/ui/Application.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Geometry in pixels (15 twips each).
constexpr int kWidth = 608;
constexpr int kHeight = 272;
constexpr int kChoicesLeft = 240; // the menu choices, and the warning frame over them
constexpr int kChoicesWidth = 361;

const QColor kEntryText = bgrColor(0x0080C0FF);
const QColor kTopText = bgrColor(0x000080FF);

} // namespace

QColor MainMenuWindow::highlightColour()
{
    return bgrColor(16576); // &H000040C0
}

QColor MainMenuWindow::plainColour()
{
    return bgrColor(0x00FFFFFF);
}

MainMenuWindow::MainMenuWindow(Application& app)
    : AppWindow(app)
    , m_app(app)
{
    setWindowTitle(AppInfo::title() + QStringLiteral(" (by the Quillane team)"));
    setFixedSize(kWidth, kHeight);
    setBackground(this, plainColour());
    setMouseTracking(true);

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setGeometry(4, 20, 228, 248);
    m_imgArmy->setAlignment(Qt::AlignCenter);

    // Launch entries along the top edge; they highlight themselves.
    const QFont topFont = designFont(QStringLiteral("Verdana"), 8, true);
    auto topEntry = [&](const QString& name, const QString& caption, int x, int width) {
        auto* label = new ClickLabel(caption, this);
        label->setObjectName(name);
        label->setGeometry(x, 0, width, 16);
        label->setFont(topFont);
        label->setAlignment(Qt::AlignCenter);
        label->setForeColor(kTopText);
        label->setBackColor(plainColour());
        return label;
    };
    m_lblPlayWA = topEntry(QStringLiteral("lblPlayWA"), QStringLiteral("Play WA"), kChoicesLeft, 80);
    m_lblWormKit = topEntry(QStringLiteral("lblWormKit"), QStringLiteral("WormKit"), kChoicesLeft + 88, 80);
    m_lblWormKit->setVisible(false); // shown only when the game folder has WormKit.exe
    m_lblAbout = topEntry(QStringLiteral("lblAbout"), QStringLiteral("About"), kWidth - 68, 64);
    m_lblAbout->setBackColor(QColor()); // About has no highlight
    connect(m_lblPlayWA, &ClickLabel::mouseMoved, this, [this] { highlight(m_lblPlayWA); });
    connect(m_lblWormKit, &ClickLabel::mouseMoved, this, [this] { highlight(m_lblWormKit); });
    connect(m_lblPlayWA, &ClickLabel::clicked, this,
            [this] { launch(Installation::gameProgram(context().paths()), QStringLiteral("WA.exe")); });
    connect(m_lblWormKit, &ClickLabel::clicked, this,
            [this] { launch(Installation::wormKitProgram(context().paths()), QStringLiteral("WormKit.exe")); });
    connect(m_lblAbout, &ClickLabel::clicked, this, [this] { context().showWindow(WindowNames::Splash); });

    m_label1 = new ClickLabel(QStringLiteral("START"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(kChoicesLeft, 22, kChoicesWidth, 40);
    m_label1->setFont(designFont(QStringLiteral("Verdana"), 20, true));
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setForeColor(kEntryText);
    connect(m_label1, &ClickLabel::mouseMoved, this, &MainMenuWindow::clearMenuHighlight);

    // Manager entries, each with a highlight bar behind its text.
    m_lbl1 = addBar(QStringLiteral("lbl1"), QRect(kChoicesLeft, 70, kChoicesWidth, 42));
    m_lbl2 = addBar(QStringLiteral("lbl2"), QRect(kChoicesLeft, 116, kChoicesWidth, 42));
    m_label8 = addBar(QStringLiteral("Label8"), QRect(kChoicesLeft, 162, kChoicesWidth, 42));
    m_label5 = addBar(QStringLiteral("Label5"), QRect(kChoicesLeft, 208, kChoicesWidth, 42));
    struct {
        const char* name;
        const char* caption;
        ClickLabel* bar;
        const QString& window;
    } const entries[] = {
        {"cmdMaps", "My Maps", m_lbl1, WindowNames::Maps},
        {"cmdGames", "My Games", m_lbl2, WindowNames::Games},
        {"cmdSounds", "My Sounds", m_label8, WindowNames::Sounds},
        {"cmdProg", "My Proggies", m_label5, WindowNames::Programs},
    };
    for (const auto& e : entries) {
        ClickLabel* entry = addEntry(QLatin1String(e.name), QLatin1String(e.caption), e.bar);
        const QString window = e.window;
        connect(entry, &ClickLabel::clicked, this, [this, window] { openManager(window); });
    }

    // "Good Bye....", shown while the program ends.
    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(rect());
    setBackground(m_frame1, plainColour());
    auto* byeLayout = new QVBoxLayout(m_frame1);
    auto* label3 = new QLabel(QStringLiteral("Good Bye...."), m_frame1);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setFont(designFont(QStringLiteral("Verdana"), 24, true));
    label3->setAlignment(Qt::AlignCenter);
    setForeground(label3, kTopText);
    byeLayout->addWidget(label3);
    m_frame1->setVisible(false);

    // The warning frame over the menu choices, hidden when the probe loads.
    auto* frame2 = new ClickFrame(this);
    m_frame2 = frame2;
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(kChoicesLeft, 40, kChoicesWidth, 233);
    m_frame2->setFrameShape(QFrame::Box);
    setBackground(m_frame2, bgrColor(0x00C0FFFF));
    connect(frame2, &ClickFrame::clicked, this, &MainMenuWindow::frame2Click);
    auto* warnLayout = new QVBoxLayout(m_frame2);
    auto* label4 = new QLabel(QStringLiteral("Im sorry, you currently do not have 'The Quillane' in the correct folder "
                                             "location. Be sure it is in the 'Team17\\Worms Armageddon\\User' folder."),
                              m_frame2);
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setFont(designFont(QStringLiteral("Verdana"), 11, true));
    label4->setWordWrap(true);
    label4->setAlignment(Qt::AlignCenter);
    setForeground(label4, bgrColor(0x000000C0));
    auto* label6 = new QLabel(QStringLiteral("Example: C:\\Team17\\Worms Armageddon\\User"), m_frame2);
    label6->setObjectName(QStringLiteral("Label6"));
    label6->setFont(designFont(QStringLiteral("Times New Roman"), 11));
    label6->setAlignment(Qt::AlignCenter);
    m_image1 = new QLabel(m_frame2);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setAlignment(Qt::AlignCenter);
    warnLayout->addWidget(label4, 1);
    warnLayout->addWidget(label6);
    warnLayout->addWidget(m_image1);

    m_timerEnd = new QTimer(this);
    m_timerEnd->setObjectName(QStringLiteral("TimerEnd"));
    m_timerEnd->setInterval(app.intervals().shutdownEnd);
    connect(m_timerEnd, &QTimer::timeout, this, &MainMenuWindow::timerEndTimer);
}

ClickLabel* MainMenuWindow::addBar(const QString& name, const QRect& geometry)
{
    auto* bar = new ClickLabel(QString(), this);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setBackColor(plainColour());
    return bar;
}

ClickLabel* MainMenuWindow::addEntry(const QString& name, const QString& caption, ClickLabel* bar)
{
    auto* entry = new ClickLabel(caption, this);
    entry->setObjectName(name);
    entry->setGeometry(bar->geometry());
    entry->setFont(designFont(QStringLiteral("Verdana"), 16, true));
    entry->setAlignment(Qt::AlignCenter);
    entry->setForeColor(kEntryText);
    entry->setCursor(Qt::PointingHandCursor);
    entry->raise();
    connect(entry, &ClickLabel::mouseMoved, this, [this, bar] { highlight(bar); });
    return entry;
}

void MainMenuWindow::formLoad()
{
    // The installation check. Every step that fails is skipped.
    const UserPaths& paths = context().paths();
    pointTempListAtTempFolder();
    m_lblWormKit->setVisible(Installation::hasWormKit(paths.gameFolder()));
    m_imgArmy->setPixmap(QPixmap::fromImage(Pictures::userOrBuiltIn(paths, QStringLiteral("army.bmp")))
                             .scaled(m_imgArmy->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_probe = Installation::loadProbe(paths);
    if (!m_probe.isNull())
        m_image1->setPixmap(QPixmap::fromImage(m_probe));
    m_frame2->move(m_frame2->x(), 16); // 240 twips from the top
    m_frame2->raise();
    m_frame2->setVisible(m_probe.isNull());
    // The keyboard reaches only what the mouse can: no entry under the warning.
    for (ClickLabel* entry : findChildren<ClickLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (entry->actsAsButton())
            entry->setFocusPolicy(!m_frame2->isHidden() && m_frame2->geometry().intersects(entry->geometry())
                                      ? Qt::NoFocus
                                      : Qt::TabFocus);
    }
}

void MainMenuWindow::pointTempListAtTempFolder()
{
    m_file1.pointAt(context().paths().tempGamesFolder());
}

void MainMenuWindow::clearMenuHighlight()
{
    for (ClickLabel* bar : {m_lbl1, m_lbl2, m_lblPlayWA, m_label5, m_label8, m_lblWormKit})
        bar->setBackColor(plainColour());
}

void MainMenuWindow::highlight(ClickLabel* bar)
{
    if (bar->backColor() == highlightColour())
        return;
    clearMenuHighlight();
    bar->setBackColor(highlightColour());
}

void MainMenuWindow::mouseMoveEvent(QMouseEvent* event)
{
    clearMenuHighlight();
    AppWindow::mouseMoveEvent(event);
}

void MainMenuWindow::openManager(const QString& windowName)
{
    if (!m_app.openFromMenu(windowName))
        return;
    hide();
    clearMenuHighlight();
}

void MainMenuWindow::launch(const QString& program, const QString& programName)
{
    const Launcher::Result result = context().launcher().start(program);
    if (result == Launcher::Result::Started)
        return;
    const QString title = QStringLiteral("WHERE IS IT!? AHHH!");
    if (result == Launcher::Result::NoWine) {
        // The file is there, but this system has no Wine to run it with.
        context().prompter().message(QStringLiteral("Quillane found ") + programName +
                                         QStringLiteral(", but cannot start it: Wine is not installed on this "
                                                        "system (no 'wine' command on the PATH)."),
                                     title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        return;
    }
    context().prompter().message(QStringLiteral("Quillane cannot find ") + programName +
                                     QStringLiteral("! Be sure The Quillane is placed in the 'Team17\\Worms "
                                                    "Armageddon\\User' folder!"),
                                 title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

void MainMenuWindow::frame2Click()
{
    // The probe picture's handle: 0 when it did not load.
    const qint64 handle = m_probe.isNull() ? 0 : m_probe.cacheKey();
    context().prompter().message(QString::number(handle), AppInfo::title(), Prompter::Buttons::Ok,
                                 Prompter::Icon::None);
}

bool MainMenuWindow::formUnload()
{
    // Closing the main menu ends the program: the window stays while the
    // temporary games are removed, and the process ends a second later.
    if (m_closing)
        return false;
    m_closing = true;
    m_frame1->setVisible(true);
    m_frame1->raise();
    m_file1.refresh();
    m_file1.deleteListed();
    m_timerEnd->start();
    return false;
}

void MainMenuWindow::timerEndTimer()
{
    m_timerEnd->stop();
    m_file1.removeFolder();
    m_app.endProcess();
}
