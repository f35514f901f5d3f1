#include "common/core/Launcher.h"
#include "common/core/UnshownNames.h"
#include "common/core/Version.h"
#include "common/ui/AppContext.h"
#include "common/ui/AppWindow.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "shell/ui/MainMenuWindow.h"
#include "shell/ui/SplashWindow.h"
#include "shell/ui/Startup.h"
#include "support/TestApp.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
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

QColor bar(MainMenuWindow* menu, const char* name)
{
    return named<ClickLabel>(menu, QLatin1String(name))->backColor();
}

bool visible(TestApp& t, const QString& name)
{
    QWidget* w = t.existing(name);
    return w && w->isVisible();
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

} // namespace

class TestShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installationCheck_data();
    void installationCheck();
    void wormKitNeedsExactName_data();
    void wormKitNeedsExactName();
    void launching_data();
    void launching();
    void splashDismissedEarlyStillWaitsForTimer();
    void aboutShowsTheSameSplash();
    void ownPicturesWhenUserPicturesAreMissing();
    void hoverMovesTheHighlight();
    void shutdownRemovesTempFilesThenFolder_data();
    void shutdownRemovesTempFilesThenFolder();
    void menuEntryPreparationCanRefuse();
    void gamesHandOver();
    void programsHandOver_data();
    void programsHandOver();
    void closingSplashOrLoadingWindowKeepsTheProgramGoing();
    void strayModalBoxIsClosedNotHung();
    void windowsTellOfNamesTheyCannotShow_data();
    void windowsTellOfNamesTheyCannotShow();
    void choiceIsRememberedWhileItsFolderExists();
};

void TestShell::installationCheck_data()
{
    QTest::addColumn<bool>("probe");
    QTest::newRow("probe present") << true;
    QTest::newRow("probe absent") << false;
}

void TestShell::installationCheck()
{
    QFETCH(bool, probe);
    TestApp t;
    if (probe)
        t.folder.writeProbe();
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    QVERIFY(!visible(t, WindowNames::Splash));
    QWidget* frame2 = named(menu, QStringLiteral("Frame2"));
    QCOMPARE(frame2->isVisible(), !probe);
    // The warning covers every menu choice.
    for (const char* entry : {"cmdMaps", "cmdGames", "cmdSounds", "cmdProg"})
        QVERIFY(probe || frame2->geometry().contains(named(menu, QLatin1String(entry))->geometry().center()));
    // A click on the warning shows "0".
    if (!probe) {
        click(frame2);
        QCOMPARE(t.prompter.texts(), QStringList{QStringLiteral("0")});
    }
    VERIFY_PROMPTER(t.prompter);
}

void TestShell::wormKitNeedsExactName_data()
{
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<bool>("offered");
    QTest::newRow("exact name") << QStringList{"WA.exe", "WormKit.exe"} << true;
    QTest::newRow("other letter case") << QStringList{"WA.exe", "wormkit.exe"} << false;
    QTest::newRow("upper-case extension") << QStringList{"WormKit.EXE"} << false;
    QTest::newRow("no programs") << QStringList{"readme.txt"} << false;
}

void TestShell::wormKitNeedsExactName()
{
    QFETCH(QStringList, gameFiles);
    QFETCH(bool, offered);
    TestApp t;
    for (const QString& f : gameFiles)
        t.folder.writeGameFile(f);
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    QCOMPARE(named(menu, QStringLiteral("lblWormKit"))->isVisible(), offered);
}

void TestShell::launching_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<int>("forced"); // -1: the fake starts what exists
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("message");
    QTest::newRow("game present") << "lblPlayWA" << QStringList{"WA.exe"} << -1 << "WA.exe" << QString();
    QTest::newRow("game in other letter case") << "lblPlayWA" << QStringList{"wa.EXE"} << -1 << "wa.EXE" << QString();
    QTest::newRow("game missing") << "lblPlayWA" << QStringList{} << -1 << QString() << kWaMissing;
    QTest::newRow("start refused") << "lblPlayWA" << QStringList{"WA.exe"} << int(Launcher::Result::Failed) << "WA.exe"
                                   << kWaMissing;
    QTest::newRow("no wine") << "lblPlayWA" << QStringList{"WA.exe"} << int(Launcher::Result::NoWine) << "WA.exe"
                             << "Quillane found WA.exe, but cannot start it: Wine is not installed on this system "
                                "(no 'wine' command on the PATH).";
    QTest::newRow("wormkit") << "lblWormKit" << QStringList{"WormKit.exe"} << -1 << "WormKit.exe" << QString();
    QTest::newRow("wormkit gone since start") << "lblWormKit" << QStringList{"WormKit.exe"}
                                              << int(Launcher::Result::NotFound) << "WormKit.exe" << kWormKitMissing;
}

void TestShell::launching()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, gameFiles);
    QFETCH(int, forced);
    QFETCH(QString, started);
    QFETCH(QString, message);
    TestApp t;
    t.folder.writeProbe();
    for (const QString& f : gameFiles)
        t.folder.writeGameFile(f);
    if (forced >= 0)
        t.launcher.force(Launcher::Result(forced));
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    click(named(menu, entry));
    QCOMPARE(t.launcher.started, started.isEmpty() ? QStringList() : QStringList{t.folder.game() + started});
    if (message.isEmpty()) {
        QVERIFY(t.prompter.boxes().isEmpty());
    } else {
        QCOMPARE(t.prompter.boxes().size(), 1);
        const FakePrompter::Box box = t.prompter.boxes().first();
        QCOMPARE(box.text, message);
        QCOMPARE(box.title, QStringLiteral("WHERE IS IT!? AHHH!"));
    }
    QVERIFY(menu->isVisible());
}

void TestShell::splashDismissedEarlyStillWaitsForTimer()
{
    TestApp t;
    t.intervals.splash = 400;
    t.create();
    QElapsedTimer clock;
    clock.start();
    t.app().start();
    QWidget* splash = t.existing(WindowNames::Splash);
    QVERIFY(splash->isVisible());
    QTest::keyClick(splash, Qt::Key_Space);
    QVERIFY(!splash->isVisible());
    QVERIFY(t.existing(WindowNames::Splash)); // hidden, not unloaded
    QVERIFY(!t.existing(WindowNames::MainMenu));
    QTRY_VERIFY(visible(t, WindowNames::MainMenu));
    QVERIFY(clock.elapsed() >= 400);
    QVERIFY(!splash->isVisible());
}

void TestShell::aboutShowsTheSameSplash()
{
    TestApp t;
    t.create();
    t.app().start();
    auto* splash = static_cast<SplashWindow*>(t.existing(WindowNames::Splash));
    const QString version = named<QLabel>(splash, QStringLiteral("lblVersion"))->text();
    QCOMPARE(version, QStringLiteral("Version %1").arg(QStringLiteral(QUILLANE_VERSION_TEXT)));
    click(named(splash, QStringLiteral("Frame1")));
    QVERIFY(!splash->isVisible());
    QTRY_VERIFY(visible(t, WindowNames::MainMenu));
    auto* menu = static_cast<MainMenuWindow*>(t.existing(WindowNames::MainMenu));

    click(named(menu, QStringLiteral("lblAbout")));
    QCOMPARE(t.existing(WindowNames::Splash), splash); // the same window, not a new one
    QVERIFY(splash->isVisible());
    QCOMPARE(named<QLabel>(splash, QStringLiteral("lblVersion"))->text(), version);
    QTest::qWait(2 * t.intervals.splash);
    QVERIFY(splash->isVisible()); // stays until dismissed
    QVERIFY(menu->isVisible());
    QTest::keyClick(splash, Qt::Key_Escape);
    QVERIFY(!splash->isVisible());
    QVERIFY(menu->isVisible());
}

void TestShell::ownPicturesWhenUserPicturesAreMissing()
{
    TestApp t;
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    QVERIFY(!named<QLabel>(t.existing(WindowNames::Splash), QStringLiteral("imgLogo"))->pixmap().isNull());
    QVERIFY(!named<QLabel>(menu, QStringLiteral("imgArmy"))->pixmap().isNull());
    t.app().reload(WindowNames::Games);
    QVERIFY(!named<QLabel>(t.existing(WindowNames::Loading), QStringLiteral("imgArmy"))->pixmap().isNull());
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
    QWidget* frame1 = named(menu, QStringLiteral("Frame1"));
    QVERIFY(frame1->isVisible());
    QCOMPARE(named<QLabel>(frame1, QStringLiteral("Label3"))->text(), QStringLiteral("Good Bye...."));
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

void TestShell::menuEntryPreparationCanRefuse()
{
    TestApp t;
    t.folder.writeProbe();
    t.create(false);
    int loads = 0;
    bool allow = false;
    t.app().registerWindow(
        WindowNames::Programs, [&](AppContext& c) { return new StandInWindow(c, &loads); },
        [&](AppContext&) { return allow; });
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    hover(named(menu, QStringLiteral("cmdProg")));
    click(named(menu, QStringLiteral("cmdProg")));
    QVERIFY(menu->isVisible());
    QCOMPARE(loads, 0);

    allow = true;
    click(named(menu, QStringLiteral("cmdProg")));
    QVERIFY(!menu->isVisible());
    QVERIFY(visible(t, WindowNames::Programs));
    QCOMPARE(bar(menu, "Label5"), MainMenuWindow::plainColour()); // opening clears the highlight
}

void TestShell::gamesHandOver()
{
    TestApp t;
    t.folder.writeProbe();
    t.create(false);
    int loads = 0;
    t.app().registerWindow(WindowNames::Games, [&](AppContext& c) { return new StandInWindow(c, &loads); });
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    click(named(menu, QStringLiteral("cmdGames")));
    QWidget* first = t.existing(WindowNames::Games);
    QVERIFY(first && first->isVisible());
    QVERIFY(!menu->isVisible());
    QCOMPARE(loads, 1);

    // A change of files: hand over, then the games window closes itself.
    t.app().reload(WindowNames::Games);
    QVERIFY(t.app().reloadPending(WindowNames::Games));
    first->close();
    QVERIFY(visible(t, WindowNames::Loading));
    QVERIFY(!menu->isVisible()); // the loading window stands in for the menu
    QTRY_COMPARE(loads, 2);
    QTRY_VERIFY(!visible(t, WindowNames::Loading));
    QVERIFY(visible(t, WindowNames::Games));
    QVERIFY(!t.app().reloadPending(WindowNames::Games));
    QVERIFY(!menu->isVisible());

    // Closing it without a hand-over goes back to the menu.
    t.existing(WindowNames::Games)->close();
    QVERIFY(menu->isVisible());
    QVERIFY(!visible(t, WindowNames::Loading));
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
    t.folder.writeProbe();
    t.intervals.unloadPrograms = 150;
    t.create(false);
    int loads = 0;
    t.app().registerWindow(WindowNames::Programs, [&](AppContext& c) { return new StandInWindow(c, &loads); });
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    click(named(menu, QStringLiteral("cmdProg")));
    QPointer<QWidget> first = t.existing(WindowNames::Programs);
    QVERIFY(first);

    t.app().reload(WindowNames::Programs);
    QVERIFY(visible(t, WindowNames::Loading));
    if (userClosesDuringRebuild) {
        first->close(); // its unload step sees the rebuild and keeps the loading window
        QVERIFY(visible(t, WindowNames::Loading));
    } else {
        QVERIFY(first->isVisible()); // unloaded only when Timer3 fires
    }
    QVERIFY(!menu->isVisible());
    QTRY_VERIFY(!first);
    QTRY_COMPARE(loads, 2);
    QTRY_VERIFY(!visible(t, WindowNames::Loading));
    QVERIFY(visible(t, WindowNames::Programs));
    QVERIFY(!menu->isVisible());
    QVERIFY(!t.app().reloadPending(WindowNames::Programs));
}

void TestShell::closingSplashOrLoadingWindowKeepsTheProgramGoing()
{
    TestApp t;
    t.folder.writeProbe();
    t.intervals.unloadPrograms = 150;
    t.create(false);
    int loads = 0;
    t.app().registerWindow(WindowNames::Programs, [&](AppContext& c) { return new StandInWindow(c, &loads); });
    t.app().start();
    QWidget* splash = t.existing(WindowNames::Splash);
    splash->close(); // as the window manager's close button would
    QVERIFY(!splash->isVisible());
    QCOMPARE(t.existing(WindowNames::Splash), splash); // still there, its timer still running
    QTRY_VERIFY(visible(t, WindowNames::MainMenu));

    click(named(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    t.app().reload(WindowNames::Programs);
    QWidget* loading = t.existing(WindowNames::Loading);
    QVERIFY(!loading->close()); // the hand-over goes on
    QVERIFY(loading->isVisible());
    QTRY_COMPARE(loads, 2);
    QTRY_VERIFY(!loading->isVisible());
    QVERIFY(visible(t, WindowNames::Programs));
}

void TestShell::strayModalBoxIsClosedNotHung()
{
    // A real box that no script answers must end within moments and be reported.
    ModalGuard guard;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Stray"), QStringLiteral("nobody answers this"));
    QElapsedTimer clock;
    clock.start();
    box.exec();
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(guard.closed(), QStringList{QStringLiteral("Stray")});
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
    first.begin();
    QVERIFY(list(first) && list(first)->count() == 1);
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
    QVERIFY(list(second) && list(second)->count() == 2 && !menu->isEnabled());
    QVERIFY(list(second)->currentItem()->text().endsWith(QDir::toNativeSeparators(chosen.user())));
    list(second)->setCurrentRow(1);
    t.prompter.answerFolder(other.user());
    QTest::keyClick(list(second), Qt::Key_Return);
    QTRY_COMPARE(second.application() ? second.application()->paths().userFolder() : QString(), other.user());
    QVERIFY(shownMenu(second));
    QCOMPARE(t.processEnded, 0);

    // Once that folder is gone the user chooses again; Escape ends the program.
    QVERIFY(QDir(other.user()).removeRecursively());
    Startup third(base, setup, settings);
    third.begin();
    QVERIFY(list(third));
    QTest::keyClick(list(third), Qt::Key_Escape);
    QVERIFY(t.processEnded == 1 && !third.application());
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
