// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/MainMenuWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/Launcher.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/HoverGroup.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "installs/core/GameStarter.h"
#include "shell/core/Installation.h"
#include "shell/ui/Application.h"
#include "shell/ui/MainMenuLayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QColor kEntryText = bgrColor(0x0080C0FF);
const QColor kTopText = bgrColor(0x000080FF);

// Top to bottom, then left to right.
void sortInReadingOrder(QList<ClickLabel*>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const ClickLabel* a, const ClickLabel* b) {
        const QRect ga = a->geometry();
        const QRect gb = b->geometry();
        return ga.top() != gb.top() ? ga.top() < gb.top() : ga.left() < gb.left();
    });
}

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
    setFixedSize(MainMenuLayout::size);
    setBackground(this, plainColour());
    setMouseTracking(true);

    m_armyPicture = new QLabel(this);
    m_armyPicture->setObjectName(QStringLiteral("imgArmy"));
    m_armyPicture->setGeometry(MainMenuLayout::army);
    m_armyPicture->setAlignment(Qt::AlignCenter);

    // Launch entries along the top edge; they highlight themselves.
    const QFont topFont = designFont(QStringLiteral("Verdana"), 8, true);
    auto topEntry = [&](const QString& name, const QString& caption, const QRect& geometry) {
        auto* label = new ClickLabel(caption, this);
        label->setObjectName(name);
        label->setGeometry(geometry);
        label->setFont(topFont);
        label->setAlignment(Qt::AlignCenter);
        label->setForeColor(kTopText);
        label->setBackColor(plainColour());
        return label;
    };
    m_playEntry = topEntry(QStringLiteral("lblPlayWA"), QStringLiteral("Play WA"), MainMenuLayout::playGame);
    m_wormKitEntry = topEntry(QStringLiteral("lblWormKit"), QStringLiteral("WormKit"), MainMenuLayout::wormKit);
    m_wormKitEntry->setVisible(false); // shown only when the game folder has WormKit.exe
    m_aboutEntry = topEntry(QStringLiteral("lblAbout"), QStringLiteral("About"), MainMenuLayout::about);
    m_aboutEntry->setBackColor(QColor()); // About has no highlight
    m_highlight = new HoverGroup(plainColour(), highlightColour(), this);
    m_highlight->add(m_playEntry);
    m_highlight->add(m_wormKitEntry);
    connect(m_playEntry, &ClickLabel::clicked, this, [this] { launch(GameStarter::Program::Game); });
    connect(m_wormKitEntry, &ClickLabel::clicked, this, [this] { launch(GameStarter::Program::WormKit); });
    connect(m_aboutEntry, &ClickLabel::clicked, this, [this] { context().showWindow(WindowNames::Splash); });
    // About has no hover highlight; the keyboard's focus mark is a box around it.
    connect(m_aboutEntry, &ClickLabel::focusMarkChanged, this,
            [this](bool shown) { m_aboutEntry->setFrameShape(shown ? QFrame::Box : QFrame::NoFrame); });

    m_startCaption = new ClickLabel(QStringLiteral("START"), this);
    m_startCaption->setObjectName(QStringLiteral("Label1"));
    m_startCaption->setGeometry(MainMenuLayout::startCaption);
    m_startCaption->setFont(designFont(QStringLiteral("Verdana"), 20, true));
    m_startCaption->setAlignment(Qt::AlignCenter);
    m_startCaption->setForeColor(kEntryText);
    connect(m_startCaption, &ClickLabel::mouseMoved, m_highlight, &HoverGroup::clear);

    // Manager entries, each with a highlight bar behind its text.
    m_mapsBar = addBar(QStringLiteral("lbl1"), MainMenuLayout::manager(0));
    m_gamesBar = addBar(QStringLiteral("lbl2"), MainMenuLayout::manager(1));
    m_soundsBar = addBar(QStringLiteral("Label8"), MainMenuLayout::manager(2));
    m_programsBar = addBar(QStringLiteral("Label5"), MainMenuLayout::manager(3));
    struct {
        const char* name;
        const char* caption;
        ClickLabel* bar;
        const QString& window;
    } const entries[] = {
        {"cmdMaps", "My Maps", m_mapsBar, WindowNames::Maps},
        {"cmdGames", "My Games", m_gamesBar, WindowNames::Games},
        {"cmdSounds", "My Sounds", m_soundsBar, WindowNames::Sounds},
        {"cmdProg", "My Proggies", m_programsBar, WindowNames::Programs},
    };
    for (const auto& e : entries) {
        ClickLabel* entry = addEntry(QLatin1String(e.name), QLatin1String(e.caption), e.bar);
        const QString window = e.window;
        connect(entry, &ClickLabel::clicked, this, [this, window] { openManager(window); });
    }

    // Another copy of the game, between WormKit and About on the top edge; it
    // stays in reach above the warning frame, which is where it helps most.
    m_switchEntry =
        topEntry(QStringLiteral("lblSwitchGame"), QStringLiteral("Switch Game"), MainMenuLayout::switchGame);
    m_switchEntry->setVisible(app.canSwitchInstall());
    m_highlight->add(m_switchEntry);
    connect(m_switchEntry, &ClickLabel::clicked, this, [this] {
        clearMenuHighlight();
        m_app.switchInstall();
    });

    // The game schemes, on the bottom edge below the managers, in the style of
    // the entries of the top edge; like Switch Game it stays clear of the
    // warning frame.
    m_schemesEntry = topEntry(QStringLiteral("lblMySchemes"), QStringLiteral("My Schemes"), MainMenuLayout::schemes);
    m_highlight->add(m_schemesEntry);
    connect(m_schemesEntry, &ClickLabel::clicked, this, [this] { openManager(WindowNames::Schemes); });

    // "Good Bye....", shown while the program ends.
    m_goodbyePanel = new QFrame(this);
    m_goodbyePanel->setObjectName(QStringLiteral("Frame1"));
    m_goodbyePanel->setGeometry(rect());
    setBackground(m_goodbyePanel, plainColour());
    auto* byeLayout = new QVBoxLayout(m_goodbyePanel);
    auto* label3 = new QLabel(QStringLiteral("Good Bye...."), m_goodbyePanel);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setFont(designFont(QStringLiteral("Verdana"), 24, true));
    label3->setAlignment(Qt::AlignCenter);
    setForeground(label3, kTopText);
    byeLayout->addWidget(label3);
    m_goodbyePanel->setVisible(false);

    // The warning frame over the menu choices, hidden when the probe loads.
    auto* frame2 = new ClickFrame(this);
    m_warningPanel = frame2;
    m_warningPanel->setObjectName(QStringLiteral("Frame2"));
    m_warningPanel->setGeometry(MainMenuLayout::warning);
    m_warningPanel->setFrameShape(QFrame::Box);
    setBackground(m_warningPanel, bgrColor(0x00C0FFFF));
    connect(frame2, &ClickFrame::clicked, this, &MainMenuWindow::warningClicked);
    auto* warnLayout = new QVBoxLayout(m_warningPanel);
    auto* label4 = new QLabel(QStringLiteral("Im sorry, you currently do not have 'The Quillane' in the correct folder "
                                             "location. Be sure it is in the 'Team17\\Worms Armageddon\\User' folder."),
                              m_warningPanel);
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setFont(designFont(QStringLiteral("Verdana"), 11, true));
    label4->setWordWrap(true);
    label4->setAlignment(Qt::AlignCenter);
    setForeground(label4, bgrColor(0x000000C0));
    auto* label6 = new QLabel(QStringLiteral("Example: C:\\Team17\\Worms Armageddon\\User"), m_warningPanel);
    label6->setObjectName(QStringLiteral("Label6"));
    label6->setFont(designFont(QStringLiteral("Times New Roman"), 11));
    label6->setAlignment(Qt::AlignCenter);
    m_probePicture = new QLabel(m_warningPanel);
    m_probePicture->setObjectName(QStringLiteral("Image1"));
    m_probePicture->setAlignment(Qt::AlignCenter);
    warnLayout->addWidget(label4, 1);
    warnLayout->addWidget(label6);
    warnLayout->addWidget(m_probePicture);

    m_endTimer = new QTimer(this);
    m_endTimer->setObjectName(QStringLiteral("TimerEnd"));
    m_endTimer->setInterval(app.intervals().shutdownEnd);
    connect(m_endTimer, &QTimer::timeout, this, &MainMenuWindow::endTimeout);
}

ClickLabel* MainMenuWindow::addBar(const QString& name, const QRect& geometry)
{
    auto* bar = new ClickLabel(QString(), this);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
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
    m_highlight->add(bar, entry);
    return entry;
}

void MainMenuWindow::formLoad()
{
    // The installation check. Every step that fails is skipped.
    const UserPaths& paths = context().paths();
    pointTempListAtTempFolder();
    m_wormKitEntry->setVisible(Installation::hasWormKit(paths.gameFolder()));
    showOwnPicture(m_armyPicture, paths, QStringLiteral("army.bmp"));
    m_probe = Installation::loadProbe(paths);
    if (!m_probe.isNull())
        m_probePicture->setPixmap(QPixmap::fromImage(m_probe));
    m_warningPanel->move(m_warningPanel->x(), 16); // 240 twips from the top
    m_warningPanel->raise();
    m_warningPanel->setVisible(m_probe.isNull());
    // The keyboard reaches only what the mouse can: no entry under the warning.
    for (ClickLabel* entry : findChildren<ClickLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (entry->actsAsButton())
            entry->setFocusPolicy(
                !m_warningPanel->isHidden() && m_warningPanel->geometry().intersects(entry->geometry()) ? Qt::NoFocus
                                                                                                        : Qt::TabFocus);
    }
    orderKeyboardEntries();
    // The window itself holds the focus when it opens, so that the first Tab
    // lands on the first entry and shows its mark.
    setFocus(Qt::OtherFocusReason);
}

QList<ClickLabel*> MainMenuWindow::keyboardEntries() const
{
    QList<ClickLabel*> entries;
    for (ClickLabel* entry : findChildren<ClickLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (entry->actsAsButton() && (entry->focusPolicy() & Qt::TabFocus) && !entry->isHidden())
            entries << entry;
    }
    sortInReadingOrder(entries);
    return entries;
}

void MainMenuWindow::orderKeyboardEntries()
{
    // Every entry takes part, shown or not, so that one shown later (WormKit)
    // still falls in its place.
    QList<ClickLabel*> all;
    for (ClickLabel* entry : findChildren<ClickLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (entry->actsAsButton())
            all << entry;
    }
    sortInReadingOrder(all);
    for (qsizetype i = 1; i < all.size(); ++i)
        setTabOrder(all.at(i - 1), all.at(i));
}

void MainMenuWindow::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key != Qt::Key_Up && key != Qt::Key_Down) || event->modifiers() & ~Qt::KeypadModifier) {
        AppWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    const QList<ClickLabel*> entries = keyboardEntries();
    if (entries.isEmpty())
        return;
    const qsizetype at = entries.indexOf(qobject_cast<ClickLabel*>(focusWidget()));
    const qsizetype count = entries.size();
    qsizetype next;
    if (at < 0)
        next = key == Qt::Key_Down ? 0 : count - 1;
    else
        next = (at + (key == Qt::Key_Down ? 1 : count - 1)) % count;
    // As Tab does, so that the entry shows its focus mark.
    entries.at(next)->setFocus(Qt::TabFocusReason);
}

void MainMenuWindow::pointTempListAtTempFolder()
{
    m_tempGames.pointAt(context().paths().tempGamesFolder());
}

void MainMenuWindow::clearMenuHighlight()
{
    m_highlight->clear();
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

void MainMenuWindow::launch(GameStarter::Program program)
{
    GameStarter starter(context().launcher());
    const Launcher::Result result = starter.startGame(context().install(), program);
    if (result == Launcher::Result::Started)
        return;
    context().prompter().message(GameStarter::failureText(result, GameStarter::fileName(program)),
                                 QStringLiteral("WHERE IS IT!? AHHH!"), Prompter::Buttons::Ok,
                                 Prompter::Icon::Exclamation);
}

void MainMenuWindow::warningClicked()
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
    m_goodbyePanel->setVisible(true);
    m_goodbyePanel->raise();
    m_tempGames.refresh();
    m_tempGames.deleteListed();
    m_endTimer->start();
    return false;
}

void MainMenuWindow::endTimeout()
{
    m_endTimer->stop();
    m_tempGames.removeFolder();
    m_app.endProcess();
}
