#include "common/ui/ClickLabel.h"
#include "common/ui/FileNavBox.h"
#include "common/ui/WindowNames.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/ui/GameTransferWindow.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDirIterator>
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

// Waits until the games window `old` (if any) is gone and a games window is
// in view with its grid filled: the window rebuilt through the loading window.
GamesWindow* waitForGames(TestApp& t, QPointer<GamesWindow> old = nullptr)
{
    const bool ready = QTest::qWaitFor([&] {
        GamesWindow* w = games(t);
        return old.isNull() && w && w->isVisible() && named<QFrame>(w, "Frame3")->isHidden();
    });
    return ready ? games(t) : nullptr;
}

// Starts the program over the usual tree and opens the games window the way
// the main menu does.
GamesWindow* openGames(TestApp& t)
{
    writeTree(t);
    t.create();
    return t.app().openFromMenu(WindowNames::Games) ? waitForGames(t) : nullptr;
}

QTableView* grid(QWidget* w)
{
    return named<QTableView>(w, "Grid1");
}

QStringList gridColumn(QWidget* w, int column)
{
    QStringList out;
    for (int r = 0; r < grid(w)->model()->rowCount(); ++r)
        out << grid(w)->model()->index(r, column).data().toString();
    return out;
}

// The folder list of the games window, or the navigator's list of the transfer window.
QListWidget* folderListOf(QWidget* w)
{
    auto* list = named<QListWidget>(w, "lstFolderPick");
    return list ? list : named<QListWidget>(named(w, "FileNavBox1"), "List2");
}

QStringList folderList(QWidget* w)
{
    QStringList out;
    for (const QListWidgetItem* item : folderListOf(w)->findItems("*", Qt::MatchWildcard))
        out << item->text();
    return out;
}

// The colour of each named label: y(ellow), c(yan), g(reen) or ?.
QString colours(QWidget* w, const QStringList& names)
{
    QString out;
    for (const QString& name : names) {
        const QColor c = named<ClickLabel>(w, name)->backColor();
        out += c == QColor(255, 255, 0) ? 'y' : c == QColor(0, 255, 255) ? 'c' : c == QColor(192, 255, 192) ? 'g' : '?';
    }
    return out;
}

// Every folder and file under the User folder, each file with its content.
QStringList snapshot(const TestUserFolder& f)
{
    QStringList out;
    QDirIterator it(f.user(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        out << info.filePath() + (info.isFile() ? "=" + f.read(info.filePath().mid(f.user().size() + 1)) : "/");
    }
    out.sort();
    return out;
}

// Every box shown so far, one line each: "[buttons icon] title: text".
QStringList shown(const FakePrompter& p)
{
    QStringList out;
    for (const FakePrompter::Box& b : p.boxes()) {
        const char* icons[] = {"", " i", " ?", " !"};
        const char* kind = b.kind == FakePrompter::Kind::Input     ? "input"
                           : b.buttons == Prompter::Buttons::YesNo ? "yes/no"
                                                                   : "ok";
        out << QLatin1String("[") + kind + icons[int(b.icon)] + "] " + b.title + ": " + b.text;
    }
    return out;
}

// Clicks the row of the game named `file`.
bool clickGame(QWidget* w, const QString& file)
{
    const QModelIndex index = grid(w)->model()->index(gridColumn(w, 0).indexOf(file), GamesTableModel::PlayersColumn);
    if (index.isValid())
        QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, Qt::NoModifier, grid(w)->visualRect(index).center());
    return index.isValid();
}

// Clicks the entry `entry` of a list: the folder list of the games window or
// the navigator of the transfer window.
bool pick(QWidget* w, const QString& entry)
{
    QListWidget* list = folderListOf(w);
    const QList<QListWidgetItem*> items = list->findItems(entry, Qt::MatchExactly);
    if (!items.isEmpty())
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(items.first()).center());
    return !items.isEmpty();
}

// Clicks the button `name`, or runs the menu entry `name` ("mnu...").
void press(QWidget* w, const QString& name)
{
    if (name.startsWith("mnu"))
        w->findChild<QAction*>(name)->trigger();
    else
        click(named(w, name));
}

// Selects `game` and opens the transfer window with `button`.
GameTransferWindow* openTransfer(TestApp& t, GamesWindow* w, const QString& game, const QString& button)
{
    if (!clickGame(w, game))
        return nullptr;
    press(w, button);
    auto* x = qobject_cast<GameTransferWindow*>(t.existing(WindowNames::GamesTransfer));
    return x && x->isVisible() ? x : nullptr;
}

const QString denied =
    QStringLiteral("[ok i] Deletion Denied: Sorry, you cannot delete this Folder since it is the 'Default' folder. =(");
const QString newFolder =
    QStringLiteral("[input] Create New Folder: What would you like to name the new folder? c('.'C)");
const QString folderDeleted = QStringLiteral("[ok] The Quillane: Folder successfully deleted! <(^.^)>");

QString deleteFolderQuestion(const QString& folder)
{
    return "[yes/no ?] Delete Folder?: Are you sure you want to delete the '" + folder +
           "' folder? All of its contents will be deleted. c('.'C)";
}

} // namespace

class GamesWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void firstFill_data();
    void firstFill();
    void goAndDeleteInTheFolderShown();
    void rowClickAndSorting();
    void buttonRefused_data();
    void buttonRefused();
    void viewTwiceOverwritesTheCopy();
    void folderOperation_data();
    void folderOperation();
    void menusAndPopups();
    void hoverColoursAndLayout();
    void closeAndReopen();
    void searchNarrowsGridAndSelection();

    void transfer_data();
    void transfer();
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

void GamesWindowsTest::firstFill_data()
{
    QTest::addColumn<bool>("tree");
    QTest::addColumn<QString>("extra"); // a file, or a folder when it ends in "/"
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folderColumn");
    QTest::addColumn<QStringList>("folders");
    // Games itself first, then the folders in the navigator's order; in each
    // folder by name. Temp is a folder like any other.
    QTest::newRow("tree") << true << "Games/Temp/" + gameA << QStringList{gameA, gameB, gameD, gameC, gameA}
                          << QStringList{"Default", "Default", "arena", "Cups", "Temp"}
                          << QStringList{"Default", "arena", "Cups", "Temp"};
    QTest::newRow("no Games folder") << false << "" << QStringList() << QStringList() << QStringList{"Default"};
    QTest::newRow("empty folder") << false << "Games/Empty/" << QStringList() << QStringList()
                                  << QStringList{"Default", "Empty"};
}

void GamesWindowsTest::firstFill()
{
    QFETCH(bool, tree);
    QFETCH(QString, extra);
    QFETCH(QStringList, files);
    QFETCH(QStringList, folderColumn);
    QFETCH(QStringList, folders);
    TestApp t;
    if (tree)
        writeTree(t);
    if (!extra.isEmpty())
        extra.endsWith('/') ? t.folder.makeDir(extra) : t.folder.writeFile(extra);
    t.create();
    QVERIFY(t.app().openFromMenu(WindowNames::Games));
    GamesWindow* w = games(t);
    QAbstractItemModelTester tester(grid(w)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    // The waiting panel is in view until the grid is filled.
    QFrame* frame3 = named<QFrame>(w, "Frame3");
    QVERIFY(frame3->isVisible());
    QCOMPARE(grid(w)->model()->rowCount(), 0);
    QTRY_VERIFY(frame3->isHidden());

    QCOMPARE(gridColumn(w, 0), files);
    QCOMPARE(gridColumn(w, 5), folderColumn);
    QCOMPARE(folderList(w), folders);
    QVERIFY(grid(w)->isColumnHidden(0));
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void GamesWindowsTest::goAndDeleteInTheFolderShown()
{
    TestApp t;
    t.folder.writeFile("Games/Cups/" + gameA, "cup A");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameB));
    QVERIFY(pick(w, "Default"));
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB}));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default"}));
    // A new list has no game selected.
    QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), QString());
    QVERIFY(pick(w, "Cups"));
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameC}));
    QCOMPARE(gridColumn(w, 5), QStringList({"Cups", "Cups"}));
    // Go with no folder picked shows the Games folder itself.
    named<QListWidget>(w, "lstFolderPick")->setCurrentRow(-1);
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default"}));
    QCOMPARE(folderList(w), QStringList({"Default", "arena", "Cups"}));

    // Delete takes the game of the folder shown, not the one of the same
    // name in Games; answered No, it keeps it.
    QVERIFY(pick(w, "Cups"));
    click(named(w, "cmdGo"));
    QVERIFY(clickGame(w, gameA));
    t.prompter.answerNo();
    click(named(w, "cmdDelete"));
    QVERIFY(t.folder.exists("Games/Cups/" + gameA));
    QCOMPARE(games(t), w);
    t.prompter.answerYes();
    QPointer<GamesWindow> old = w;
    click(named(w, "cmdDelete"));
    const QString question = "[yes/no ?] Delete?: Are you sure you want to delete " + gameA + "?";
    QCOMPARE(shown(t.prompter), QStringList({question, question}));
    QVERIFY(!t.folder.exists("Games/Cups/" + gameA));
    QVERIFY(t.folder.exists("Games/" + gameA));
    w = waitForGames(t, old);
    QVERIFY(w);
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameD, gameC}));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::rowClickAndSorting()
{
    TestApp t;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* txtFile = named<QLineEdit>(w, "txtFile");
    QVERIFY(clickGame(w, gameB));
    QCOMPARE(txtFile->text() + " in " + named<QLineEdit>(w, "txtFolder")->text(), gameB + " in Default\\");
    QVERIFY(clickGame(w, gameC));
    QCOMPARE(txtFile->text() + " in " + named<QLineEdit>(w, "txtFolder")->text(), gameC + " in Cups\\");

    // A SORT label sorts ascending, then descending.
    auto* sortMode = named<ClickLabel>(w, "cmdSort1");
    click(sortMode);
    QCOMPARE(gridColumn(w, 3), QStringList({"Offline", "Online", "Quick", "Training"}));
    click(sortMode);
    QCOMPARE(gridColumn(w, 3), QStringList({"Training", "Quick", "Online", "Offline"}));
    click(named(w, "cmdSort2"));
    QCOMPARE(gridColumn(w, 4), QStringList({"Anna, Ben", "Cy", "Dee, CPU 1", "MissionMaker, Eve"}));
    click(named(w, "cmdSort3"));
    QCOMPARE(gridColumn(w, 2), QStringList({" 02.02.02", " 07.08.09", " 10.00.00", " 20.15.33"}));
    // The selection follows its game.
    QCOMPARE(txtFile->text(), gameC);
    QCOMPARE(grid(w)->currentIndex().siblingAtColumn(0).data().toString(), gameC);

    // Clicks on the Date header sort by the calendar, not by the text.
    QHeaderView* header = grid(w)->horizontalHeader();
    const QPoint dateHeader(header->sectionViewportPosition(1) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, dateHeader);
    QCOMPARE(gridColumn(w, 0), QStringList({gameD, gameA, gameB, gameC}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, dateHeader);
    QCOMPARE(gridColumn(w, 0), QStringList({gameC, gameB, gameA, gameD}));

    // RESET LIST rebuilds the grid in fill order.
    QPointer<GamesWindow> old = w;
    click(named(w, "cmdReset"));
    w = waitForGames(t, old);
    QVERIFY(w);
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameD, gameC}));
}

void GamesWindowsTest::buttonRefused_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("gone"); // game C selected, then deleted by another program
    QTest::addColumn<QString>("box");
    const QString denied = QStringLiteral("[ok] Denied! xD: Select A Recorded Game to ");
    // The buttons and the menu entries run the same actions.
    QTest::newRow("view") << "mnuView" << false << "[ok i] Hold your horses!: Select a Game to view c('.'C)";
    QTest::newRow("copy") << "cmdCopy" << false << denied + "Copy. c('.'C)";
    QTest::newRow("move") << "mnuMove" << false << denied + "move. c('.'C)";
    QTest::newRow("delete") << "cmdDelete" << false << "[ok i] Hold your horses!: Select a Game to delete c('.'C)";
    // Game C deleted by another program after the grid was filled: each action
    // says so (the system's reason follows) instead of reporting success.
    QTest::newRow("view gone") << "cmdView" << true
                               << "[ok !] View Game: " + gameC + " could not be copied for viewing: the file ";
    QTest::newRow("delete gone") << "mnuDelete" << true << "[ok !] Delete Game: " + gameC + " could not be deleted. =(";
    QTest::newRow("copy gone") << "mnuCopy" << true
                               << "[ok !] Transfer Failed: " + gameC + " could not be copied to the Default folder: ";
}

void GamesWindowsTest::buttonRefused()
{
    QFETCH(QString, button);
    QFETCH(bool, gone);
    QFETCH(QString, box);
    TestApp t;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    if (gone) {
        QVERIFY(clickGame(w, gameC));
        QVERIFY(QFile::remove(t.folder.path("Games/Cups/" + gameC)));
        t.folder.makeDir("Games/Temp"); // where a copy for viewing would go
        if (button.endsWith("Delete"))
            t.prompter.answerYes();
    }
    const QStringList before = snapshot(t.folder);
    press(w, button);
    if (auto* x = qobject_cast<GameTransferWindow*>(t.existing(WindowNames::GamesTransfer))) {
        QVERIFY(gone && pick(x, ".."));
        click(named(x, "cmdMove"));
        QVERIFY(x->isVisible());
    } else {
        QVERIFY(w->isVisible());
    }
    QVERIFY2(shown(t.prompter).last().startsWith(box), qPrintable(shown(t.prompter).last()));
    QVERIFY(box.endsWith(' ') || shown(t.prompter).last() == box);
    QCOMPARE(snapshot(t.folder), before);
    QVERIFY(t.desktop.folders.isEmpty());
    QVERIFY(!named<QTimer>(w, "timDelete")->isActive());
    QVERIFY(!t.existing(WindowNames::Loading) || !t.existing(WindowNames::Loading)->isVisible());
    QCOMPARE(games(t), w);
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::viewTwiceOverwritesTheCopy()
{
    TestApp t;
    t.intervals.tempDeleteRetry = 60 * 60 * 1000;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QVERIFY(clickGame(w, gameC));
    click(named(w, "cmdView"));
    QCOMPARE(t.folder.read("Games/Temp/" + gameC), QByteArray("game C"));
    QCOMPARE(t.desktop.folders, QStringList({t.folder.path("Games/Temp")}));
    auto* timer = named<QTimer>(w, "timDelete");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), t.intervals.tempDeleteRetry);

    t.folder.writeFile("Games/Cups/" + gameC, "game C, newer");
    click(named(w, "cmdView"));
    QCOMPARE(t.folder.read("Games/Temp/" + gameC), QByteArray("game C, newer"));
    QCOMPARE(t.desktop.folders.size(), 2);
    QVERIFY(t.prompter.boxes().isEmpty());

    // The timer deletes the copy, and keeps trying: a copy that could not
    // go yet goes at a later tick.
    timer->start(10);
    QTRY_VERIFY(!t.folder.exists("Games/Temp/" + gameC));
    t.folder.writeFile("Games/Temp/" + gameC, "back again");
    QTRY_VERIFY(!t.folder.exists("Games/Temp/" + gameC));
    QVERIFY(t.folder.exists("Games/Cups/" + gameC));
}

void GamesWindowsTest::folderOperation_data()
{
    QTest::addColumn<QString>("action"); // "create" types the name, "delete" picks it ("" picks none)
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("boxes");   // after the input box of Create
    QTest::addColumn<QStringList>("folders"); // listed afterwards
    const QStringList all{"Default", "arena", "Cups"};
    const QStringList noCups{"Default", "arena"};
    auto row = [](const char* tag, const char* action, const QString& name, const QStringList& boxes,
                  const QStringList& folders) { QTest::newRow(tag) << action << name << boxes << folders; };
    auto refused = [&](const char* tag, const QString& name, const QString& text) {
        row(tag, "create", name, {"[ok !] Create New Folder: " + text}, all);
    };
    row("made", "create", "Season 2", {"[ok] The Quillane: 'Season 2' folder successfully created! <(^.^)>"},
        all + QStringList{"Season 2"});
    row("cancel", "create", "", {}, all);
    refused("climbs out", "../Evil", "'../Evil' is not a valid name: a name cannot contain / or \\.");
    refused("parent", "..", "'..' is not a valid name.");
    refused("Default", "default",
            "'Default' is how the Games folder itself is shown, so a folder cannot have that name. Please choose "
            "another one. c('.'C)");
    refused("exists", "CUPS", "There is already a folder named 'CUPS'. Please choose another name. c('.'C)");
    refused("a game's name", gameA,
            "There is already a folder named '" + gameA + "'. Please choose another name. c('.'C)");
    row("delete, nothing picked", "delete", "", {denied}, all);
    row("delete Default", "delete", "Default", {denied}, all);
    row("delete Cups", "delete", "Cups", {deleteFolderQuestion("Cups"), folderDeleted}, noCups);
    // Its game went, but not its sub-folder.
    row("delete arena, not emptied", "delete", "arena",
        {deleteFolderQuestion("arena"), "[ok !] Delete Folder: The folder 'arena' could not be removed: it still "
                                        "holds folders or files that could not be deleted. =("},
        all);
    row("transfer: made", "create in transfer", "Finals",
        {"[ok] The Quillane: 'Finals' folder successfully created! <(^.^)>"}, all + QStringList{"Finals"});
    row("transfer: climbs out", "create in transfer", "../Evil",
        {"[ok !] Create New Folder: '../Evil' is not a valid name: a name cannot contain / or \\."}, all);
    row("transfer: delete Default", "delete in transfer", "..", {denied}, all);
    row("transfer: delete none", "delete in transfer", "", {"[ok i] Remove Folder: Select a folder first. c('.'C)"},
        all);
    row("transfer: delete Cups", "delete in transfer", "Cups", {deleteFolderQuestion("Cups"), folderDeleted}, noCups);
}

void GamesWindowsTest::folderOperation()
{
    QFETCH(QString, action);
    QFETCH(QString, name);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, folders);
    TestApp t;
    t.folder.writeFile("Games/arena/Old/keep.txt");
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QStringList before = snapshot(t.folder);
    QPointer<GamesWindow> old = w;
    QWidget* host = w;
    if (action.endsWith(" in transfer")) {
        host = openTransfer(t, w, gameA, "cmdCopy");
        QVERIFY(host);
    }
    const bool transfer = host != w;
    if (action.startsWith("create")) {
        t.prompter.answerInput(name);
        click(named(host, transfer ? "lblCreate" : "cmdCreate"));
        boxes.prepend(newFolder);
    } else {
        QVERIFY(name.isEmpty() || pick(host, name));
        if (boxes.size() == 2)
            t.prompter.answerYes();
        press(host, transfer ? "lblRemove" : "mnuDeleteFolder");
    }
    QCOMPARE(shown(t.prompter), boxes);
    VERIFY_PROMPTER(t.prompter);
    if (transfer) {
        // The navigator lists the folders as they now are at once, and so
        // does the games window when the transfer window closes.
        QCOMPARE(folderList(host).mid(1), folders.mid(1));
        click(named(host, "cmdCancel"));
        QTRY_VERIFY(w->isVisible());
    } else if (snapshot(t.folder) != before) {
        // The window is rebuilt exactly when the disk changed, with the
        // loading window in view until it is back.
        QVERIFY(t.existing(WindowNames::Loading)->isVisible());
        w = waitForGames(t, old);
        QVERIFY(w);
        QVERIFY(!t.existing(WindowNames::Loading)->isVisible());
    }
    QCOMPARE(games(t), w);
    QCOMPARE(folderList(w), folders);
    QVERIFY(t.folder.exists("Games/" + gameA));
    QVERIFY(t.folder.exists("Games/arena/Old/keep.txt"));
}

void GamesWindowsTest::menusAndPopups()
{
    TestApp t;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* file = w->findChild<QMenu*>("mnuFile");
    auto* folder = w->findChild<QMenu*>("mnuFolder");

    // A right-button press on a row or folder picks it and pops up its menu.
    const QModelIndex row = grid(w)->model()->index(gridColumn(w, 0).indexOf(gameC), 4);
    QTest::mousePress(grid(w)->viewport(), Qt::RightButton, Qt::NoModifier, grid(w)->visualRect(row).center());
    QTRY_VERIFY(file->isVisible());
    QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), gameC);
    file->hide();
    auto* list = named<QListWidget>(w, "lstFolderPick");
    QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
    QTRY_VERIFY(folder->isVisible());
    QCOMPARE(list->currentItem()->text(), QStringLiteral("Cups"));
    folder->hide();
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::hoverColoursAndLayout()
{
    TestApp t;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QStringList buttons{"cmdView",  "cmdDelete", "cmdMove",  "cmdCopy",  "cmdCreate",
                              "cmdReset", "cmdGo",     "cmdSort1", "cmdSort2", "cmdSort3"};
    const QString green(buttons.size(), 'g');
    QCOMPARE(colours(w, buttons), green);
    // A button turns yellow under the mouse. Places over the window, the
    // control panel, the grid, the picture and the folder list (clear of any
    // button) turn them all green again.
    const QList<QPair<QWidget*, QPoint>> resetters{{w, QPoint(380, 60)},
                                                   {named(w, "Frame2"), QPoint(186, 84)},
                                                   {grid(w)->viewport(), QPoint()},
                                                   {named(w, "imgArmy"), QPoint()},
                                                   {named<QListWidget>(w, "lstFolderPick")->viewport(), QPoint()}};
    for (int i = 0; i < buttons.size(); ++i) {
        hover(named(w, buttons[i]));
        QCOMPARE(colours(w, buttons), QString(green).replace(i, 1, 'y'));
        hover(resetters[i % 5].first, resetters[i % 5].second);
        QCOMPARE(colours(w, buttons), green);
    }

    // Resized, the grid follows the window and the sort labels stay over their columns.
    w->resize(820, 400);
    const int left = grid(w)->x() + grid(w)->frameWidth();
    QCOMPARE(named(w, "cmdSort1")->x(), left + grid(w)->horizontalHeader()->sectionViewportPosition(3));
    QCOMPARE(named(w, "cmdSort3")->x(), left + grid(w)->horizontalHeader()->sectionViewportPosition(2));

    // The links of the transfer window turn cyan under the mouse and green
    // again off them.
    GameTransferWindow* x = openTransfer(t, w, gameA, "cmdCopy");
    QVERIFY(x);
    const QStringList links{"lblCreate", "lblRemove"};
    hover(named(x, "lblRemove"));
    QCOMPARE(colours(x, links), QStringLiteral("gc"));
    hover(named(x, "lblCreate"));
    QCOMPARE(colours(x, links), QStringLiteral("cg"));
    hover(x, QPoint(x->width() - 3, x->height() - 3));
    QCOMPARE(colours(x, links), QStringLiteral("gg"));
}

void GamesWindowsTest::closeAndReopen()
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
    // The date-format choice is kept.
    auto* chooser = named<QComboBox>(w, "List1");
    chooser->setCurrentIndex(15);
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("09/10/2001"));

    // Closed, it shows the main menu with its list of viewed games pointed at Temp.
    QVERIFY(clickGame(w, gameA));
    click(named(w, "cmdView"));
    w->close();
    QTRY_VERIFY(!games(t));
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->tempGamesList().folder(), t.folder.path("Games/Temp"));
    QVERIFY(menu->tempGamesList().names().contains(gameA));

    click(named(menu, "cmdGames"));
    w = waitForGames(t);
    QVERIFY(w);
    QCOMPARE(named<QComboBox>(w, "List1")->currentIndex(), 15);
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("09/10/2001"));
}

// The search box, typed into by the keyboard: it narrows the grid, and a game
// it hides is no longer selected.
void GamesWindowsTest::searchNarrowsGridAndSelection()
{
    TestApp t;
    t.folder.writeFile("Games/2001-10-09 20.15.33 [Online] Łukasz, Ben.WAgame");
    t.folder.writeFile("Games/Cups/2002-01-01 10.00.00 [Training] Ørjan.WAgame");
    t.folder.writeFile("Games/Cups/2003-05-06 07.08.09 [Offline] Anna, Ben.WAgame");
    t.create();
    QVERIFY(t.app().openFromMenu(WindowNames::Games));
    GamesWindow* w = waitForGames(t);
    QVERIFY(w);
    auto* search = named<QLineEdit>(w, "txtSearch");
    auto* count = named<QLabel>(w, "lblSearchCount");
    auto* file = named<QLineEdit>(w, "txtFile");
    QCOMPARE(search->accessibleName(), QStringLiteral("Search games"));
    QCOMPARE(count->text(), QStringLiteral("3 of 3 games"));

    // Pick Anna's game, then type: it stays picked while it is shown.
    grid(w)->selectRow(gridColumn(w, 4).indexOf("Anna, Ben"));
    QVERIFY(file->text().contains("Anna"));
    QTest::keyClicks(search, "ben");
    QCOMPARE(gridColumn(w, 4), QStringList({"Łukasz, Ben", "Anna, Ben"}));
    QCOMPARE(count->text(), QStringLiteral("2 of 3 games"));
    QVERIFY(file->text().contains("Anna"));

    // Filtered away: nothing is selected, so Delete Game has nothing to delete.
    QTest::keyClicks(search, " lukasz");
    QCOMPARE(gridColumn(w, 4), QStringList({"Łukasz, Ben"}));
    QCOMPARE(file->text(), QString());
    QVERIFY(!grid(w)->selectionModel()->hasSelection());
    click(named(w, "cmdDelete"));
    QCOMPARE(t.prompter.texts(), QStringList{"Select a Game to delete c('.'C)"});
    QVERIFY(t.folder.exists("Games/Cups/2003-05-06 07.08.09 [Offline] Anna, Ben.WAgame"));

    // Accents typed or not, and clearing brings every game back.
    search->setText("orjan");
    QCOMPARE(gridColumn(w, 4), QStringList({"Ørjan"}));
    search->clear();
    QCOMPARE(count->text(), QStringLiteral("3 of 3 games"));
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::transfer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("game");
    QTest::addColumn<QString>("dir");              // a folder made under the User folder first
    QTest::addColumn<QString>("entry");            // "" picks none; "User/x" picks x after listing the User folder
    QTest::addColumn<QString>("box");              // ending in ": " when the system's reason follows
    QTest::addColumn<QStringList>("folderColumn"); // after a transfer; none when the disk stays as it was
    auto row = [](const char* tag, const char* button, const QString& game, const QString& dir, const char* entry,
                  const QString& box, const QStringList& folderColumn = {}) {
        QTest::newRow(tag) << button << game << dir << entry << box << folderColumn;
    };
    // Cups holds an older game of A's name, which a copy replaces.
    row("copy replacing", "cmdCopy", gameA, "", "Cups", "", {"Default", "Default", "arena", "Cups", "Cups"});
    row("move to Default", "cmdMove", gameC, "", "..", "", {"Default", "Default", "Default", "arena", "Cups"});
    row("cancel", "mnuMove", gameC, "", "arena", "");
    row("move in Default", "cmdMove", gameB, "", "..",
        "[ok] The Quillane: " + gameB + " is already in the Default folder! c('.'C)");
    row("copy in Cups", "mnuCopy", gameC, "", "Cups",
        "[ok] The Quillane: " + gameC + " is already in the Cups folder! c('.'C)");
    // Listed like any folder, so that the copies being viewed can be seen,
    // but emptied at exit.
    row("Temp", "cmdMove", gameB, "Games/temp", "temp",
        "[ok !] Denied! xD: The Temp folder only holds copies of games being viewed, and it is emptied when The "
        "Quillane closes. Please pick another folder. c('.'C)");
    row("outside Games", "cmdCopy", gameB, "Elsewhere", "User/Elsewhere",
        "[ok i] Denied! xD: Please pick one of the folders of your Games folder. c('.'C)");
    row("none picked", "cmdMove", gameB, "", "", "[ok i] Denied! xD: Select a folder first. c('.'C)");
    // Something of the game's name stands in Cups, but the copy cannot take
    // its place: that is no proof of a copy.
    row("copy failed", "cmdMove", gameB, "Games/Cups/" + gameB, "Cups",
        "[ok !] Transfer Failed: " + gameB + " could not be moved to the Cups folder: ");
}

void GamesWindowsTest::transfer()
{
    QFETCH(QString, button);
    QFETCH(QString, game);
    QFETCH(QString, dir);
    QFETCH(QString, entry);
    QFETCH(QString, box);
    QFETCH(QStringList, folderColumn);
    TestApp t;
    t.folder.writeFile("Games/Cups/" + gameA, "older copy");
    if (!dir.isEmpty())
        t.folder.makeDir(dir);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QStringList before = snapshot(t.folder);
    const QString from = game == gameC ? "Games/Cups/" : "Games/";
    const QByteArray content = t.folder.read(from + game);
    QPointer<GameTransferWindow> x = openTransfer(t, w, game, button);
    QVERIFY(x);
    QVERIFY(!w->isVisible());
    QCOMPARE(x->windowTitle(), "Moving " + game + " To:");
    if (entry.startsWith("User/")) { // typed into the navigator's path box
        named<FileNavBox>(x, "FileNavBox1")->setPath(t.folder.user());
        named<FileNavBox>(x, "FileNavBox1")->refresh();
        entry = entry.mid(5);
    }
    QVERIFY(entry.isEmpty() || pick(x, entry));
    QPointer<GamesWindow> old = w;
    const bool cancel = box.isEmpty() && folderColumn.isEmpty();
    click(named(x, cancel ? "cmdCancel" : "cmdMove"));
    if (!folderColumn.isEmpty()) { // done: both windows go, the games window comes back rebuilt
        QCOMPARE(t.folder.read((entry == ".." ? "Games/" : "Games/" + entry + "/") + game), content);
        QCOMPARE(t.folder.exists(from + game), button == "cmdCopy");
        QVERIFY(t.prompter.boxes().isEmpty());
        w = waitForGames(t, old);
        QVERIFY(w);
        QVERIFY(!t.existing(WindowNames::GamesTransfer));
        QCOMPARE(gridColumn(w, 5), folderColumn);
        return;
    }
    QCOMPARE(snapshot(t.folder), before);
    QCOMPARE(games(t), w);
    if (cancel) { // back in the games window with the game selected
        QTRY_VERIFY(x.isNull());
        QVERIFY(w->isVisible());
        QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), game);
        QVERIFY(t.prompter.boxes().isEmpty());
        return;
    }
    QCOMPARE(t.prompter.boxes().size(), 1);
    const QString line = shown(t.prompter).first();
    QVERIFY2(box.endsWith(": ") ? line.startsWith(box) : line == box, qPrintable(line));
    // Another folder can be picked: the navigator lists Games again.
    QVERIFY(x->isVisible());
    QVERIFY(named<QLabel>(x, "lblTransfers")->isHidden());
    QVERIFY(pick(x, "Cups"));
    VERIFY_PROMPTER(t.prompter);
}

QTEST_MAIN(GamesWindowsTest)
#include "tst_games_windows.moc"
