// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/Launcher.h"
#include "common/core/UnshownNames.h"
#include "common/core/Version.h"
#include "common/ui/AppContext.h"
#include "common/ui/AppWindow.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "shell/ui/Startup.h"
#include "support/TestApp.h"
#include "support/TestMaps.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSettings>

namespace {

// A stand-in manager window: counts its load steps and, when closed, goes back
// to the main menu the way the real managers do.
class StandInWindow : public AppWindow {
public:
    StandInWindow(AppContext& c, int* loads)
        : AppWindow(c)
        , m_loads(loads)
    {
    }
    void formLoad() override { ++*m_loads; }

protected:
    bool formUnload() override
    {
        context().returnToMainMenu(objectName());
        return true;
    }

private:
    int* m_loads;
};

// The application with a stand-in registered as `name`, started to its main menu.
MainMenuWindow* startWithStandIn(TestApp& t, const QString& name, int* loads, Application::Opener beforeOpen = {})
{
    t.folder.writeProbe();
    t.create(false);
    t.app().registerWindow(
        name, [loads](AppContext& c) { return new StandInWindow(c, loads); }, std::move(beforeOpen));
    return t.startToMainMenu();
}

QColor bar(MainMenuWindow* menu, const char* name)
{
    return named<ClickLabel>(menu, QLatin1String(name))->backColor();
}

// The main menu once the start-up has shown it.
QWidget* shownMenu(Startup& s)
{
    QWidget* menu = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        menu = s.application() ? s.application()->existingWindow(WindowNames::MainMenu) : nullptr;
        return menu && menu->isVisible();
    });
    return shown ? menu : nullptr;
}

QListWidget* list(Startup& s)
{
    return s.chooser() && s.chooser()->isVisible() ? named<QListWidget>(s.chooser(), "lstInstalls") : nullptr;
}

const QString kWaMissing = QStringLiteral(
    "Quillane cannot find WA.exe! Be sure The Quillane is placed in the 'Team17\\Worms Armageddon\\User' folder!");
const QString kWormKitMissing = QStringLiteral(
    "Quillane cannot find WormKit.exe! Be sure The Quillane is placed in the 'Team17\\Worms Armageddon\\User' "
    "folder!");

const QString game = QStringLiteral("2002-01-01 10.00.00 [Training] Cy.WAgame");

// The window in front, as the window system makes a window that opens.
bool activate(QWidget* window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// A key pressed the way the window system delivers it: to the focus widget.
void key(QWidget* window, int k)
{
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key(k));
}

// Presses Tab until `name` has the focus; false when it never comes round.
bool tabTo(QWidget* window, const QString& name)
{
    for (int i = 0; i < 40; ++i) {
        key(window, Qt::Key_Tab);
        if (window->focusWidget() && window->focusWidget()->objectName() == name)
            return true;
    }
    return false;
}

QWidget* shownWindow(TestApp& t, const QString& name)
{
    QWidget* w = t.waitShown(name);
    return w && activate(w) ? w : nullptr;
}

GamesWindow* gamesWindow(TestApp& t)
{
    GamesWindow* w = nullptr;
    const bool filled = QTest::qWaitFor([&] {
        w = qobject_cast<GamesWindow*>(t.existing(WindowNames::Games));
        return w && w->isVisible() && named<QWidget>(w, "Frame3")->isHidden();
    });
    return filled && activate(w) ? w : nullptr;
}

} // namespace

// The keyboard alone: Tab reaches the controls, Enter and Space do what a
// click does, Escape leaves a manager window or cancels a transfer; assistive
// tools see button-like labels as named push buttons.
class TestShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainMenuOnStart_data();
    void mainMenuOnStart();
    void splash_data();
    void splash();
    void hoverMovesTheHighlight();
    void shutdownRemovesTempFilesThenFolder_data();
    void shutdownRemovesTempFilesThenFolder();
    void gamesHandOver();
    void programsHandOver_data();
    void programsHandOver();
    void windowsTellOfNamesTheyCannotShow_data();
    void windowsTellOfNamesTheyCannotShow();
    void choiceIsRememberedWhileItsFolderExists();
    void namedFolderStartsAsItsCopy_data();
    void namedFolderStartsAsItsCopy();
    void mainMenuByKeyboardAndAssistiveTools();
    void transferWindowByKeyboard_data();
    void transferWindowByKeyboard();
};

void TestShell::mainMenuOnStart_data()
{
    QTest::addColumn<bool>("probe");
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<QString>("entry"); // clicked; "" for none
    QTest::addColumn<int>("forced");    // -1: the fake starts what exists
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("message");
    auto row = [](const char* tag, bool probe, const QStringList& files, const char* entry, int forced,
                  const char* started, const QString& message = QString()) {
        QTest::newRow(tag) << probe << files << QString(entry) << forced << QString(started) << message;
    };
    const int failed = int(Launcher::Result::Failed), noWine = int(Launcher::Result::NoWine);
    row("no probe: a click on the warning", false, {"WA.exe", "WormKit.exe"}, "Frame2", -1, "", "0");
    row("game present", true, {"WA.exe"}, "lblPlayWA", -1, "WA.exe");
    row("game in other letter case", true, {"wa.EXE"}, "lblPlayWA", -1, "wa.EXE");
    row("game missing", true, {}, "lblPlayWA", -1, "", kWaMissing);
    row("start refused", true, {"WA.exe"}, "lblPlayWA", failed, "WA.exe", kWaMissing);
    row("no wine", true, {"WA.exe"}, "lblPlayWA", noWine, "WA.exe",
        "Quillane found WA.exe, but cannot start it: Wine is not installed on this system (no 'wine' command on the "
        "PATH).");
    row("wormkit", true, {"WormKit.exe"}, "lblWormKit", -1, "WormKit.exe");
    row("wormkit gone since start", true, {"WormKit.exe"}, "lblWormKit", int(Launcher::Result::NotFound), "WormKit.exe",
        kWormKitMissing);
    row("WormKit in other letter case", true, {"WA.exe", "wormkit.exe", "WormKit.EXE"}, "", -1, "");
}

void TestShell::mainMenuOnStart()
{
    QFETCH(bool, probe);
    QFETCH(QStringList, gameFiles);
    QFETCH(QString, entry);
    QFETCH(int, forced);
    QFETCH(QString, started);
    QFETCH(QString, message);
    TestApp t;
    if (probe)
        t.folder.writeProbe();
    for (const QString& f : gameFiles)
        t.folder.writeGameFile(f);
    if (forced >= 0)
        t.launcher.force(Launcher::Result(forced));
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    QVERIFY(!t.isShown(WindowNames::Splash));
    // WormKit is offered for a file of exactly that name only.
    QCOMPARE(named(menu, QStringLiteral("lblWormKit"))->isVisible(), gameFiles.contains("WormKit.exe"));
    // Without the probe a warning covers every menu choice.
    QWidget* frame2 = named(menu, QStringLiteral("Frame2"));
    QCOMPARE(frame2->isVisible(), !probe);
    for (const char* choice : {"cmdMaps", "cmdGames", "cmdSounds", "cmdProg"})
        QVERIFY(probe || frame2->geometry().contains(named(menu, QLatin1String(choice))->geometry().center()));
    if (!entry.isEmpty())
        click(named(menu, entry));
    QCOMPARE(t.launcher.started, started.isEmpty() ? QStringList() : QStringList{t.folder.game() + started});
    QCOMPARE(t.prompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(menu->isVisible());
    // The User folder has none of the game's pictures: the windows show their own.
    QVERIFY(!named<QLabel>(t.existing(WindowNames::Splash), QStringLiteral("imgLogo"))->pixmap().isNull());
    QVERIFY(!named<QLabel>(menu, QStringLiteral("imgArmy"))->pixmap().isNull());
    t.app().reload(WindowNames::Games);
    QVERIFY(!named<QLabel>(t.existing(WindowNames::Loading), QStringLiteral("imgArmy"))->pixmap().isNull());
    VERIFY_PROMPTER(t.prompter);
}

void TestShell::splash_data()
{
    QTest::addColumn<QString>("dismiss");
    QTest::newRow("Space") << "Space";
    QTest::newRow("click") << "click";
    QTest::newRow("the window manager's close button") << "close";
}

// Dismissed early, the splash still waits for its timer to bring the main
// menu; About shows the same window again, until it is dismissed.
void TestShell::splash()
{
    QFETCH(QString, dismiss);
    TestApp t;
    t.intervals.splash = 400;
    t.create();
    QElapsedTimer clock;
    clock.start();
    t.app().start();
    QWidget* splash = t.existing(WindowNames::Splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(named<QLabel>(splash, QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version %1").arg(QStringLiteral(QUILLANE_VERSION_TEXT)));
    if (dismiss == "close")
        splash->close();
    else if (dismiss == "click")
        click(named(splash, QStringLiteral("Frame1")));
    else
        QTest::keyClick(splash, Qt::Key_Space);
    QVERIFY(!splash->isVisible());
    QCOMPARE(t.existing(WindowNames::Splash), splash); // hidden, not unloaded: its timer still runs
    QVERIFY(!t.existing(WindowNames::MainMenu));
    QWidget* menu = t.waitShown(WindowNames::MainMenu);
    QVERIFY(menu);
    QVERIFY(clock.elapsed() >= 380); // a coarse timer may fire 5% early
    QVERIFY(!splash->isVisible());

    click(named(menu, QStringLiteral("lblAbout")));
    QCOMPARE(t.existing(WindowNames::Splash), splash);
    QVERIFY(splash->isVisible());
    QTest::qWait(t.intervals.splash + 100);
    QVERIFY(splash->isVisible() && menu->isVisible());
    QTest::keyClick(splash, Qt::Key_Escape);
    QVERIFY(!splash->isVisible());
    QVERIFY(menu->isVisible());
}

void TestShell::hoverMovesTheHighlight()
{
    TestApp t;
    t.folder.writeProbe();
    t.folder.writeGameFile(QStringLiteral("WormKit.exe"));
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    const QColor hi = MainMenuWindow::highlightColour();
    const QColor plain = MainMenuWindow::plainColour();
    QVERIFY(hi != plain);

    // Each entry lights its own bar and no other; moving within it keeps the
    // light; the title and the window's background clear them all.
    const char* entries[][2] = {{"cmdMaps", "lbl1"},   {"cmdGames", "lbl2"},         {"cmdSounds", "Label8"},
                                {"cmdProg", "Label5"}, {"lblWormKit", "lblWormKit"}, {"lblPlayWA", "lblPlayWA"},
                                {"Label1", ""},        {"cmdGames", "lbl2"},         {nullptr, ""}};
    for (const auto& [entry, lit] : entries) {
        QWidget* target = entry ? named(menu, QLatin1String(entry)) : menu;
        hover(target, entry ? QPoint() : QPoint(menu->width() - 3, menu->height() - 3));
        if (entry && QLatin1String(entry) == QLatin1String("cmdGames"))
            hover(target, QPoint(5, 5));
        for (const char* name : {"lbl1", "lbl2", "Label8", "Label5", "lblWormKit", "lblPlayWA"})
            QCOMPARE(bar(menu, name), QLatin1String(name) == QLatin1String(lit) ? hi : plain);
    }
}

void TestShell::shutdownRemovesTempFilesThenFolder_data()
{
    QTest::addColumn<bool>("temp");
    QTest::newRow("Temp folder with copies") << true;
    QTest::newRow("no Temp folder") << false;
}

void TestShell::shutdownRemovesTempFilesThenFolder()
{
    QFETCH(bool, temp);
    TestApp t;
    t.folder.writeProbe();
    const QStringList copies = temp ? QStringList{"a.WAgame", "b.WAgame", "c.WAgame"} : QStringList();
    for (const QString& name : copies)
        t.folder.writeFile("games/TEMP/" + name);
    t.folder.writeFile(QStringLiteral("games/keep.WAgame"));
    t.intervals.shutdownEnd = 300;
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);

    QVERIFY(!menu->close()); // the close is cancelled: the window stays for the good-bye
    QVERIFY(menu->isVisible());
    QVERIFY(named(menu, QStringLiteral("Frame1"))->isVisible());
    QCOMPARE(t.folder.entries(QStringLiteral("games/TEMP")), QStringList());
    QCOMPARE(t.folder.exists(QStringLiteral("games/TEMP")), temp); // the folder goes a moment later
    QCOMPARE(t.processEnded, 0);

    QTRY_COMPARE(t.processEnded, 1);
    QVERIFY(!t.folder.exists(QStringLiteral("games/TEMP")));
    QVERIFY(t.folder.exists(QStringLiteral("games/keep.WAgame")));
    QVERIFY(t.prompter.boxes().isEmpty());
    // A second close while ending changes nothing.
    menu->close();
    QTest::qWait(2 * t.intervals.shutdownEnd);
    QCOMPARE(t.processEnded, 1);
}

void TestShell::gamesHandOver()
{
    TestApp t;
    int loads = 0;
    bool allow = false; // the entry's preparation refuses at first
    MainMenuWindow* menu = startWithStandIn(t, WindowNames::Games, &loads, [&](AppContext&) { return allow; });
    QVERIFY(menu);
    hover(named(menu, QStringLiteral("cmdGames")));
    click(named(menu, QStringLiteral("cmdGames")));
    QVERIFY(menu->isVisible());
    QCOMPARE(loads, 0);
    allow = true;
    click(named(menu, QStringLiteral("cmdGames")));
    QCOMPARE(bar(menu, "lbl2"), MainMenuWindow::plainColour()); // opening clears the highlight
    QWidget* first = t.existing(WindowNames::Games);
    QVERIFY(first && first->isVisible());
    QVERIFY(!menu->isVisible());
    QCOMPARE(loads, 1);

    // A change of files: hand over, then the games window closes itself.
    t.app().reload(WindowNames::Games);
    QVERIFY(t.app().reloadPending(WindowNames::Games));
    first->close();
    QVERIFY(t.isShown(WindowNames::Loading));
    QVERIFY(!menu->isVisible()); // the loading window stands in for the menu
    QTRY_COMPARE(loads, 2);
    QTRY_VERIFY(!t.isShown(WindowNames::Loading));
    QVERIFY(t.isShown(WindowNames::Games));
    QVERIFY(!t.app().reloadPending(WindowNames::Games));
    QVERIFY(!menu->isVisible());

    // Closing it without a hand-over goes back to the menu.
    t.existing(WindowNames::Games)->close();
    QVERIFY(menu->isVisible());
    QVERIFY(!t.isShown(WindowNames::Loading));
}

void TestShell::programsHandOver_data()
{
    QTest::addColumn<bool>("userClosesDuringRebuild");
    QTest::newRow("rebuild") << false;
    QTest::newRow("closed by the user during the rebuild") << true;
}

void TestShell::programsHandOver()
{
    QFETCH(bool, userClosesDuringRebuild);
    TestApp t;
    t.intervals.unloadPrograms = 150;
    int loads = 0;
    MainMenuWindow* menu = startWithStandIn(t, WindowNames::Programs, &loads);
    QVERIFY(menu);
    click(named(menu, QStringLiteral("cmdProg")));
    QPointer<QWidget> first = t.existing(WindowNames::Programs);
    QVERIFY(first);

    t.app().reload(WindowNames::Programs);
    QWidget* loading = t.existing(WindowNames::Loading);
    QVERIFY(loading->isVisible());
    QVERIFY(!loading->close()); // closing the loading window does not stop the hand-over
    QVERIFY(loading->isVisible());
    if (userClosesDuringRebuild) {
        first->close(); // its unload step sees the rebuild and keeps the loading window
        QVERIFY(loading->isVisible());
    } else {
        QVERIFY(first->isVisible()); // unloaded only when Timer3 fires
    }
    QVERIFY(!menu->isVisible());
    QTRY_VERIFY(!first);
    QTRY_COMPARE(loads, 2);
    QTRY_VERIFY(!loading->isVisible());
    QVERIFY(t.isShown(WindowNames::Programs));
    QVERIFY(!menu->isVisible());
    QVERIFY(!t.app().reloadPending(WindowNames::Programs));
}

void TestShell::windowsTellOfNamesTheyCannotShow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("isFolder");
    QTest::newRow("a game") << WindowNames::Games << "Games" << false;
    QTest::newRow("a game in a user folder") << WindowNames::Games << "Games/League" << false;
    QTest::newRow("a map folder") << WindowNames::Maps << "SavedLevels" << true;
    QTest::newRow("a scheme") << WindowNames::Sounds << "Speech" << true;
    QTest::newRow("a sound byte") << WindowNames::Sounds << "Speech/Bob" << false;
}

void TestShell::windowsTellOfNamesTheyCannotShow()
{
    QFETCH(QString, window);
    QFETCH(QString, folder);
    QFETCH(bool, isFolder);
    TestApp t;
    t.folder.writeProbe();
    for (const char* made : {"Games/League", "SavedLevels", "Speech/Bob"})
        t.folder.makeDir(made);
    QVERIFY(t.folder.writeRawName(folder, "Caf\xe9", isFolder));
    t.create();
    QVERIFY(t.app().openFromMenu(window));
    // Once for the opening, however often the window lists the folder.
    QTRY_VERIFY(t.prompter.texts().value(0).startsWith("1 file or folder in " +
                                                       QDir::toNativeSeparators(t.folder.path(folder)) +
                                                       " could not be shown: its name is not valid UTF-8."));
    QTest::qWait(100);
    QCOMPARE(t.prompter.texts().size(), 1);
}

// Start-up over a settings store of its own: the copy of the game chosen is
// remembered while its folder exists.
// A User folder named on the command line is started the way its copy of the
// game needs: found by the search (Steam) or not (a Wine prefix elsewhere).
void TestShell::namedFolderStartsAsItsCopy_data()
{
    QTest::addColumn<QString>("game");    // under the home
    QTest::addColumn<QString>("kind");    // in the About box; "<home>" is the home
    QTest::addColumn<QStringList>("run"); // the program started and its first arguments
    QTest::addColumn<QString>("prefix");  // the WINEPREFIX it gets
    QTest::newRow("steam library") << ".local/share/Steam/steamapps/common/Worms Armageddon"
                                   << "Steam" << QStringList{"/bin/steam", "-applaunch", "217200"} << "";
    QTest::newRow("wine prefix") << "pfx/drive_c/Games/WA"
                                 << "Wine prefix <home>/pfx" << QStringList{"/usr/bin/wine", "<game>/WA.exe"}
                                 << "<home>/pfx";
}

void TestShell::namedFolderStartsAsItsCopy()
{
    QFETCH(QString, game);
    QFETCH(QString, kind);
    QFETCH(QStringList, run);
    QFETCH(QString, prefix);
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    game = home + '/' + game;
    TestApp t;
    t.launcher.programs.insert(QStringLiteral("steam"), QStringLiteral("/bin/steam"));
    QVERIFY(QDir().mkpath(game + "/User/graves") && QDir().mkpath(home + "/pfx/drive_c"));
    QVERIFY(QFile::copy(t.folder.writeProbe(), game + "/User/graves/computer.bmp"));
    for (const QString& file : {game + "/WA.exe", home + "/pfx/system.reg"})
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    TestMaps::writeBytes(home + "/.local/share/Steam/steamapps/appmanifest_217200.acf",
                         "\"AppState\" { \"installdir\" \"Worms Armageddon\" }");
    FinderSetup setup;
    setup.home = home;
    setup.programFolder = dir.filePath(QStringLiteral("bin"));
    setup.windows = false;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Startup startup(t.options(false), setup, settings);
    startup.begin(game + "/User");
    QWidget* menu = shownMenu(startup);
    QVERIFY(menu);
    QCOMPARE(named<QLabel>(startup.application()->existingWindow(WindowNames::Splash), "lblInstall")->text(),
             QString(kind).replace("<home>", home) + ": " + QDir::toNativeSeparators(game + "/User"));
    click(named(menu, "lblPlayWA"));
    QTRY_VERIFY(!t.launcher.requests.isEmpty());
    const LaunchRequest request = t.launcher.requests.last();
    QCOMPARE((QStringList{request.program} + request.arguments).mid(0, run.size()),
             run.replaceInStrings("<game>", game));
    QCOMPARE(request.environment.value("WINEPREFIX"), prefix.replace("<home>", home));
    VERIFY_NO_MODAL(t.modalGuard);
}

void TestShell::choiceIsRememberedWhileItsFolderExists()
{
    QTemporaryDir dir;
    TestApp t; // its fakes, and the folder chosen first
    const AppOptions base = t.options(false);
    FinderSetup setup; // an empty home: no copy of the game to find
    setup.home = dir.filePath(QStringLiteral("home"));
    setup.programFolder = dir.filePath(QStringLiteral("bin"));
    setup.windows = false;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    const TestUserFolder& chosen = t.folder;
    chosen.writeProbe();
    TestUserFolder other;

    // Nothing found: only "Other folder…", under where the finder looked. The
    // game folder picked there stands for its User folder.
    Startup first(base, setup, settings);
    first.begin(); // the search runs off this thread
    QTRY_VERIFY(list(first) && list(first)->count() == 1);
    QCOMPARE(list(first)->item(0)->text(), InstallChooser::otherFolderCaption());
    QCOMPARE(named<QLabel>(first.chooser(), "lblChooseGame")->text(), InstallFinder(setup).placesLooked());
    t.prompter.answerFolder(chosen.game());
    QTest::keyClick(list(first), Qt::Key_Return);
    QVERIFY(shownMenu(first));
    QCOMPARE(first.application()->paths().userFolder(), chosen.user());
    QCOMPARE(named<QLabel>(first.application()->existingWindow(WindowNames::Splash), "lblInstall")->text(),
             "Chosen folder: " + QDir::toNativeSeparators(chosen.user()));

    // Next time it opens there at once. Switch Game offers it (selected) and
    // reopens the program on another folder, which is remembered in its place.
    Startup second(base, setup, settings);
    second.begin();
    QWidget* menu = shownMenu(second);
    QVERIFY(menu && !second.chooser());
    click(named(menu, "lblSwitchGame"));
    QTRY_VERIFY(list(second) && list(second)->count() == 2 && !menu->isEnabled());
    QVERIFY(list(second)->currentItem()->text().endsWith(QDir::toNativeSeparators(chosen.user())));
    QVERIFY(list(second)->currentItem()->text().contains(InstallChooser::openNowMark()));
    list(second)->setCurrentRow(1);
    t.prompter.answerFolder(other.user());
    QTest::keyClick(list(second), Qt::Key_Return);
    // The folder picker starts in the game folder open now.
    QCOMPARE(t.prompter.boxes().last().extra, QDir::cleanPath(chosen.game()));
    QTRY_COMPARE(second.application() ? second.application()->paths().userFolder() : QString(), other.user());
    QVERIFY(shownMenu(second));
    QCOMPARE(t.processEnded, 0);

    // Once that folder is gone the user chooses again; Escape ends the program.
    QVERIFY(QDir(other.user()).removeRecursively());
    Startup third(base, setup, settings);
    third.begin();
    QTRY_VERIFY(list(third));
    QTest::keyClick(list(third), Qt::Key_Escape);
    QVERIFY(t.processEnded == 1 && !third.application());
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TestShell::mainMenuByKeyboardAndAssistiveTools()
{
    TestApp t;
    t.folder.writeProbe();
    t.folder.writeFile("Games/" + game);
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu && activate(menu));
    // Tab, Down and Up walk the entries in reading order from the first Tab,
    // each showing its mark; WormKit is hidden without WormKit.exe.
    const QStringList reading{"lblPlayWA", "lblSwitchGame", "lblAbout", "cmdMaps",
                              "cmdGames",  "cmdSounds",     "cmdProg",  "lblMySchemes"};
    const struct {
        Qt::Key press;
        int count;
        QStringList expected;
    } walks[] = {{Qt::Key_Tab, 9, reading + QStringList{"lblPlayWA"}},
                 {Qt::Key_Down, 3, {"lblSwitchGame", "lblAbout", "cmdMaps"}},
                 {Qt::Key_Up, 5, {"lblAbout", "lblSwitchGame", "lblPlayWA", "lblMySchemes", "cmdProg"}}};
    for (const auto& [press, count, expected] : walks) {
        QStringList order;
        for (int i = 0; i < count; ++i) {
            key(menu, press);
            auto* entry = qobject_cast<ClickLabel*>(menu->focusWidget());
            QVERIFY(entry && entry->hasFocusMark());
            // About has no highlight; a box marks it.
            QCOMPARE(entry->frameShape() == QFrame::Box, entry->objectName() == "lblAbout");
            order << entry->objectName();
        }
        QCOMPARE(order, expected);
    }

    // The focused entry wears the hover highlight; the mouse takes it over.
    tabTo(menu, "cmdGames");
    const QColor plain = background(menu);
    QVERIFY(named<ClickLabel>(menu, "lbl2")->backColor() != plain);
    QCOMPARE(named<ClickLabel>(menu, "lbl1")->backColor(), plain);
    hover(named(menu, "cmdMaps"));
    QVERIFY(named<ClickLabel>(menu, "lbl1")->backColor() != plain);
    QCOMPARE(named<ClickLabel>(menu, "lbl2")->backColor(), plain);

    // Enter, Space and the keypad's Enter open the entry focused; Escape comes back.
    const struct {
        Qt::Key activation;
        const char* entry;
        QString window;
    } opened[] = {{Qt::Key_Return, "cmdGames", WindowNames::Games},
                  {Qt::Key_Space, "cmdMaps", WindowNames::Maps},
                  {Qt::Key_Enter, "cmdGames", WindowNames::Games}};
    for (const auto& [activation, entry, window] : opened) {
        QVERIFY(tabTo(menu, entry));
        key(menu, activation);
        QWidget* manager = shownWindow(t, window);
        QVERIFY2(manager, entry);
        QVERIFY(!menu->isVisible());
        key(manager, Qt::Key_Escape);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(activate(menu));
        QTRY_VERIFY(!t.isShown(window));
    }
    QVERIFY(t.prompter.boxes().isEmpty());

    // Assistive tools see the entries as push buttons named by their text.
    // Pressing a button does what a click does: My Games (last) opens its window.
    const struct {
        const char* label;
        QAccessible::Role role;
        const char* name;
    } labels[] = {{"Label1", QAccessible::StaticText, "START"},
                  {"lblPlayWA", QAccessible::Button, "Play WA"},
                  {"cmdGames", QAccessible::Button, "My Games"}};
    for (const auto& [label, role, name] : labels) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(named(menu, label));
        QVERIFY(iface);
        QCOMPARE(iface->role(), role);
        QCOMPARE(iface->text(QAccessible::Name), QLatin1String(name));
        QAccessibleActionInterface* actions = iface->actionInterface();
        const QString press = QAccessibleActionInterface::pressAction();
        QCOMPARE(actions && actions->actionNames().contains(press), role == QAccessible::Button);
        if (actions)
            actions->doAction(press);
    }
    QVERIFY(shownWindow(t, WindowNames::Games));
    QCOMPARE(t.prompter.texts(), QStringList{kWaMissing}); // and Play WA looked for the game

    // Under the warning frame the entries are out of reach, as for the mouse.
    TestApp misplaced;
    MainMenuWindow* warned = misplaced.startToMainMenu();
    QVERIFY(warned && activate(warned));
    QVERIFY(!tabTo(warned, "cmdGames"));
    QVERIFY(tabTo(warned, "lblSwitchGame")); // another copy of the game stays in reach
    key(warned, Qt::Key_Return);
    QCOMPARE(misplaced.switchRequests, 1);
}

void TestShell::transferWindowByKeyboard_data()
{
    QTest::addColumn<int>("finish");
    QTest::addColumn<bool>("moved");
    QTest::newRow("Enter on the transfer button moves") << int(Qt::Key_Return) << true;
    QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << false;
}

void TestShell::transferWindowByKeyboard()
{
    QFETCH(int, finish);
    QFETCH(bool, moved);
    TestApp t;
    t.folder.writeProbe();
    t.folder.writeFile("Games/" + game, "replay");
    t.folder.makeDir("Games/Cups");
    t.create();
    QVERIFY(t.app().openFromMenu(WindowNames::Games));
    GamesWindow* w = gamesWindow(t);
    QVERIFY(w);

    // The grid takes the arrow keys: Down picks the first game.
    QVERIFY(tabTo(w, "Grid1"));
    key(w, Qt::Key_Down);
    QCOMPARE(w->selectedFile(), game);
    QVERIFY(tabTo(w, "cmdMove"));
    key(w, Qt::Key_Space);
    QPointer<QWidget> x = shownWindow(t, WindowNames::GamesTransfer);
    QVERIFY(x);

    // The navigator lists "..", then Cups: Down twice from the top.
    QVERIFY(tabTo(x, "List2"));
    key(x, Qt::Key_Home);
    key(x, Qt::Key_Down);
    QCOMPARE(named<QListWidget>(x, "List2")->currentItem()->text(), QStringLiteral("Cups"));
    if (finish != Qt::Key_Escape)
        QVERIFY(tabTo(x, "cmdMove"));
    key(x, finish);

    QTRY_VERIFY(x.isNull() || !x->isVisible());
    QCOMPARE(t.folder.exists("Games/Cups/" + game), moved);
    QCOMPARE(t.folder.exists("Games/" + game), !moved);
    QVERIFY(gamesWindow(t));
    QVERIFY(t.prompter.boxes().isEmpty());
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
