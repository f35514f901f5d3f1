// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/WindowsPath.h"
#include "common/core/ZipReader.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/ElidedLineView.h"
#include "common/ui/FileNavBox.h"
#include "common/ui/WindowNames.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/core/ReplayStarter.h"
#include "games/ui/GameLogWords.h"
#include "games/ui/GameTransferWindow.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"
#include "support/TestMaps.h"
#include "support/TestReplays.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

namespace {

const QString gameA = QStringLiteral("2001-10-09 20.15.33 [Online] Anna, Ben.WAgame");
const QString gameB = QStringLiteral("2002-01-01 10.00.00 [Training] Cy.WAgame");
const QString gameC = QStringLiteral("2003-05-06 07.08.09 [Quick CPU] Dee, CPU 1.WAgame");
const QString gameD = QStringLiteral("2000-02-02 02.02.02 [Offline] MissionMaker, Eve.WAgame");

// The Games tree most tests use: two games in Games itself, one in "Cups",
// one in "arena" (listed before Cups: letter case is ignored). Each game
// holds its letter.
void writeTree(TestApp& t)
{
    t.folder.writeFile("Games/" + gameB, "B");
    t.folder.writeFile("Games/" + gameA, "A");
    t.folder.writeFile("Games/notes.txt");
    t.folder.writeFile("Games/Cups/" + gameC, "C");
    t.folder.writeFile("Games/arena/" + gameD, "D");
}

GamesWindow* games(TestApp& t)
{
    return qobject_cast<GamesWindow*>(t.existing(WindowNames::Games));
}

// The transfer window when it is in view.
GameTransferWindow* transferWindow(TestApp& t)
{
    auto* x = qobject_cast<GameTransferWindow*>(t.existing(WindowNames::GamesTransfer));
    return x && x->isVisible() ? x : nullptr;
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

// Starts the program over the usual tree, with a game to start and Windows
// paths by the Z: drive rule, and opens the games window the way the main
// menu does, with `selected` (if any) selected.
GamesWindow* openGames(TestApp& t, const QString& selected = QString())
{
    writeTree(t);
    t.folder.writeGameFile("WA.exe");
    t.create();
    GamesWindow* w = t.app().openFromMenu(WindowNames::Games) ? waitForGames(t) : nullptr;
    if (w && !selected.isEmpty()) {
        w->findChild<ReplayStarter*>()->pathLookup().setWinepathLocator([] { return QString(); });
        grid(w)->selectRow(gridColumn(w, 0).indexOf(selected));
    }
    return w;
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

// Every folder ("path/") and file ("path=content") under the User folder,
// from Games ("../" leaves it), with the games named by their letters.
QStringList disk(const TestUserFolder& f)
{
    QStringList out;
    const QMap<QString, QByteArray> all = f.snapshot();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        QString path = it.key().startsWith("Games/") && it.key() != "Games/" ? it.key().mid(6) : "../" + it.key();
        path.replace(gameA, "A").replace(gameB, "B").replace(gameC, "C").replace(gameD, "D");
        out << (path.endsWith('/') ? path : path + "=" + it.value());
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

bool clickGame(QWidget* w, const QString& file)
{
    const QModelIndex index = grid(w)->model()->index(gridColumn(w, 0).indexOf(file), GamesTableModel::PlayersColumn);
    if (index.isValid())
        QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, Qt::NoModifier, grid(w)->visualRect(index).center());
    return index.isValid();
}

// Clicks `entry` in the games window's folder list or the transfer window's navigator.
bool pick(QWidget* w, const QString& entry)
{
    QListWidget* list = folderListOf(w);
    const QList<QListWidgetItem*> items = list->findItems(entry, Qt::MatchExactly);
    if (!items.isEmpty())
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(items.first()).center());
    return !items.isEmpty();
}

// Runs the menu entry `name` ("mnu...") or clicks the button `name`.
void press(QWidget* w, const QString& name)
{
    if (name.startsWith("mnu"))
        w->findChild<QAction*>(name)->trigger();
    else
        click(named(w, name));
}

QStringList teamRows(QWidget* w)
{
    auto* table = named<QTableWidget>(w, "tblTeams");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 1)->text() + "/" + table->item(r, 2)->text() + "/" + table->item(r, 3)->text();
    return rows;
}

QStringList zipNames(const QString& path)
{
    ZipReader zip(path);
    QStringList names;
    if (zip.open()) {
        for (const ZipReader::Entry& e : zip.entries())
            names << e.name + (e.isFolder ? "/" : "");
    }
    names.sort();
    return names;
}

} // namespace

class GamesWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void firstFill_data();
    void firstFill();
    void pickingAndSorting();
    void userAction_data();
    void userAction();
    void hoverColoursAndLayout();
    void viewCloseAndReopen();
    void startsGame_data();
    void startsGame();
    void readsLogTheGameWrites();
    void exportsZip();
    void keepsMapAndScheme_data();
    void keepsMapAndScheme();
    void showsLogTeamsAndFindsThem();
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

// Left and right clicks pick games and folders, Go shows one folder, the sort
// labels and the Date header sort the grid, and the search box narrows it.
void GamesWindowsTest::pickingAndSorting()
{
    TestApp t;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    auto* txtFile = named<QLineEdit>(w, "txtFile");
    QVERIFY(clickGame(w, gameB));
    QCOMPARE(txtFile->text() + " in " + named<QLineEdit>(w, "txtFolder")->text(), gameB + " in Default\\");
    // A right-button press on a row or folder picks it and pops up its menu.
    auto* menu = w->findChild<QMenu*>("mnuFile");
    const QModelIndex row = grid(w)->model()->index(gridColumn(w, 0).indexOf(gameC), 4);
    QTest::mousePress(grid(w)->viewport(), Qt::RightButton, Qt::NoModifier, grid(w)->visualRect(row).center());
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
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

    menu = w->findChild<QMenu*>("mnuFolder");
    auto* list = named<QListWidget>(w, "lstFolderPick");
    QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(list->currentItem()->text(), QStringLiteral("Cups"));
    // Go shows the folder picked, with no game selected; with none picked, Games itself.
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 0) + gridColumn(w, 5), QStringList({gameC, "Cups"}));
    QCOMPARE(txtFile->text(), QString());
    // Go while every folder is still being read: the folder picked stays.
    QSignalSpy filled(w, &GamesWindow::filled);
    w->fillAllFolders();
    click(named(w, "cmdGo"));
    QTest::qWait(300);
    QCOMPARE(filled.count(), 1);
    QCOMPARE(gridColumn(w, 5), QStringList({"Cups"}));
    QVERIFY(pick(w, "Default"));
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 0) + gridColumn(w, 5), QStringList({gameA, gameB, "Default", "Default"}));
    QVERIFY(pick(w, "arena"));
    list->setCurrentRow(-1);
    click(named(w, "cmdGo"));
    QCOMPARE(gridColumn(w, 5), QStringList({"Default", "Default"}));
    QCOMPARE(folderList(w), QStringList({"Default", "arena", "Cups"}));

    // RESET LIST rebuilds the grid in fill order.
    QPointer<GamesWindow> old = w;
    click(named(w, "cmdReset"));
    w = waitForGames(t, old);
    QVERIFY(w);
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB, gameD, gameC}));

    // Typed into, the search box narrows the grid; the game picked stays
    // picked while it is shown.
    auto* search = named<QLineEdit>(w, "txtSearch");
    auto* count = named<QLabel>(w, "lblSearchCount");
    txtFile = named<QLineEdit>(w, "txtFile");
    QCOMPARE(count->text(), QStringLiteral("4 of 4 games"));
    grid(w)->selectRow(0);
    QTest::keyClicks(search, "default");
    QCOMPARE(gridColumn(w, 0), QStringList({gameA, gameB}));
    QCOMPARE(count->text(), QStringLiteral("2 of 4 games"));
    QCOMPARE(txtFile->text(), gameA);
    // Filtered away: nothing is selected, so Delete Game has nothing to delete.
    QTest::keyClicks(search, " cy");
    QCOMPARE(gridColumn(w, 0), QStringList({gameB}));
    QCOMPARE(txtFile->text(), QString());
    QVERIFY(!grid(w)->selectionModel()->hasSelection());
    click(named(w, "cmdDelete"));
    QCOMPARE(t.prompter.texts(), QStringList{"Select a Game to delete c('.'C)"});
    QVERIFY(t.folder.exists("Games/" + gameA));
    // A search that matches nothing says so where the games would be.
    auto* noMatch = named<QLabel>(w, "lblNoMatch");
    QVERIFY(noMatch->isHidden());
    QTest::keyClicks(search, "zz");
    QVERIFY(!noMatch->isHidden());
    QCOMPARE(noMatch->text(), QStringLiteral("No games match \"default cyzz\""));
    // Clearing brings every game back, but not the selection.
    search->clear();
    QVERIFY(noMatch->isHidden());
    QCOMPARE(count->text(), QStringLiteral("4 of 4 games"));
    QCOMPARE(txtFile->text(), QString());
    VERIFY_PROMPTER(t.prompter);
}

void GamesWindowsTest::userAction_data()
{
    QTest::addColumn<QStringList>("dirs"); // made under Games before the start
    // Steps, in the transfer window while it is in view: "game:X" clicks the
    // row of game X, "pick:E" the list entry E, any other name presses that
    // button or menu entry; "yes", "no" and "input:T" answer the next box; "user"
    // lists the User folder in the navigator; "gone" deletes game C behind
    // the window's back.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("boxes");   // as shown() writes them; one ending in a blank is how a box starts
    QTest::addColumn<QStringList>("disk");    // what changed on disk, as "-entry" and "+entry" of disk()
    QTest::addColumn<QStringList>("folders"); // listed afterwards
    const QStringList all{"Default", "arena", "Cups"}, noCups{"Default", "arena"};
    auto row = [&](const char* tag, const QString& steps, const QStringList& boxes, const QStringList& disk = {},
                   const QStringList& folders = {}, const QStringList& dirs = {}) {
        QTest::newRow(tag) << dirs << steps << boxes << disk << (folders.isEmpty() ? all : folders);
    };
    const QString denied = "[ok] Denied! xD: Select A Recorded Game to ";
    const QString newFolder = "[input] Create New Folder: What would you like to name the new folder? c('.'C)";
    const QString refused = "[ok !] Create New Folder: ";
    const QString noDelete = "[ok i] Deletion Denied: Sorry, you cannot delete this Folder since it is the 'Default' ";
    const QString deleted = "[ok] The Quillane: Folder successfully deleted! <(^.^)>";
    const QString ask = "[yes/no ?] Delete Folder?: Are you sure you want to delete the '%1' folder? ";
    const QStringList cupsGone{"-Cups/", "-Cups/A=older", "-Cups/C=C"};

    // Nothing selected. The buttons and the menu entries run the same actions.
    row("view", "mnuView", {"[ok i] Hold your horses!: Select a Game to view c('.'C)"});
    row("copy", "cmdCopy", {denied + "Copy. c('.'C)"});
    row("move", "mnuMove", {denied + "move. c('.'C)"});
    row("delete", "cmdDelete", {"[ok i] Hold your horses!: Select a Game to delete c('.'C)"});
    // A time is m:ss or h:mm:ss (checkedTime): a bad one is explained and nothing is started.
    row("play from a bad time", "game:A|input:2:5|mnuPlayFrom",
        {"[input] Play from: From what time ", "[ok !] Play from: '2:5' is not a time of the game. "});
    // Game C deleted by another program after the grid was filled: each action
    // says so (the system's reason follows) instead of reporting success.
    row("view gone", "game:C|gone|cmdView", {"[ok !] View Game: " + gameC + " could not be copied for viewing: "}, {},
        all + QStringList{"Temp"}, {"Temp"});
    row("delete gone", "game:C|gone|yes|mnuDelete",
        {"[yes/no ?] Delete?: Are you sure you want to delete " + gameC + "?",
         "[ok !] Delete Game: " + gameC + " could not be deleted. =("});
    // Delete takes the game of the folder shown, not the one of the same name in Games.
    const QString sure = "[yes/no ?] Delete?: Are you sure you want to delete " + gameA + "?";
    row("delete, answered No", "pick:Cups|cmdGo|game:A|no|cmdDelete", {sure});
    row("delete in the folder shown", "pick:Cups|cmdGo|game:A|yes|cmdDelete", {sure}, {"-Cups/A=older"});
    row("copy gone", "game:C|gone|mnuCopy|pick:..|cmdMove",
        {"[ok !] Transfer Failed: " + gameC + " could not be copied to the Default folder: "});

    // Folders, made and deleted in the games window.
    row("create", "input:Season 2|cmdCreate",
        {newFolder, "[ok] The Quillane: 'Season 2' folder successfully created! <(^.^)>"}, {"+Season 2/"},
        all + QStringList{"Season 2"});
    row("create, cancelled", "input:|cmdCreate", {newFolder});
    row("create, climbs out", "input:../Evil|cmdCreate",
        {newFolder, refused + "'../Evil' is not a valid name: a name cannot contain / or \\."});
    row("create Default", "input:default|cmdCreate",
        {newFolder, refused + "'Default' is how the Games folder itself is shown, "});
    row("create, exists", "input:CUPS|cmdCreate",
        {newFolder, refused + "There is already a folder named 'CUPS'. Please choose another name. c('.'C)"});
    row("delete folder, none picked", "mnuDeleteFolder", {noDelete});
    row("delete Default", "pick:Default|mnuDeleteFolder", {noDelete});
    row("delete Cups", "pick:Cups|yes|mnuDeleteFolder", {ask.arg("Cups"), deleted}, cupsGone, noCups);
    // Its game went, but not its sub-folder.
    row("delete arena, not emptied", "pick:arena|yes|mnuDeleteFolder",
        {ask.arg("arena"), "[ok !] Delete Folder: The folder 'arena' could not be removed: "}, {"-arena/D=D"});

    // The same in the transfer window: its navigator lists the folders as
    // they now are at once, and so does the games window when it closes.
    row("transfer: create", "game:A|cmdCopy|input:Finals|lblCreate",
        {newFolder, "[ok] The Quillane: 'Finals' folder successfully created! <(^.^)>"}, {"+Finals/"},
        all + QStringList{"Finals"});
    row("transfer: delete Default", "game:A|cmdCopy|pick:..|lblRemove", {noDelete});
    row("transfer: delete none", "game:A|cmdCopy|lblRemove", {"[ok i] Remove Folder: Select a folder first. c('.'C)"});
    row("transfer: delete Cups", "game:A|cmdCopy|pick:Cups|yes|lblRemove", {ask.arg("Cups"), deleted}, cupsGone,
        noCups);

    // Games copied and moved. Cups holds an older game of A's name, which a copy replaces.
    row("copy replacing", "game:A|cmdCopy|pick:Cups|cmdMove", {}, {"-Cups/A=older", "+Cups/A=A"});
    row("move to Default", "game:C|cmdMove|pick:..|cmdMove", {}, {"-Cups/C=C", "+C=C"});
    row("move cancelled", "game:C|mnuMove|pick:arena|cmdCancel", {});
    row("copy in Cups", "game:C|mnuCopy|pick:Cups|cmdMove",
        {"[ok] The Quillane: " + gameC + " is already in the Cups folder! c('.'C)"});
    // Listed like any folder, so that the copies being viewed can be seen,
    // but emptied at exit.
    row("to Temp", "game:B|cmdMove|pick:temp|cmdMove",
        {"[ok !] Denied! xD: The Temp folder only holds copies of games being viewed, "}, {}, all + QStringList{"temp"},
        {"temp"});
    row("outside Games", "game:B|cmdCopy|user|pick:Elsewhere|cmdMove",
        {"[ok i] Denied! xD: Please pick one of the folders of your Games folder. c('.'C)"}, {}, {}, {"../Elsewhere"});
    row("no folder picked", "game:B|cmdMove|cmdMove", {"[ok i] Denied! xD: Select a folder first. c('.'C)"});
    // Something of the game's name stands in Cups, but the copy cannot take
    // its place: that is no proof of a copy.
    row("copy failed", "game:B|cmdMove|pick:Cups|cmdMove",
        {"[ok !] Transfer Failed: " + gameB + " could not be moved to the Cups folder: "}, {}, {}, {"Cups/" + gameB});
}

void GamesWindowsTest::userAction()
{
    QFETCH(QStringList, dirs);
    QFETCH(QString, steps);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, disk);
    QFETCH(QStringList, folders);
    TestApp t;
    t.folder.writeFile("Games/Cups/" + gameA, "older");
    t.folder.writeFile("Games/arena/Old/keep.txt");
    for (const QString& dir : dirs)
        t.folder.makeDir("Games/" + dir);
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    QPointer<GamesWindow> old = w;
    QStringList before = ::disk(t.folder);
    QString game;
    for (const QString& step : steps.split('|')) {
        GameTransferWindow* x = transferWindow(t);
        QWidget* host = x ? static_cast<QWidget*>(x) : w;
        if (step.startsWith("game:")) {
            game = step.endsWith('A') ? gameA : step.endsWith('B') ? gameB : gameC;
            QVERIFY(clickGame(w, game));
        } else if (step == "gone") {
            QVERIFY(QFile::remove(t.folder.path("Games/Cups/" + gameC)));
            before = ::disk(t.folder);
        } else if (step == "yes" || step == "no") {
            step == "yes" ? t.prompter.answerYes() : t.prompter.answerNo();
        } else if (step.startsWith("input:")) {
            t.prompter.answerInput(step.mid(6));
        } else if (step == "user") {
            named<FileNavBox>(x, "FileNavBox1")->setPath(t.folder.user());
            named<FileNavBox>(x, "FileNavBox1")->refresh();
        } else if (step.startsWith("pick:")) {
            QVERIFY(pick(host, step.mid(5)));
        } else {
            press(host, step);
            if (!x && (x = transferWindow(t)))
                QVERIFY(!w->isVisible());
        }
    }
    const QStringList lines = shown(t.prompter);
    QCOMPARE(lines.size(), boxes.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QVERIFY2(boxes[i].endsWith(' ') ? lines[i].startsWith(boxes[i]) : lines[i] == boxes[i], qPrintable(lines[i]));
    VERIFY_PROMPTER(t.prompter);
    QStringList changed;
    const QStringList after = ::disk(t.folder);
    for (const QString& entry : before + after) {
        if (before.contains(entry) != after.contains(entry))
            changed << (after.contains(entry) ? '+' : '-') + entry;
    }
    QCOMPARE(changed, disk);
    QVERIFY(t.desktop.folders.isEmpty());
    QVERIFY(t.launcher.requests.isEmpty());

    if (GameTransferWindow* x = transferWindow(t)) {
        // Refused: another folder can be picked, among those of Games.
        QVERIFY(named(x, "lblTransfers")->isHidden());
        QCOMPARE(folderList(x).mid(1), folders.mid(1));
        click(named(x, "cmdCancel"));
    } else if (!disk.isEmpty()) {
        // The window is rebuilt exactly when the disk changed, with the
        // loading window in view until it is back.
        QVERIFY(t.existing(WindowNames::Loading) && t.existing(WindowNames::Loading)->isVisible());
        w = waitForGames(t, old);
        QVERIFY(w);
    }
    QTRY_VERIFY(!t.existing(WindowNames::GamesTransfer));
    QVERIFY(!t.existing(WindowNames::Loading) || !t.existing(WindowNames::Loading)->isVisible());
    QCOMPARE(games(t), w);
    QVERIFY(w->isVisible());
    QTRY_COMPARE(folderList(w), folders); // a fill after folders changed reads them off the GUI thread
    QVERIFY(!named<QTimer>(w, "timDelete")->isActive());
    // The selection stays unless the lists were filled again.
    if (disk.isEmpty())
        QCOMPARE(named<QLineEdit>(w, "txtFile")->text(), game);
}

void GamesWindowsTest::hoverColoursAndLayout()
{
    TestApp t;
    GamesWindow* w = openGames(t);
    QVERIFY(w);
    const QStringList buttons{"cmdView",  "cmdDelete", "cmdMove",  "cmdCopy",  "cmdCreate",
                              "cmdReset", "cmdGo",     "cmdSort1", "cmdSort2", "cmdSort3"};
    const QString green(buttons.size(), 'g');
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
    QVERIFY(clickGame(w, gameA));
    click(named(w, "cmdCopy"));
    GameTransferWindow* x = transferWindow(t);
    QVERIFY(x);
    // The Games path keeps its end in view, whole in the tooltip.
    QLineEdit* path = named<QComboBox>(x, "Combo2")->lineEdit();
    auto* shown = path->findChild<ElidedLineView*>();
    QVERIFY(shown && path->text().endsWith("Games/"));
    QCOMPARE(path->toolTip(), QDir::toNativeSeparators(path->text()));
    const bool fits = path->fontMetrics().horizontalAdvance(path->text()) < shown->width() - 4;
    QCOMPARE(shown->isVisible(), !fits);
    if (!fits)
        QVERIFY2(shown->shownText().startsWith(u'…') && shown->shownText().endsWith("Games/"),
                 qPrintable(shown->shownText()));
    const QStringList links{"lblCreate", "lblRemove"};
    hover(named(x, "lblRemove"));
    QCOMPARE(colours(x, links), QStringLiteral("gc"));
    hover(named(x, "lblCreate"));
    QCOMPARE(colours(x, links), QStringLiteral("cg"));
    hover(x, QPoint(x->width() - 3, x->height() - 3));
    QCOMPARE(colours(x, links), QStringLiteral("gg"));
}

// A viewed game is copied to Temp afresh each time and deleted from there
// later; closed, the window hands over to the main menu, and the date format
// chosen is kept for the next opening.
void GamesWindowsTest::viewCloseAndReopen()
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
    named<QComboBox>(w, "List1")->setCurrentIndex(15);
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("09/10/2001"));

    QVERIFY(clickGame(w, gameC));
    click(named(w, "cmdView"));
    QCOMPARE(t.folder.read("Games/Temp/" + gameC), QByteArray("C"));
    QCOMPARE(t.desktop.folders, QStringList({t.folder.path("Games/Temp")}));
    auto* timer = named<QTimer>(w, "timDelete");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), t.intervals.tempDeleteRetry);
    t.folder.writeFile("Games/Cups/" + gameC, "C, newer");
    click(named(w, "cmdView"));
    QCOMPARE(t.folder.read("Games/Temp/" + gameC), QByteArray("C, newer"));
    QCOMPARE(t.desktop.folders.size(), 2);
    QVERIFY(t.prompter.boxes().isEmpty());

    // Closed, it shows the main menu with its list of viewed games pointed at Temp.
    w->close();
    QTRY_VERIFY(!games(t));
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->tempGamesList().folder(), t.folder.path("Games/Temp"));
    QVERIFY(menu->tempGamesList().names().contains(gameC));
    click(named(menu, "cmdGames"));
    w = waitForGames(t);
    QVERIFY(w);
    QCOMPARE(named<QComboBox>(w, "List1")->currentIndex(), 15);
    QCOMPARE(gridColumn(w, 1).first(), QStringLiteral("09/10/2001"));

    // The timer deletes the copy, and keeps trying: a copy that could not
    // go yet goes at a later tick.
    QVERIFY(clickGame(w, gameC));
    click(named(w, "cmdView"));
    named<QTimer>(w, "timDelete")->start(10);
    QTRY_VERIFY(!t.folder.exists("Games/Temp/" + gameC));
    t.folder.writeFile("Games/Temp/" + gameC, "back again");
    QTRY_VERIFY(!t.folder.exists("Games/Temp/" + gameC));
    QVERIFY(t.folder.exists("Games/Cups/" + gameC));
}

void GamesWindowsTest::startsGame_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("command"); // <exe> is WA.exe, <replay> the game's Windows path
    QTest::addColumn<QString>("prefix");
    using K = GameInstall::Kind;
    const QStringList wine{"/usr/bin/wine", "<exe>"}, steam{"/usr/bin/steam", "-applaunch", "217200"};
    const QStringList play{"/play", "<replay>"}, playFrom{"/playat", "<replay>", "1:02:03"};
    // The arguments of each way to start do not depend on the kind of install.
    QTest::newRow("here, double-click") << int(K::Here) << "dclick" << wine + play << "";
    QTest::newRow("here, Enter") << int(K::Here) << "enter" << wine + play << "";
    QTest::newRow("wine, play from") << int(K::Wine) << "mnuPlayFrom" << wine + playFrom << "/pfx";
    QTest::newRow("steam, play") << int(K::Steam) << "mnuPlay" << steam + play << "";
}

// The exact start of each way to play, for each kind of install (Read log: readsLogTheGameWrites).
void GamesWindowsTest::startsGame()
{
    QFETCH(int, kind);
    QFETCH(QString, how);
    QFETCH(QStringList, command);
    QFETCH(QString, prefix);
    TestApp t;
    t.install = GameInstall::make(GameInstall::Kind(kind), t.folder.user(), prefix);
    t.launcher.programs.insert("steam", "/usr/bin/steam");
    GamesWindow* w = openGames(t, gameC);
    QVERIFY(w);
    auto* grid = named<QTableView>(w, "Grid1");
    if (how == "dclick") {
        const QRect row = grid->visualRect(grid->currentIndex().siblingAtColumn(4));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, row.center()); // as a mouse does
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    } else if (how == "enter") {
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
    } else {
        if (how == "mnuPlayFrom")
            t.prompter.answerInput(" 1:02:03 ");
        press(w, how);
    }
    QTRY_COMPARE(t.launcher.requests.size(), 1);
    const LaunchRequest& started = t.launcher.requests.first();
    const QString replay = "Z:" + t.folder.path("Games/Cups/" + gameC).replace('/', '\\');
    command.replaceInStrings("<exe>", t.folder.game() + "WA.exe").replaceInStrings("<replay>", replay);
    QCOMPARE(QStringList{started.program} + started.arguments, command);
    QCOMPARE(started.environment.value("WINEPREFIX"), prefix);
    VERIFY_PROMPTER(t.prompter);
}

// Read log: the game does not answer in time (said so), then the fake game
// writes the log and the panel shows its teams and winner; it follows the
// selection, and a log with nothing to read is shown as its text.
void GamesWindowsTest::readsLogTheGameWrites()
{
    TestApp t;
    t.intervals.logWait = 300;
    t.intervals.logPoll = 20;
    GamesWindow* w = openGames(t, gameC);
    QVERIFY(w);
    QTRY_VERIFY(named(w, "cmdReadLog")->isVisible());
    named<QPushButton>(w, "cmdReadLog")->click();
    QTRY_COMPARE(t.prompter.boxes().size(), 1);
    QVERIFY(t.prompter.texts().first().contains("stopped waiting"));
    const QString replay = "Z:" + t.folder.path("Games/Cups/" + gameC).replace('/', '\\');
    QCOMPARE(QStringList{t.launcher.requests.first().program} + t.launcher.requests.first().arguments,
             QStringList({"/usr/bin/wine", t.folder.game() + "WA.exe", "/getlog", replay, "/quiet"}));
    QTRY_VERIFY(named(w, "cmdReadLog")->isVisible()); // the panel reloads off the GUI thread

    t.intervals.logWait = 60000;
    t.launcher.onStart = [](const LaunchRequest& r) {
        if (!r.arguments.contains("/getlog"))
            return;
        // Where the game finds the replay on the Z: drive, its log goes.
        QFile log(
            r.arguments.at(r.arguments.indexOf("/getlog") + 1).mid(2).replace('\\', '/').replace(".WAgame", ".log"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("Game Started at 2019-09-16 16:58:33 GMT\r\nGame Engine Version: 3.8.1\r\n"
                  "Red:   \"Cy\"  as \"Cy's Team\" [Local Player] [Host]\r\nBlue: \"Bots\" [CPU 3]\r\n"
                  "[00:00:05.10] \x95\x95\x95 Cy fires Bazooka\r\nEnd of round 1\r\n"
                  "Cy's Team wins the match!\r\nWorm of the round: Boggy\r\n");
    };
    named<QPushButton>(w, "cmdReadLog")->click();
    QTRY_COMPARE(teamRows(w), QStringList({"Cy/Cy's Team/Local Player, Host", "/Bots/CPU 3"}));
    const QString summary = named<QLabel>(w, "lblLogSummary")->text();
    QVERIFY2(summary.contains("Winner: Cy's Team (won the match)") && summary.contains("3.8.1"), qPrintable(summary));
    QVERIFY(named<QLabel>(w, "lblLogAwards")->text().contains("Worm of the round: Boggy"));

    // Hidden by the search: nothing is shown; a log without facts shows its text.
    t.folder.writeFile("Games/" + QString(gameA).replace(".WAgame", ".log"), "\x01 not a log");
    named<QLineEdit>(w, "txtSearch")->setText("anna");
    QVERIFY(named<QLabel>(w, "lblLogStatus")->text().startsWith("Select a game"));
    named<QTableView>(w, "Grid1")->selectRow(0);
    QTRY_VERIFY(named(w, "txtLogText")->isVisible());
    QCOMPARE(named<QPlainTextEdit>(w, "txtLogText")->toPlainText(), QStringLiteral("\x01 not a log"));
    QCOMPARE(t.prompter.boxes().size(), 1);
    VERIFY_PROMPTER(t.prompter);
}

// Every shown game with its log, folders as zip folders; then the selected
// game alone, replacing the archive only after Yes.
void GamesWindowsTest::exportsZip()
{
    TestApp t;
    t.folder.writeFile("Games/Cups/" + QString(gameC).replace(".WAgame", ".log"), "log B");
    GamesWindow* w = openGames(t, gameA);
    QVERIFY(w);
    const QString archive = t.folder.path("shared.zip");
    const QString done = "were exported to " + QDir::toNativeSeparators(archive);
    t.prompter.answerNo(); // not only the selected game: all shown
    t.prompter.answerSaveFile(t.folder.path("shared"));
    press(w, "mnuExportZip");
    QTRY_VERIFY(t.prompter.texts().last().contains(done));
    QCOMPARE(zipNames(archive),
             QStringList({gameA, gameB, "Cups/", "Cups/" + gameC, "Cups/" + QString(gameC).replace(".WAgame", ".log"),
                          "arena/", "arena/" + gameD}));

    t.prompter.clear();
    for (bool replace : {false, true}) {
        t.prompter.answerYes(); // the selected game only
        t.prompter.answerSaveFile(archive);
        replace ? t.prompter.answerYes() : t.prompter.answerNo();
        press(w, "mnuExportZip");
    }
    QTRY_VERIFY(t.prompter.texts().last().contains(done));
    QCOMPARE(zipNames(archive), QStringList{gameA});
    VERIFY_PROMPTER(t.prompter);
}

QTEST_MAIN(GamesWindowsTest)
#include "tst_games_windows.moc"

void GamesWindowsTest::keepsMapAndScheme_data()
{
    QTest::addColumn<quint32>("mapType");
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<bool>("scheme");
    QTest::addColumn<QString>("mapFile"); // "" when Save Map is disabled
    QTest::addColumn<QString>("mapWords");
    QTest::addColumn<bool>("replace"); // the map file is there already: the answer
    const QByteArray colour = TestMaps::levelMapPng(TestMaps::sampleMap(QSize(640, 320)));
    QTest::newRow("colour map, scheme") << 3u << colour << true << "SavedLevels/Anna, Ben.png"
                                        << "Colour map, 640 x 320" << true;
    QTest::newRow("kept file after No") << 3u << colour << true << "SavedLevels/Anna, Ben.png"
                                        << "Colour map" << false;
    QTest::newRow("generated, no scheme")
        << 2u << TestMaps::levelData(true, 20, 5, 0) << false << "SavedLevels/Anna, Ben.LEV"
        << "Generated from a seed" << true;
    QTest::newRow("monochrome") << 1u << TestMaps::levelData(true, 20, 5, 0) + "LTRI" << false
                                << "SavedLevels/Anna, Ben.BIT"
                                << "Monochrome map, 1920 x 696, cavern" << true;
    QTest::newRow("unknown map") << 9u << QByteArray("module") << true << ""
                                 << "type 9" << true;
}

// The map and the scheme stored in a replay are written byte for byte into
// SavedLevels and Schemes; a replay without them disables the buttons.
void GamesWindowsTest::keepsMapAndScheme()
{
    QFETCH(quint32, mapType);
    QFETCH(QByteArray, map);
    QFETCH(bool, scheme);
    QFETCH(QString, mapFile);
    QFETCH(QString, mapWords);
    QFETCH(bool, replace);
    TestApp t;
    const QString name = "Anna, Ben.WAgame";
    const QByteArray stored = scheme ? TestReplays::scheme() : QByteArray();
    t.folder.writeFile("Games/" + name, TestReplays::replay(mapType, map, stored));
    if (!mapFile.isEmpty())
        t.folder.writeFile(mapFile, "old");
    GamesWindow* w = openGames(t, name);
    QVERIFY(w);
    QTRY_VERIFY(named<QLabel>(w, "lblReplayMap")->toolTip().contains(mapWords));
    QVERIFY(named<QLabel>(w, "lblReplayFacts")->text().contains("Started: 2025-02-28 12:35:40 UTC"));
    QCOMPARE(named<QLabel>(w, "lblReplayFacts")->text().contains("Turn time: "), scheme);

    auto* saveMap = named<QPushButton>(w, "cmdSaveMap");
    QCOMPARE(saveMap->isEnabled(), !mapFile.isEmpty());
    QCOMPARE(named<QPushButton>(w, "cmdSaveScheme")->isEnabled(), scheme);
    if (mapFile.isEmpty()) {
        QVERIFY(saveMap->toolTip().contains("type 9"));
    } else {
        if (mapType != 3) {
            t.prompter.answerYes(); // the game draws it
            press(w, "cmdSaveMap");
            QTRY_COMPARE(t.launcher.requests.size(), 1);
            QVERIFY(t.launcher.requests.first().arguments.contains("/getmap"));
            t.prompter.answerNo(); // its own data
        }
        replace ? t.prompter.answerYes() : t.prompter.answerNo();
        press(w, "mnuSaveMap");
        QCOMPARE(t.folder.read(mapFile), replace ? map : QByteArray("old"));
    }
    if (scheme) {
        press(w, "cmdScheme"); // the scheme's window, once closed, gives the games window back
        t.waitShown(WindowNames::Schemes)->close();
        QTRY_VERIFY(!t.existing(WindowNames::Schemes) && w->isVisible() && !t.isShown(WindowNames::MainMenu));
        press(w, "cmdSaveScheme");
        QCOMPARE(t.folder.read("Schemes/Anna, Ben.wsc"), stored);
    } else {
        QVERIFY(named(w, "cmdSaveScheme")->toolTip().contains("stores none"));
    }
    VERIFY_PROMPTER(t.prompter);
}

// A log beside a replay: each team's turns, damage dealt, kills and weapons,
// its turns one by one, and the search finds the game by a team's name.
void GamesWindowsTest::showsLogTeamsAndFindsThem()
{
    TestApp t;
    t.folder.writeFile("Games/" + QString(gameB).replace(".WAgame", ".log"),
                       "Red:   \"Cy\"  as \"Hedgehogs\" [Local Player] [Host]\r\nBlue:  \"Di\"  as \"Badgers\"\r\n"
                       "[00:00:01.00] \x95\x95\x95 Hedgehogs (Cy) starts turn\r\n"
                       "[00:00:05.10] \x95\x95\x95 Hedgehogs (Cy) fires Shotgun\r\n"
                       "[00:00:09.00] \x95\x95\x95 Damage dealt: 40 (1 kill) to Badgers (Di), 7 to Hedgehogs (Cy)\r\n"
                       "[00:00:30.00] \x95\x95\x95 Badgers (Di) starts turn\r\n"
                       "[00:00:31.00] \x95\x95\x95 Badgers (Di) uses Skip Go\r\n"
                       "Hedgehogs wins the match!\r\n");
    GamesWindow* w = openGames(t, gameB);
    QVERIFY(w);
    auto* teams = named<QTableWidget>(w, "tblTeams");
    QTRY_COMPARE(teams->rowCount(), 2);
    QStringList stats;
    for (int r = 0; r < teams->rowCount(); ++r)
        stats << QStringList{teams->item(r, 4)->text(), teams->item(r, 6)->text(), teams->item(r, 7)->text(),
                             teams->item(r, 8)->text()}
                     .join("/");
    QCOMPARE(stats, QStringList({"1/40/1/Shotgun 1", "1/0/0/Skip Go 1"}));
    QCOMPARE(named<QTableWidget>(w, "tblTurns")->rowCount(), 2);

    w->findChild<GameLogWords*>()->waitForDone();
    named<QLineEdit>(w, "txtSearch")->setText("badgers");
    QTRY_COMPARE(gridColumn(w, 0), QStringList{gameB});
    named<QLineEdit>(w, "txtSearch")->setText("cy badg");
    QCOMPARE(gridColumn(w, 0), QStringList{gameB});
    VERIFY_PROMPTER(t.prompter);
}
