#include "common/core/PathCase.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/FileNavBox.h"
#include "common/ui/WindowNames.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/ui/GameTransferWindow.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>

namespace {

const QString gameA = QStringLiteral("2001-10-09 20.15.33 [Online] Anna, Ben.WAgame");
const QString gameB = QStringLiteral("2002-01-01 10.00.00 [Training] Cy.WAgame");
const QString gameC = QStringLiteral("2003-05-06 07.08.09 [Quick CPU] Dee, CPU 1.WAgame");
const QString gameD = QStringLiteral("2000-02-02 02.02.02 [Offline] MissionMaker, Eve.WAgame");

// The Games tree most tests use: two games in Games itself, one in "Cups",
// one in "arena" (listed before Cups: letter case is ignored).
void writeTree(TestApp& t)
{
    t.folder.writeFile("Games/" + gameB, "game B");
    t.folder.writeFile("Games/" + gameA, "game A");
    t.folder.writeFile("Games/notes.txt");
    t.folder.writeFile("Games/Cups/" + gameC, "game C");
    t.folder.writeFile("Games/arena/" + gameD, "game D");
}

GamesWindow* games(TestApp& t)
{
    return qobject_cast<GamesWindow*>(t.existing(WindowNames::Games));
}

// Waits until the games window is in view with its grid filled.
GamesWindow* waitForGames(TestApp& t)
{
    const bool ready = QTest::qWaitFor([&] {
        GamesWindow* w = games(t);
        return w && w->isVisible() && named<QFrame>(w, "Frame3")->isHidden();
    });
    return ready ? games(t) : nullptr;
}

// Opens the games window the way the main menu does.
GamesWindow* reopenGames(TestApp& t)
{
    if (!t.app().openFromMenu(WindowNames::Games))
        return nullptr;
    return waitForGames(t);
}

GamesWindow* openGames(TestApp& t)
{
    t.create();
    return reopenGames(t);
}

// The games window rebuilt through the loading window after `old` closed.
GamesWindow* waitForReopen(TestApp& t, QPointer<GamesWindow> old)
{
    if (!QTest::qWaitFor([&] { return old.isNull(); }))
        return nullptr;
    return waitForGames(t);
}

QTableView* grid(QWidget* w)
{
    return named<QTableView>(w, "Grid1");
}

QStringList gridColumn(QWidget* w, int column)
{
    QStringList out;
    const QAbstractItemModel* model = grid(w)->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, column).data().toString();
    return out;
}

QStringList listEntries(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void clickRow(QWidget* w, int row)
{
    QTableView* view = grid(w);
    const QRect rect = view->visualRect(view->model()->index(row, GamesTableModel::PlayersColumn));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Clicks the row of the game named `file`.
bool clickGame(QWidget* w, const QString& file)
{
    const int row = gridColumn(w, 0).indexOf(file);
    if (row < 0)
        return false;
    clickRow(w, row);
    return true;
}

void pickFolder(QWidget* w, const QString& name)
{
    auto* list = named<QListWidget>(w, "lstFolderPick");
    const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(items.first()).center());
}

GameTransferWindow* openTransfer(TestApp& t, GamesWindow* w, const char* button)
{
    click(named(w, QLatin1String(button)));
    auto* x = qobject_cast<GameTransferWindow*>(t.existing(WindowNames::GamesTransfer));
    return x && x->isVisible() ? x : nullptr;
}

// Clicks the navigator entry `entry` of the transfer window.
bool pickEntry(GameTransferWindow* x, const QString& entry)
{
    auto* list = named<QListWidget>(named(x, "FileNavBox1"), "List2");
    const QList<QListWidgetItem*> items = list->findItems(entry, Qt::MatchExactly);
    if (items.isEmpty())
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(items.first()).center());
    return true;
}

void compareBox(const FakePrompter::Box& box, const QString& text, const QString& title, Prompter::Buttons buttons,
                Prompter::Icon icon)
{
    QCOMPARE(box.text, text);
    QCOMPARE(box.title, title);
    QCOMPARE(int(box.buttons), int(buttons));
    QCOMPARE(int(box.icon), int(icon));
}

} // namespace

class GamesWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void opensFilledInFillOrder();
    void waitingPanelUntilFirstFill();
    void emptyOrMissingGamesFolder();
    void rowClickFillsFileAndFolder();
    void goShowsOneFolder();
    void sortLabelsAndHeaders();
    void dateFormatChosenAndKept();
    void noGameSelected_data();
    void noGameSelected();
    void viewTwiceOverwritesTheCopy();
    void viewCopyIsDeletedByTheRetryTimer();
    void gameGoneFromDisk_data();
    void gameGoneFromDisk();
    void deleteGameAfterGo();
    void deleteGameAnsweredNo();
    void deleteFolderRefusesDefault();
    void deleteFolderRemovesItsGames();
    void deleteFolderReportsWhatStays();
    void createFolder();
    void createFolderRefusesNames_data();
    void createFolderRefusesNames();
    void menusAndPopups();
    void hoverColoursAndLayout();
    void closingRepointsTempListAndShowsMenu();

    void copyReplacesSameNameGame();
    void moveToAnotherFolder();
    void moveIntoOwnFolderIsRefused_data();
    void moveIntoOwnFolderIsRefused();
    void failedCopyKeepsTheSource();
    void tempIsNoDestination();
    void destinationOutsideGamesIsRefused();
    void cancelLeavesEverything();
    void transferWindowFolders();
    void transferHover();
};

void GamesWindowsTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
}

void GamesWindowsTest::init()
{
    GamesSettings::setDateFormat(0);
}

void GamesWindowsTest::opensFilledInFillOrder()
{
    TestApp t;
    writeTree(t);
    t.folder.writeFile("Games/Temp/" + gameA, "viewed");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QAbstractItemModelTester tester(grid(w)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(w->windowTitle(), QStringLiteral("\"The Quillane\" - My Recorded Games c('.'C)"));

    // Games itself first, then the folders in the navigator's order; in each
    // folder by name. Temp is a folder like any other.
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameD, gameC, gameA}));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default", "arena", "Cups", "Temp"}));
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("Tuesday, October 9th, 2001"));
    QCOMPARE(gridColumn(w, 2).first(), QStringLiteral(" 20.15.33"));
    QCOMPARE(gridColumn(w, 3), QStringList({"Online", "Training", "Offline", "Quick", "Online"}));
    QCOMPARE(gridColumn(w, 4), QStringList({"Anna, Ben", "Cy", "MissionMaker, Eve", "Dee, CPU 1", "Anna, Ben"}));
    QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")), QStringList({"Default", "arena", "Cups", "Temp"}));

    QTableView* view = grid(w);
    QVERIFY(view->isColumnHidden(0));
    const QStringList headers{"", "Date", "Time", "Mode", "Players & Teams", "Folder"};
    const int widths[] = {0, 200, 66, 66, 266, 133};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        if (c > 0 && c < 5)
            QCOMPARE(view->horizontalHeader()->sectionSize(c), widths[c]);
    }
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void GamesWindowsTest::waitingPanelUntilFirstFill()
{
    TestApp t;
    writeTree(t);
    t.create();
    QVERIFY(t.app().openFromMenu(WindowNames::Games));
    GamesWindow* w = games(t);
    // Shown first, filled a moment later.
    QFrame* frame3 = named<QFrame>(w, "Frame3");
    QVERIFY(frame3->isVisible());
    QCOMPARE(named<QLabel>(frame3, "lblPopulating")->text(),
             QStringLiteral("             --Populating list--              (>'.')>PLEASE WAIT<('.'<)"));
    QCOMPARE(grid(w)->model()->rowCount(), 0);
    QTRY_VERIFY(frame3->isHidden());
    QCOMPARE(grid(w)->model()->rowCount(), 4);
}

void GamesWindowsTest::emptyOrMissingGamesFolder()
{
    {
        TestApp t;
        GamesWindow* w = openGames(t);
        QVERIFY(w);
        QCOMPARE(grid(w)->model()->rowCount(), 0);
        QCOMPARE(grid(w)->model()->columnCount(), 6);
        QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")), QStringList({"Default"}));
    }
    {
        TestApp t;
        t.folder.makeDir("Games/Empty");
        GamesWindow* w = openGames(t);
        QVERIFY(w);
        QCOMPARE(grid(w)->model()->rowCount(), 0);
        QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")), QStringList({"Default", "Empty"}));
    }
}

void GamesWindowsTest::rowClickFillsFileAndFolder()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* txtFile = named<QLineEdit>(w, "txtFile");
    auto* txtFolder = named<QLineEdit>(w, "txtFolder");
    QCOMPARE(txtFile->text(), QString());
    QVERIFY(clickGame(w, gameB));
    QCOMPARE(txtFile->text(), gameB);
    QCOMPARE(txtFolder->text(), QStringLiteral("Default\\"));
    QVERIFY(clickGame(w, gameC));
    QCOMPARE(txtFile->text(), gameC);
    QCOMPARE(txtFolder->text(), QStringLiteral("Cups\\"));
    QCOMPARE(w->selectedFolder(), QStringLiteral("Cups"));
    // The selection follows its game through a sort.
    click(named(w, "cmdSort2"));
    QCOMPARE(txtFile->text(), gameC);
    QCOMPARE(grid(w)->currentIndex().siblingAtColumn(0).data().toString(), gameC);
}

void GamesWindowsTest::goShowsOneFolder()
{
    TestApp t;
    writeTree(t);
    t.folder.writeFile("Games/Cups/" + gameA, "cup A");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameB));

    pickFolder(w, "Cups");
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameC}));
    QCOMPARE(gridColumn(w, 5), QStringList({"Cups", "Cups"}));
    QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")), QStringList({"Default", "arena", "Cups"}));
    // A new list has no game selected.
    QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), QString());

    pickFolder(w, "Default");
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB}));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default"}));

    // Go with no folder picked shows the Games folder itself.
    pickFolder(w, "Cups");
    click(named(w, "cmdGo"));
    named<QListWidget>(w, "lstFolderPick")->setCurrentRow(-1);
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default"}));
}

void GamesWindowsTest::sortLabelsAndHeaders()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* sortMode = named<ClickLabel>(w, "cmdSort1");
    QCOMPARE(sortMode->text(), QStringLiteral("SORT"));
    QCOMPARE(sortMode->property("tag").toString(), QStringLiteral("1"));
    click(sortMode);
    QCOMPARE(gridColumn(w, 3), QStringList({"Offline", "Online", "Quick", "Training"}));
    QCOMPARE(sortMode->property("tag").toString(), QStringLiteral("2"));
    click(sortMode);
    QCOMPARE(gridColumn(w, 3), QStringList({"Training", "Quick", "Online", "Offline"}));
    QCOMPARE(sortMode->property("tag").toString(), QStringLiteral("1"));

    click(named(w, "cmdSort2")); // players, letter case counting
    QCOMPARE(gridColumn(w, 4), QStringList({"Anna, Ben", "Cy", "Dee, CPU 1", "MissionMaker, Eve"}));
    click(named(w, "cmdSort3")); // time
    QCOMPARE(gridColumn(w, 2), QStringList({" 02.02.02", " 07.08.09", " 10.00.00", " 20.15.33"}));

    // A click on the Date header sorts by the calendar, not by the text.
    QHeaderView* header = grid(w)->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(1) + 20, header->height() / 2));
    QCOMPARE(gridColumn(w, 0), QStringList({gameD, gameA, gameB, gameC}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(1) + 20, header->height() / 2));
    QCOMPARE(gridColumn(w, 0), QStringList({gameC, gameB, gameA, gameD}));

    // RESET LIST rebuilds the grid in fill order.
    QPointer<GamesWindow> old = w;
    click(named(w, "cmdReset"));
    w = waitForReopen(t, old);
    QVERIFY(w);
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameD, gameC}));
}

void GamesWindowsTest::dateFormatChosenAndKept()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* chooser = named<QComboBox>(w, "List1");
    QCOMPARE(chooser->count(), 30);
    QCOMPARE(chooser->itemText(0), QStringLiteral("Tuesday, October 9th, 2001"));
    QCOMPARE(chooser->itemText(29), QString::fromUtf8("9•10•01"));
    QCOMPARE(chooser->currentIndex(), 0);
    chooser->setCurrentIndex(15);
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("09/10/2001"));

    QPointer<GamesWindow> old = w;
    w->close();
    QTRY_VERIFY(old.isNull());
    w = reopenGames(t);
    QVERIFY(w);
    QCOMPARE(named<QComboBox>(w, "List1")->currentIndex(), 15);
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("09/10/2001"));
}

void GamesWindowsTest::noGameSelected_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::newRow("view") << "cmdView"
                          << "Select a Game to view c('.'C)"
                          << "Hold your horses!" << int(Prompter::Icon::Information);
    QTest::newRow("copy") << "cmdCopy"
                          << "Select A Recorded Game to Copy. c('.'C)"
                          << "Denied! xD" << int(Prompter::Icon::None);
    QTest::newRow("move") << "cmdMove"
                          << "Select A Recorded Game to move. c('.'C)"
                          << "Denied! xD" << int(Prompter::Icon::None);
    QTest::newRow("delete") << "cmdDelete"
                            << "Select a Game to delete c('.'C)"
                            << "Hold your horses!" << int(Prompter::Icon::Information);
}

void GamesWindowsTest::noGameSelected()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, icon);
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QStringList before = t.folder.entries("Games");
    click(named(w, button));
    QCOMPARE(t.prompter.boxes().size(), 1);
    compareBox(t.prompter.boxes().first(), text, title, Prompter::Buttons::Ok, Prompter::Icon(icon));
    QVERIFY(w->isVisible());
    QVERIFY(!t.existing(WindowNames::GamesTransfer));
    QVERIFY(!t.folder.exists("Games/Temp"));
    QVERIFY(t.desktop.folders.isEmpty());
    QCOMPARE(t.folder.entries("Games"), before);
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::viewTwiceOverwritesTheCopy()
{
    TestApp t;
    t.intervals.tempDeleteRetry = 60 * 60 * 1000;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameC));
    click(named(w, "cmdView"));
    QCOMPARE(t.folder.read("Games/Temp/" + gameC), QByteArray("game C"));
    QCOMPARE(t.desktop.folders, QStringList({t.folder.path("Games/Temp")}));
    QVERIFY(named<QTimer>(w, "timDelete")->isActive());
    QCOMPARE(named<QTimer>(w, "timDelete")->interval(), t.intervals.tempDeleteRetry);

    t.folder.writeFile("Games/Cups/" + gameC, "game C, newer");
    click(named(w, "cmdView"));
    QCOMPARE(t.folder.read("Games/Temp/" + gameC), QByteArray("game C, newer"));
    QCOMPARE(t.desktop.folders.size(), 2);
    QCOMPARE(t.folder.read("Games/Cups/" + gameC), QByteArray("game C, newer"));
    QVERIFY(t.prompter.boxes().isEmpty());
}

void GamesWindowsTest::viewCopyIsDeletedByTheRetryTimer()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameA));
    click(named(w, "cmdView"));
    QTRY_VERIFY(!t.folder.exists("Games/Temp/" + gameA));
    QVERIFY(t.folder.exists("Games/" + gameA));
    // It keeps running: a copy that could not go yet goes at a later tick.
    QVERIFY(named<QTimer>(w, "timDelete")->isActive());
    t.folder.writeFile("Games/Temp/" + gameA, "back again");
    QTRY_VERIFY(!t.folder.exists("Games/Temp/" + gameA));
}

void GamesWindowsTest::gameGoneFromDisk_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("view") << "cmdView" << gameC + " could not be copied for viewing: the file "
                          << "View Game";
    QTest::newRow("delete") << "cmdDelete" << gameC + " could not be deleted. =("
                            << "Delete Game";
    QTest::newRow("copy") << "cmdCopy" << gameC + " could not be copied to the Default folder: the file "
                          << "Transfer Failed";
}

// A game deleted by another program after the grid was filled: every
// operation says so instead of reporting success.
void GamesWindowsTest::gameGoneFromDisk()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QString, title);
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameC));
    QVERIFY(QFile::remove(t.folder.path("Games/Cups/" + gameC)));
    if (button == "cmdDelete")
        t.prompter.answerYes();
    click(named(w, button));
    if (button == "cmdCopy") {
        auto* x = qobject_cast<GameTransferWindow*>(t.existing(WindowNames::GamesTransfer));
        QVERIFY(x);
        QVERIFY(pickEntry(x, ".."));
        click(named(x, "cmdMove"));
        QVERIFY(x->isVisible());
    }
    const FakePrompter::Box box = t.prompter.boxes().last();
    QVERIFY2(box.text.startsWith(text), qPrintable(box.text));
    QCOMPARE(box.title, title);
    QCOMPARE(int(box.icon), int(Prompter::Icon::Exclamation));
    QVERIFY(t.desktop.folders.isEmpty());
    QVERIFY(!named<QTimer>(w, "timDelete")->isActive());
    QVERIFY(!t.folder.exists("Games/" + gameC));
    QVERIFY(!t.existing(WindowNames::Loading) || !t.existing(WindowNames::Loading)->isVisible());
    QCOMPARE(games(t), w);
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::deleteGameAfterGo()
{
    TestApp t;
    writeTree(t);
    t.folder.writeFile("Games/Cups/" + gameA, "cup A");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    pickFolder(w, "Cups");
    click(named(w, "cmdGo"));
    QVERIFY(clickGame(w, gameA));
    t.prompter.answerYes();
    QPointer<GamesWindow> old = w;
    click(named(w, "cmdDelete"));
    compareBox(t.prompter.boxes().first(), "Are you sure you want to delete " + gameA + "?", "Delete?",
               Prompter::Buttons::YesNo, Prompter::Icon::Question);
    // The game of the folder shown went; the one of the same name in Games stays.
    QVERIFY(!t.folder.exists("Games/Cups/" + gameA));
    QVERIFY(t.folder.exists("Games/" + gameA));
    w = waitForReopen(t, old);
    QVERIFY(w);
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameD, gameC}));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::deleteGameAnsweredNo()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameB));
    t.prompter.answerNo();
    click(named(w, "cmdDelete"));
    QVERIFY(t.folder.exists("Games/" + gameB));
    QCOMPARE(games(t), w);
    QVERIFY(w->isVisible());
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::deleteFolderRefusesDefault()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* action = w->findChild<QAction*>("mnuDeleteFolder");
    action->trigger(); // nothing picked: the Games folder itself
    pickFolder(w, "Default");
    action->trigger();
    QCOMPARE(t.prompter.boxes().size(), 2);
    for (const FakePrompter::Box& box : t.prompter.boxes())
        compareBox(box, "Sorry, you cannot delete this Folder since it is the 'Default' folder. =(", "Deletion Denied",
                   Prompter::Buttons::Ok, Prompter::Icon::Information);
    QVERIFY(t.folder.exists("Games/" + gameA));
    QVERIFY(t.folder.exists("Games/Cups"));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::deleteFolderRemovesItsGames()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    pickFolder(w, "Cups");
    t.prompter.answerYes();
    QPointer<GamesWindow> old = w;
    w->findChild<QAction*>("mnuDeleteFolder")->trigger();
    QCOMPARE(t.prompter.texts(),
             QStringList({"Are you sure you want to delete the 'Cups' folder? All of its contents will be deleted. "
                          "c('.'C)",
                          "Folder successfully deleted! <(^.^)>"}));
    compareBox(t.prompter.boxes().at(0), t.prompter.texts().at(0), "Delete Folder?", Prompter::Buttons::YesNo,
               Prompter::Icon::Question);
    compareBox(t.prompter.boxes().at(1), t.prompter.texts().at(1), "The Quillane", Prompter::Buttons::Ok,
               Prompter::Icon::None);
    QVERIFY(!t.folder.exists("Games/Cups"));
    w = waitForReopen(t, old);
    QVERIFY(w);
    QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")), QStringList({"Default", "arena"}));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::deleteFolderReportsWhatStays()
{
    TestApp t;
    writeTree(t);
    t.folder.writeFile("Games/Cups/Old/keep.txt");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    pickFolder(w, "Cups");
    t.prompter.answerYes();
    QPointer<GamesWindow> old = w;
    w->findChild<QAction*>("mnuDeleteFolder")->trigger();
    QCOMPARE(t.prompter.boxes().size(), 2);
    compareBox(t.prompter.boxes().at(1),
               "The folder 'Cups' could not be removed: it still holds folders or files that could not be deleted. =(",
               "Delete Folder", Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
    QVERIFY(!t.folder.exists("Games/Cups/" + gameC));
    QVERIFY(t.folder.exists("Games/Cups/Old/keep.txt"));
    // Its games went, so the window is rebuilt all the same.
    QVERIFY(waitForReopen(t, old));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::createFolder()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    t.prompter.answerInput("Season 2");
    QPointer<GamesWindow> old = w;
    click(named(w, "cmdCreate"));
    const FakePrompter::Box& ask = t.prompter.boxes().at(0);
    QCOMPARE(int(ask.kind), int(FakePrompter::Kind::Input));
    QCOMPARE(ask.text, QStringLiteral("What would you like to name the new folder? c('.'C)"));
    QCOMPARE(ask.title, QStringLiteral("Create New Folder"));
    compareBox(t.prompter.boxes().at(1), "'Season 2' folder successfully created! <(^.^)>", "The Quillane",
               Prompter::Buttons::Ok, Prompter::Icon::None);
    QVERIFY(QFileInfo(t.folder.path("Games/Season 2")).isDir());
    // The loading window is in view until the window is back.
    QVERIFY(t.existing(WindowNames::Loading)->isVisible());
    w = waitForReopen(t, old);
    QVERIFY(w);
    QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")),
             QStringList({"Default", "arena", "Cups", "Season 2"}));
    QVERIFY(!t.existing(WindowNames::Loading)->isVisible());

    // Cancel (an empty answer) makes nothing.
    t.prompter.clear();
    t.prompter.answerInput(QString());
    click(named(w, "cmdCreate"));
    QCOMPARE(t.prompter.boxes().size(), 1);
    QCOMPARE(games(t), w);
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::createFolderRefusesNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("climbs out") << "../Evil"
                                << "'../Evil' is not a valid name: a name cannot contain / or \\.";
    QTest::newRow("two levels") << "a/b"
                                << "'a/b' is not a valid name: a name cannot contain / or \\.";
    QTest::newRow("backslash") << "..\\Evil"
                               << "'..\\Evil' is not a valid name: a name cannot contain / or \\.";
    QTest::newRow("parent") << ".."
                            << "'..' is not a valid name.";
    QTest::newRow("dot") << "."
                         << "'.' is not a valid name.";
    QTest::newRow("device") << "CON"
                            << "'CON' is not a valid name: Windows reserves it for a device.";
    QTest::newRow("blank") << "   "
                           << "Please type a name.";
    QTest::newRow("Default") << "default"
                             << "'Default' is how the Games folder itself is shown, so a folder cannot have that "
                                "name. Please choose another one. c('.'C)";
    QTest::newRow("exists") << "Cups"
                            << "There is already a folder named 'Cups'. Please choose another name. c('.'C)";
    QTest::newRow("exists, other case")
        << "CUPS"
        << "There is already a folder named 'CUPS'. Please choose another name. c('.'C)";
    QTest::newRow("a game's name") << gameA
                                   << "There is already a folder named '" + gameA +
                                          "'. Please choose another name. c('.'C)";
}

void GamesWindowsTest::createFolderRefusesNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QStringList before = t.folder.entries("Games");
    const QStringList userBefore = t.folder.entries("");
    t.prompter.answerInput(name);
    click(named(w, "cmdCreate"));
    QCOMPARE(t.prompter.boxes().size(), 2);
    compareBox(t.prompter.boxes().at(1), message, "Create New Folder", Prompter::Buttons::Ok,
               Prompter::Icon::Exclamation);
    QCOMPARE(t.folder.entries("Games"), before);
    QCOMPARE(t.folder.entries(""), userBefore);
    QVERIFY(!QFileInfo::exists(t.folder.game() + "Evil"));
    QCOMPARE(games(t), w); // no reload
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::menusAndPopups()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* file = w->findChild<QMenu*>("mnuFile");
    auto* folder = w->findChild<QMenu*>("mnuFolder");
    QCOMPARE(file->title(), QStringLiteral("File"));
    QCOMPARE(folder->title(), QStringLiteral("Folder"));
    QStringList captions;
    for (QAction* a : file->actions())
        captions << a->objectName() + "=" + a->text();
    for (QAction* a : folder->actions())
        captions << a->objectName() + "=" + a->text();
    QCOMPARE(captions, QStringList({"mnuView=View Game", "mnuDelete=Delete Game", "mnuMove=Move File",
                                    "mnuCopy=Copy File", "mnuCreate=Create Folder", "mnuDeleteFolder=Delete Folder"}));

    // A right-button press on a row picks it and pops up the File menu.
    QTableView* view = grid(w);
    const int row = gridColumn(w, 0).indexOf(gameC);
    QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier,
                      view->visualRect(view->model()->index(row, 4)).center());
    QTRY_VERIFY(file->isVisible());
    QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), gameC);
    file->hide();
    auto* list = named<QListWidget>(w, "lstFolderPick");
    QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
    QTRY_VERIFY(folder->isVisible());
    QCOMPARE(list->currentItem()->text(), QStringLiteral("Cups"));
    folder->hide();

    // The menu entries run the buttons' actions.
    w->findChild<QAction*>("mnuCopy")->trigger();
    QVERIFY(t.existing(WindowNames::GamesTransfer)->isVisible());
    QVERIFY(!w->isVisible());
    click(named(t.existing(WindowNames::GamesTransfer), "cmdCancel"));
    QTRY_VERIFY(w->isVisible());
    t.prompter.answerInput(QString());
    w->findChild<QAction*>("mnuCreate")->trigger();
    QCOMPARE(t.prompter.boxes().last().title, QStringLiteral("Create New Folder"));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::hoverColoursAndLayout()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QColor yellow(255, 255, 0);
    const QColor green(192, 255, 192);
    QCOMPARE(GamesWindow::hoverColour(), yellow);
    QCOMPARE(GamesWindow::buttonColour(), green);
    const QStringList buttons{"cmdView",  "cmdDelete", "cmdMove",  "cmdCopy",  "cmdCreate",
                              "cmdReset", "cmdGo",     "cmdSort1", "cmdSort2", "cmdSort3"};
    for (const QString& name : buttons)
        QCOMPARE(named<ClickLabel>(w, name)->backColor(), green);

    // Places over the window, the control panel, the grid, the picture and
    // the folder list (clear of any button).
    const QList<QPair<QWidget*, QPoint>> resetters{
        {w, QPoint(380, 60)},
        {named(w, "Frame2"), QPoint(186, 84)},
        {grid(w)->viewport(), QPoint()},
        {named(w, "imgArmy"), QPoint()},
        {named<QListWidget>(w, "lstFolderPick")->viewport(), QPoint()},
    };
    for (const QString& hovered : buttons) {
        for (const auto& [target, pos] : resetters) {
            hover(named(w, hovered));
            for (const QString& name : buttons)
                QCOMPARE(named<ClickLabel>(w, name)->backColor(), name == hovered ? yellow : green);
            hover(target, pos);
            for (const QString& name : buttons)
                QCOMPARE(named<ClickLabel>(w, name)->backColor(), green);
        }
    }

    // The grid takes the window's width less 10 pixels and its height less 150.
    w->resize(1000, 700);
    QCOMPARE(grid(w)->size(), QSize(990, 550));
    w->resize(820, 400);
    QCOMPARE(grid(w)->size(), QSize(810, 250));
    // The sort labels stay over their columns.
    const QHeaderView* header = grid(w)->horizontalHeader();
    QCOMPARE(named(w, "cmdSort1")->x(), grid(w)->x() + grid(w)->frameWidth() + header->sectionViewportPosition(3));
    QCOMPARE(named(w, "cmdSort3")->x(), grid(w)->x() + grid(w)->frameWidth() + header->sectionViewportPosition(2));
}

void GamesWindowsTest::closingRepointsTempListAndShowsMenu()
{
    TestApp t;
    t.intervals.tempDeleteRetry = 60 * 60 * 1000;
    writeTree(t);
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    click(named(menu, "cmdGames"));
    GamesWindow* w = waitForGames(t);
    QVERIFY(w);
    QVERIFY(!menu->isVisible());
    QVERIFY(clickGame(w, gameA));
    click(named(w, "cmdView"));
    QPointer<GamesWindow> old = w;
    w->close();
    QTRY_VERIFY(old.isNull());
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->tempGamesList().folder(), t.folder.path("Games/Temp"));
    QVERIFY(menu->tempGamesList().names().contains(gameA));
}

void GamesWindowsTest::copyReplacesSameNameGame()
{
    TestApp t;
    writeTree(t);
    t.folder.writeFile("Games/Cups/" + gameA, "older copy");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameA));
    GameTransferWindow* x = openTransfer(t, w, "cmdCopy");
    QVERIFY(x);
    QVERIFY(!w->isVisible());
    QCOMPARE(x->windowTitle(), "Moving " + gameA + " To:");
    QCOMPARE(named<QLabel>(x, "lblMain")->text(), QStringLiteral("Select Folder"));
    QCOMPARE(named<QAbstractButton>(x, "cmdMove")->text(), QStringLiteral("T R A N S F E R  F I L E c('.'C)"));
    QVERIFY(named<QLabel>(x, "lblTransfers")->isHidden());
    QVERIFY(pickEntry(x, "Cups"));
    QPointer<GamesWindow> old = w;
    click(named(x, "cmdMove"));
    QCOMPARE(t.folder.read("Games/Cups/" + gameA), QByteArray("game A"));
    QCOMPARE(t.folder.read("Games/" + gameA), QByteArray("game A"));
    QVERIFY(t.prompter.boxes().isEmpty());
    w = waitForReopen(t, old);
    QVERIFY(w);
    QVERIFY(!t.existing(WindowNames::GamesTransfer));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default", "arena", "Cups", "Cups"}));
}

void GamesWindowsTest::moveToAnotherFolder()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameC));
    GameTransferWindow* x = openTransfer(t, w, "cmdMove");
    QVERIFY(x);
    QVERIFY(pickEntry(x, "..")); // the Games folder itself
    QPointer<GamesWindow> old = w;
    click(named(x, "cmdMove"));
    QVERIFY(!t.folder.exists("Games/Cups/" + gameC));
    QCOMPARE(t.folder.read("Games/" + gameC), QByteArray("game C"));
    w = waitForReopen(t, old);
    QVERIFY(w);
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameC, gameD}));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::moveIntoOwnFolderIsRefused_data()
{
    QTest::addColumn<QString>("game");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("move in Default") << gameA << ".."
                                     << "cmdMove" << gameA + " is already in the Default folder! c('.'C)";
    QTest::newRow("copy in Cups") << gameC << "Cups"
                                  << "cmdCopy" << gameC + " is already in the Cups folder! c('.'C)";
}

void GamesWindowsTest::moveIntoOwnFolderIsRefused()
{
    QFETCH(QString, game);
    QFETCH(QString, entry);
    QFETCH(QString, button);
    QFETCH(QString, message);
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, game));
    GameTransferWindow* x = openTransfer(t, w, qPrintable(button));
    QVERIFY(x);
    QVERIFY(pickEntry(x, entry));
    click(named(x, "cmdMove"));
    compareBox(t.prompter.boxes().first(), message, "The Quillane", Prompter::Buttons::Ok, Prompter::Icon::None);
    QVERIFY(t.folder.exists(game == gameA ? "Games/" + gameA : "Games/Cups/" + gameC));
    QVERIFY(named<QLabel>(x, "lblTransfers")->isHidden());
    QVERIFY(x->isVisible()); // another folder can be picked
    QCOMPARE(games(t), w);
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::failedCopyKeepsTheSource()
{
    TestApp t;
    writeTree(t);
    // Something of the game's name already stands in Cups, but the copy
    // cannot take its place: that is no proof of a copy.
    t.folder.makeDir("Games/Cups/" + gameA);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameA));
    GameTransferWindow* x = openTransfer(t, w, "cmdMove");
    QVERIFY(x);
    QVERIFY(pickEntry(x, "Cups"));
    click(named(x, "cmdMove"));
    QCOMPARE(t.prompter.boxes().size(), 1);
    const FakePrompter::Box box = t.prompter.boxes().first();
    QVERIFY2(box.text.startsWith(gameA + " could not be moved to the Cups folder: "), qPrintable(box.text));
    QCOMPARE(box.title, QStringLiteral("Transfer Failed"));
    QCOMPARE(int(box.icon), int(Prompter::Icon::Exclamation));
    QCOMPARE(t.folder.read("Games/" + gameA), QByteArray("game A"));
    QVERIFY(x->isVisible());
    QCOMPARE(games(t), w);
}

void GamesWindowsTest::tempIsNoDestination()
{
    TestApp t;
    writeTree(t);
    t.folder.makeDir("Games/temp");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    // Listed like any folder, so that the copies being viewed can be seen...
    QVERIFY(listEntries(named<QListWidget>(w, "lstFolderPick")).contains("temp"));
    QVERIFY(clickGame(w, gameA));
    GameTransferWindow* x = openTransfer(t, w, "cmdMove");
    QVERIFY(x);
    QVERIFY(pickEntry(x, "temp"));
    click(named(x, "cmdMove"));
    // ...but emptied at exit, so no game is put there.
    compareBox(t.prompter.boxes().first(),
               "The Temp folder only holds copies of games being viewed, and it is emptied when The Quillane closes. "
               "Please pick another folder. c('.'C)",
               "Denied! xD", Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
    QVERIFY(t.folder.exists("Games/" + gameA));
    QVERIFY(t.folder.entries("Games/temp").isEmpty());
}

void GamesWindowsTest::destinationOutsideGamesIsRefused()
{
    TestApp t;
    writeTree(t);
    t.folder.makeDir("Elsewhere");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameA));
    GameTransferWindow* x = openTransfer(t, w, "cmdCopy");
    QVERIFY(x);
    // The user lists the User folder in the navigator's path box.
    auto* nav = named<FileNavBox>(x, "FileNavBox1");
    nav->setPath(t.folder.user());
    nav->refresh();
    QVERIFY(pickEntry(x, "Elsewhere"));
    click(named(x, "cmdMove"));
    compareBox(t.prompter.boxes().first(), "Please pick one of the folders of your Games folder. c('.'C)", "Denied! xD",
               Prompter::Buttons::Ok, Prompter::Icon::Information);
    QVERIFY(t.folder.entries("Elsewhere").isEmpty());
    QVERIFY(t.folder.entries("Games/Elsewhere").isEmpty());
    // The navigator lists the folders of Games again.
    QVERIFY(pickEntry(x, "Cups"));

    // No entry picked at all.
    nav->refresh();
    t.prompter.clear();
    click(named(x, "cmdMove"));
    compareBox(t.prompter.boxes().first(), "Select a folder first. c('.'C)", "Denied! xD", Prompter::Buttons::Ok,
               Prompter::Icon::Information);
    QCOMPARE(t.folder.entries("Games/Cups"), QStringList({gameC}));
}

void GamesWindowsTest::cancelLeavesEverything()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameC));
    const QStringList root = t.folder.entries("Games");
    const QStringList cups = t.folder.entries("Games/Cups");
    GameTransferWindow* x = openTransfer(t, w, "cmdMove");
    QVERIFY(x);
    QVERIFY(pickEntry(x, "arena"));
    QPointer<GameTransferWindow> transfer = x;
    click(named(x, "cmdCancel"));
    QTRY_VERIFY(transfer.isNull());
    QCOMPARE(games(t), w);
    QVERIFY(w->isVisible());
    QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), gameC);
    QCOMPARE(t.folder.entries("Games"), root);
    QCOMPARE(t.folder.entries("Games/Cups"), cups);
    QCOMPARE(t.folder.entries("Games/arena"), QStringList({gameD}));
    QVERIFY(t.prompter.boxes().isEmpty());
}

void GamesWindowsTest::transferWindowFolders()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameA));
    GameTransferWindow* x = openTransfer(t, w, "cmdCopy");
    QVERIFY(x);
    auto* nav = named<FileNavBox>(x, "FileNavBox1");
    auto entries = [nav] {
        QStringList out;
        for (int i = 0; i < nav->listCount(); ++i)
            out << nav->list(i);
        return out;
    };
    QCOMPARE(entries(), QStringList({"..", "arena", "Cups"}));

    // Create Folder: refused names, then a new folder, listed at once.
    t.prompter.answerInput("../Evil");
    click(named(x, "lblCreate"));
    t.prompter.answerInput("Finals");
    click(named(x, "lblCreate"));
    QCOMPARE(t.prompter.texts().at(1), QStringLiteral("'../Evil' is not a valid name: a name cannot contain / or \\."));
    compareBox(t.prompter.boxes().at(3), "'Finals' folder successfully created! <(^.^)>", "The Quillane",
               Prompter::Buttons::Ok, Prompter::Icon::None);
    QVERIFY(!QFileInfo::exists(t.folder.path("Evil")));
    QCOMPARE(entries(), QStringList({"..", "arena", "Cups", "Finals"}));

    // Remove Folder: Default refused, then "arena" with its game.
    t.prompter.clear();
    QVERIFY(pickEntry(x, ".."));
    click(named(x, "lblRemove"));
    compareBox(t.prompter.boxes().at(0), "Sorry, you cannot delete this Folder since it is the 'Default' folder. =(",
               "Deletion Denied", Prompter::Buttons::Ok, Prompter::Icon::Information);
    QVERIFY(pickEntry(x, "arena"));
    t.prompter.answerYes();
    click(named(x, "lblRemove"));
    compareBox(t.prompter.boxes().at(1),
               "Are you sure you want to delete the 'arena' folder? All of its contents will be deleted. c('.'C)",
               "Delete Folder?", Prompter::Buttons::YesNo, Prompter::Icon::Question);
    compareBox(t.prompter.boxes().at(2), "Folder successfully deleted! <(^.^)>", "The Quillane", Prompter::Buttons::Ok,
               Prompter::Icon::None);
    QVERIFY(!t.folder.exists("Games/arena"));
    QCOMPARE(entries(), QStringList({"..", "Cups", "Finals"}));
    VERIFY_PROMPTER(t.prompter);

    // Back in the games window, the folders are as they now are.
    click(named(x, "cmdCancel"));
    QTRY_VERIFY(w->isVisible());
    QCOMPARE(listEntries(named<QListWidget>(w, "lstFolderPick")), QStringList({"Default", "Cups", "Finals"}));
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameC}));
}

void GamesWindowsTest::transferHover()
{
    TestApp t;
    writeTree(t);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameA));
    GameTransferWindow* x = openTransfer(t, w, "cmdCopy");
    QVERIFY(x);
    const QColor cyan(0, 255, 255);
    const QColor green(192, 255, 192);
    auto* create = named<ClickLabel>(x, "lblCreate");
    auto* remove = named<ClickLabel>(x, "lblRemove");
    hover(create);
    QCOMPARE(create->backColor(), cyan);
    QCOMPARE(remove->backColor(), green);
    hover(remove);
    QCOMPARE(create->backColor(), green);
    QCOMPARE(remove->backColor(), cyan);
    hover(named(x, "lblMain"));
    QCOMPARE(remove->backColor(), green);
    hover(create);
    hover(x, QPoint(x->width() - 3, x->height() - 3));
    QCOMPARE(create->backColor(), green);
}

QTEST_MAIN(GamesWindowsTest)
#include "tst_games_windows.moc"
