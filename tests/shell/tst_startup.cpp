// Which copy of the game the program opens on: the chooser, the memory of the
// choice, and "Switch Game".
#include "common/ui/WindowNames.h"
#include "shell/ui/InstallChooser.h"
#include "shell/ui/Startup.h"
#include "support/TestApp.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSettings>

namespace {

// The seams of one program run, and where it looks for the game.
struct Run {
    QTemporaryDir dir;
    FakePrompter prompter;
    FakeLauncher launcher;
    FakeDesktop desktop;
    ModalGuard guard;
    int ended = 0;
    AppOptions base;
    FinderSetup setup;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};

    Run()
    {
        base.prompter = &prompter;
        base.launcher = &launcher;
        base.desktop = &desktop;
        base.intervals = TestApp::shortIntervals();
        base.endProcess = [this] { ++ended; };
        base.registerManagers = false;
        setup.home = dir.filePath(QStringLiteral("home"));
        setup.programFolder = dir.filePath(QStringLiteral("bin"));
        setup.windows = false;
    }

    // A Steam library in the home that holds the game.
    QString addSteamGame() const
    {
        const QString apps = setup.home + QStringLiteral("/.local/share/Steam/steamapps");
        QDir().mkpath(apps + QStringLiteral("/common/WA/User"));
        QFile manifest(apps + QStringLiteral("/appmanifest_217200.acf"));
        if (!manifest.open(QIODevice::WriteOnly))
            return QString();
        manifest.write("\"AppState\" { \"installdir\" \"WA\" }");
        QFile exe(apps + QStringLiteral("/common/WA/WA.exe"));
        return exe.open(QIODevice::WriteOnly) ? apps + QStringLiteral("/common/WA/User") : QString();
    }
};

QWidget* shownMenu(Startup& s)
{
    QWidget* menu = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        menu = s.application() ? s.application()->existingWindow(WindowNames::MainMenu) : nullptr;
        return menu && menu->isVisible();
    });
    return shown ? menu : nullptr;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choiceIsRememberedWhileItsFolderExists();
    void switchGameReopensOnAnotherCopy();
};

void TestStartup::choiceIsRememberedWhileItsFolderExists()
{
    Run run;
    TestUserFolder chosen;
    chosen.writeProbe();

    // Nothing found: only "Other folder…", under where the finder looked. The
    // game folder picked there stands for its User folder.
    Startup first(run.base, run.setup, run.settings);
    first.begin();
    InstallChooser* chooser = first.chooser();
    QVERIFY(chooser && chooser->isVisible());
    auto* list = named<QListWidget>(chooser, "lstInstalls");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), InstallChooser::otherFolderCaption());
    QCOMPARE(named<QLabel>(chooser, "lblChooseGame")->text(), InstallFinder(run.setup).placesLooked());
    run.prompter.answerFolder(chosen.game());
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(shownMenu(first));
    QCOMPARE(first.application()->paths().userFolder(), chosen.user());
    // The About box names it.
    QCOMPARE(named<QLabel>(first.application()->existingWindow(WindowNames::Splash), "lblInstall")->text(),
             "Chosen folder: " + QDir::toNativeSeparators(chosen.user()));
    VERIFY_PROMPTER(run.prompter);

    // Next time it opens there at once.
    Startup second(run.base, run.setup, run.settings);
    second.begin();
    QVERIFY(!second.chooser());
    QVERIFY(shownMenu(second));
    QCOMPARE(second.application()->install().kind, GameInstall::Kind::Folder);

    // Once the folder is gone the user chooses again; Escape ends the program.
    QVERIFY(QDir(chosen.user()).removeRecursively());
    Startup third(run.base, run.setup, run.settings);
    third.begin();
    QVERIFY(third.chooser() && third.chooser()->isVisible());
    QTest::keyClick(named(third.chooser(), "lstInstalls"), Qt::Key_Escape);
    QCOMPARE(run.ended, 1);
    QVERIFY(!third.application());
    VERIFY_NO_MODAL(run.guard);
}

void TestStartup::switchGameReopensOnAnotherCopy()
{
    Run run;
    const QString steamUser = run.addSteamGame();
    QVERIFY(!steamUser.isEmpty());
    TestUserFolder first;
    first.writeProbe();
    Startup s(run.base, run.setup, run.settings);
    s.begin(first.user());
    QWidget* menu = shownMenu(s);
    QVERIFY(menu);

    click(named(menu, "lblSwitchGame"));
    QVERIFY(s.chooser() && s.chooser()->isVisible());
    QVERIFY(!menu->isEnabled()); // the program waits for the choice
    auto* list = named<QListWidget>(s.chooser(), "lstInstalls");
    QCOMPARE(list->count(), 2);
    QVERIFY(list->currentItem()->text().startsWith("Steam\n"));
    QTest::keyClick(list, Qt::Key_Return);

    // The windows close as on quitting and open again on the Steam copy.
    QTRY_VERIFY(s.application() && s.application()->install().kind == GameInstall::Kind::Steam);
    QVERIFY(shownMenu(s));
    QCOMPARE(s.application()->paths().userFolder(), steamUser);
    QCOMPARE(run.ended, 0);
    QCOMPARE(run.settings.value("install/kind").toString(), QStringLiteral("steam"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
