#include "common/ui/WindowNames.h"
#include "shell/ui/Startup.h"
#include "support/TestApp.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSettings>

namespace {

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

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choiceIsRememberedWhileItsFolderExists();
};

void TestStartup::choiceIsRememberedWhileItsFolderExists()
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

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
