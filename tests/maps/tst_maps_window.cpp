#include "LevelMaps.h"
#include "common/core/AppInfo.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "maps/core/MapDrag.h"
#include "maps/ui/MapListWidget.h"
#include "maps/ui/MapsWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace {

using Box = FakePrompter::Box;
using Icon = Prompter::Icon;
using Buttons = Prompter::Buttons;

// Every map of a test has its own colour, so that the preview tells which map it shows.
const QColor kDune(200, 150, 50);
const QColor kArena(30, 160, 60);
const QColor kCave(90, 40, 140);

QByteArray mapBytes(const QColor& colour, QSize size = QSize(64, 24))
{
    return LevelMaps::solid(size, colour);
}

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList selectedTexts(const QListWidget* list)
{
    QStringList out;
    for (const QListWidgetItem* item : list->selectedItems())
        out << item->text();
    return out;
}

QListWidgetItem* itemNamed(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void clickItem(QListWidget* list, const QString& text)
{
    QListWidgetItem* item = itemNamed(list, text);
    QVERIFY2(item, qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(item).center());
}

void doubleClickItem(QListWidget* list, const QString& text)
{
    QListWidgetItem* item = itemNamed(list, text);
    QVERIFY2(item, qPrintable(text));
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// A drag from outside the window that enters `widget` and is dropped on it,
// or only passes over it. Lists take drags on their viewport. A drop is
// handled once the drag has ended. True when the widget took the drag.
bool drag(QWidget* widget, const QMimeData* mime, bool drop = true)
{
    if (auto* list = qobject_cast<QListWidget*>(widget))
        widget = list->viewport();
    const QPoint at = widget->rect().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!drop || !enter.isAccepted()) {
        QDragMoveEvent move(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
        QDragLeaveEvent leave;
        QApplication::sendEvent(widget, &leave);
        return enter.isAccepted();
    }
    QDropEvent dropped(QPointF(at), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &dropped);
    QCoreApplication::processEvents();
    return dropped.isAccepted();
}

QMimeData* desktopFiles(const QStringList& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime->setUrls(urls);
    return mime;
}

// The controls of the window under test.
struct View {
    MapsWindow* window = nullptr;
    QListWidget* folders = nullptr;
    MapListWidget* maps = nullptr;
    MapListWidget* transfer = nullptr;
    QLabel* name = nullptr;
    QLabel* viewing = nullptr;
    QLabel* preview = nullptr;
    QLabel* notice = nullptr;

    void press(const char* button) const { click(named<QPushButton>(window, QLatin1String(button))); }

    // Waits for the preview and gives the colour at its middle.
    QColor previewColour() const
    {
        if (!QTest::qWaitFor([this] { return !window->previewPending(); }, 5000))
            return QColor();
        const QImage image = preview->pixmap().toImage();
        return image.isNull() ? QColor() : image.pixelColor(image.rect().center());
    }
    QSize previewSize() const { return preview->pixmap().size(); }
};

// Opens the map manager over the test's User folder.
View openMaps(TestApp& t)
{
    t.create();
    View v;
    v.window = qobject_cast<MapsWindow*>(t.app().window(WindowNames::Maps));
    if (!v.window)
        return v;
    v.window->show();
    v.folders = named<QListWidget>(v.window, QStringLiteral("lstFolderPick"));
    v.maps = named<MapListWidget>(v.window, QStringLiteral("List1"));
    v.transfer = named<MapListWidget>(v.window, QStringLiteral("lstFolderTransfer"));
    v.name = named<QLabel>(v.window, QStringLiteral("lblMapName"));
    v.viewing = named<QLabel>(v.window, QStringLiteral("lblViewing"));
    v.preview = named<QLabel>(v.window, QStringLiteral("picPreview"));
    v.notice = named<QLabel>(v.window, QStringLiteral("lblTransferComplete"));
    return v;
}

// SavedLevels with Caverns (holding Big, and Big holding a map) and Deserts.
void makeTree(TestUserFolder& f)
{
    f.writeFile(QStringLiteral("SavedLevels/Dune.old.png"), mapBytes(kDune));
    f.writeFile(QStringLiteral("SavedLevels/Arena.PNG"), mapBytes(kArena));
    f.writeFile(QStringLiteral("SavedLevels/notes.txt"), "not a map");
    f.writeFile(QStringLiteral("SavedLevels/Caverns/Cave.png"), mapBytes(kCave));
    f.writeFile(QStringLiteral("SavedLevels/Caverns/Big/Huge.png"), mapBytes(kArena));
    f.makeDir(QStringLiteral("SavedLevels/Deserts"));
}

// A box as one line: kind, text, title, default or filter, buttons, icon.
QString describe(const Box& b)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(int(b.kind))
        .arg(b.text, b.title, b.extra)
        .arg(int(b.buttons))
        .arg(int(b.icon));
}

QString message(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    return describe(Box{FakePrompter::Kind::Message, text, title, QString(), buttons, icon});
}

QString inputBox(const QString& prompt, const QString& title, const QString& offered)
{
    return describe(Box{FakePrompter::Kind::Input, prompt, title, offered, Buttons::Ok, Icon::None});
}

QStringList boxes(const FakePrompter& prompter)
{
    QStringList out;
    for (const Box& b : prompter.boxes())
        out << describe(b);
    return out;
}

} // namespace

class TestMapsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openedFromTheMainMenuAndBack();
    void layoutAndTexts();
    void rootShowsSubFoldersWithoutDash();
    void twoLevelsInAndBackTwice();
    void folderWithoutMaps();
    void mapsRootMissing();
    void mapNamesAndPreview();
    void quickSelectionsEndOnTheLastMap();
    void vanishedMapShowsBlack();
    void renameMap_data();
    void renameMap();
    void renameWithoutMapOrAnswer();
    void newFolder_data();
    void newFolder();
    void deleteFolder_data();
    void deleteFolder();
    void deleteMap();
    void dropsOnTheMapList();
    void outsideDropOnTheTransferList_data();
    void outsideDropOnTheTransferList();
    void moveMap_data();
    void moveMap();
    void moveKeepsLevelChunk();
    void desktopDragCrossingTheMapListIsCopied();
    void transferSideNavigation();
    void folderRemovedBehindTheWindow();
    void helpAndSites();
    void resizeKeepsFramesAtTheBottom();
};

void TestMapsWindow::openedFromTheMainMenuAndBack()
{
    TestApp t;
    t.folder.writeProbe();
    makeTree(t.folder);
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    click(named<QWidget>(menu, QStringLiteral("cmdMaps")));
    QWidget* maps = t.existing(WindowNames::Maps);
    QVERIFY(maps);
    QTRY_VERIFY(maps->isVisible());
    QVERIFY(!menu->isVisible());
    QCOMPARE(maps->windowTitle(), QStringLiteral("The Quillane - My Map Manager c('.'C)"));

    maps->close();
    QTRY_VERIFY(menu->isVisible());
    QTRY_VERIFY(!t.existing(WindowNames::Maps));
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TestMapsWindow::layoutAndTexts()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    QVERIFY(v.window);
    QCOMPARE(v.window->objectName(), QStringLiteral("frmMapView"));
    // Captions as the user reads them.
    const struct {
        const char* name;
        const char* text;
    } captions[] = {
        {"Label1", "My Folders"},
        {"lblViewing", "Viewing: Root Folder"},
        {"Label2", "Transfer Station"},
        {"lblTransferComplete", "Transfer Complete!"},
        {"lblWMDB", "Worms Map Database 'WMDB'"},
        {"lblOxbel", "Worms Knowledge Base 'Oxbel'"},
    };
    for (const auto& c : captions)
        QCOMPARE(named<QLabel>(v.window, QLatin1String(c.name))->text(), QLatin1String(c.text));
    for (const auto& [name, text] : {std::pair{"cmdNewFolder", "New Folder"},
                                     {"cmdDeleteFolder", "Delete Folder"},
                                     {"cmdRenameMap", "Rename Map"},
                                     {"cmdDeleteMap", "Delete Map"}})
        QCOMPARE(named<QPushButton>(v.window, QLatin1String(name))->text(), QLatin1String(text));
    QCOMPARE(named<QCheckBox>(v.window, QStringLiteral("Check1"))->text(), QStringLiteral("How to Transfer"));
    QCOMPARE(named<QCheckBox>(v.window, QStringLiteral("Check2"))->text(), QStringLiteral("Map Download Sites"));
    QCOMPARE(named<QGroupBox>(v.window, QStringLiteral("Frame3"))->title(), QStringLiteral("Map Download Sites"));
    // The state holders stay out of sight.
    for (const char* hidden : {"FNav1", "FNav2", "lblDesc", "Frame3", "lblTransferComplete"})
        QVERIFY2(!named<QWidget>(v.window, QLatin1String(hidden))->isVisible(), hidden);
    // List colours.
    const struct {
        QListWidget* list;
        QColor back, text;
    } colours[] = {
        {v.folders, QColor(192, 255, 255), QColor(255, 128, 0)},
        {v.maps, QColor(192, 192, 255), QColor(255, 255, 255)},
        {v.transfer, QColor(128, 0, 0), QColor(255, 128, 0)},
    };
    for (const auto& c : colours) {
        QCOMPARE(c.list->palette().color(QPalette::Base), c.back);
        QCOMPARE(c.list->palette().color(QPalette::Text), c.text);
    }
    // The preview box, in pixels (15 twips each).
    QCOMPARE(v.preview->geometry(), QRect(0, 24, 777, 265));
    QCOMPARE(v.previewColour(), kArena);
    QCOMPARE(v.previewSize(), QSize(777, 265));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::rootShowsSubFoldersWithoutDash()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    QCOMPARE(texts(v.folders), (QStringList{"Caverns", "Deserts"}));
    QVERIFY(selectedTexts(v.folders).isEmpty());
    QCOMPARE(texts(v.transfer), (QStringList{"[Root]", "Caverns", "Deserts"}));
    QCOMPARE(selectedTexts(v.transfer), QStringList{"[Root]"});
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/"));

    // Delete Folder with nothing selected deletes nothing.
    v.press("cmdDeleteFolder");
    QCOMPARE(boxes(t.prompter),
             (QStringList{message("Please select a folder first.", AppInfo::title(), Buttons::Ok, Icon::None)}));
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")),
             (QStringList{"Arena.PNG", "Caverns", "Deserts", "Dune.old.png", "notes.txt"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::twoLevelsInAndBackTwice()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers; // gone before the window
    for (QListWidget* list : {v.folders, static_cast<QListWidget*>(v.maps), static_cast<QListWidget*>(v.transfer)})
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));

    doubleClickItem(v.folders, QStringLiteral("Caverns"));
    QCOMPARE(v.viewing->text(), QStringLiteral("Viewing: Caverns Folder"));
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/Caverns"));
    QCOMPARE(texts(v.folders), (QStringList{"<<Back", "Big"}));
    QCOMPARE(selectedTexts(v.folders), QStringList{"<<Back"});
    QCOMPARE(texts(v.maps), QStringList{"Cave.png"});
    QCOMPARE(v.previewColour(), kCave);

    doubleClickItem(v.folders, QStringLiteral("Big"));
    QCOMPARE(v.viewing->text(), QStringLiteral("Viewing: Big Folder"));
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/Caverns/Big"));
    QCOMPARE(texts(v.folders), QStringList{"<<Back"});
    QCOMPARE(texts(v.maps), QStringList{"Huge.png"});
    QCOMPARE(v.name->text(), QStringLiteral("Huge"));

    doubleClickItem(v.folders, QStringLiteral("<<Back"));
    QCOMPARE(v.viewing->text(), QStringLiteral("Viewing: Caverns Folder"));
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/Caverns"));
    QCOMPARE(texts(v.maps), QStringList{"Cave.png"});

    doubleClickItem(v.folders, QStringLiteral("<<Back"));
    QCOMPARE(v.viewing->text(), QStringLiteral("Viewing: Root Folder"));
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/"));
    QCOMPARE(texts(v.folders), (QStringList{"Caverns", "Deserts"}));
    // The transfer side went nowhere.
    QCOMPARE(v.window->currentTransferFolder(), QStringLiteral("/"));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::folderWithoutMaps()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    QCOMPARE(v.previewColour(), kArena);
    doubleClickItem(v.folders, QStringLiteral("Deserts"));
    QVERIFY(texts(v.maps).isEmpty());
    QCOMPARE(v.name->text(), QStringLiteral("No Map Selected!"));
    QCOMPARE(v.previewColour(), QColor(Qt::black));
    QCOMPARE(v.previewSize(), QSize(777, 265));
}

void TestMapsWindow::mapsRootMissing()
{
    TestApp t;
    const View v = openMaps(t);
    QVERIFY(texts(v.folders).isEmpty());
    QVERIFY(texts(v.maps).isEmpty());
    QCOMPARE(v.name->text(), QStringLiteral("No Map Selected!"));
    QCOMPARE(v.previewColour(), QColor(Qt::black));

    // Files dropped in then make the folder the game reads maps from.
    const QString file = t.folder.writeFile(QStringLiteral("Desktop/First.png"), mapBytes(kDune));
    std::unique_ptr<QMimeData> mime(desktopFiles({file}));
    QVERIFY(drag(v.maps, mime.get()));
    QCOMPARE(texts(v.maps), QStringList{"First.png"});
    QCOMPARE(t.folder.read(QStringLiteral("SavedLevels/First.png")), mapBytes(kDune));
}

void TestMapsWindow::mapNamesAndPreview()
{
    TestApp t;
    makeTree(t.folder);
    t.folder.writeFile(QStringLiteral("SavedLevels/broken.png"), "not a picture");
    const View v = openMaps(t);
    // Full names, in order without regard to case; the text file is no map.
    QCOMPARE(texts(v.maps), (QStringList{"Arena.PNG", "broken.png", "Dune.old.png"}));
    QCOMPARE(v.name->text(), QStringLiteral("Arena"));
    QCOMPARE(v.previewColour(), kArena);
    QCOMPARE(v.previewSize(), QSize(777, 265));

    clickItem(v.maps, QStringLiteral("Dune.old.png"));
    QCOMPARE(v.name->text(), QStringLiteral("Dune"));
    QCOMPARE(v.previewColour(), kDune);

    // A file that is no picture shows as such.
    clickItem(v.maps, QStringLiteral("broken.png"));
    QCOMPARE(v.previewColour(), QColor(Qt::black));
    QCOMPARE(v.name->text(), QStringLiteral("No Map Selected!"));
}

void TestMapsWindow::quickSelectionsEndOnTheLastMap()
{
    TestApp t;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    int i = 0;
    for (const QColor& c : colours) // big enough that drawing one takes a while
        t.folder.writeFile(QStringLiteral("SavedLevels/m%1.png").arg(i++), mapBytes(c, QSize(2400, 1200)));
    const View v = openMaps(t);
    for (int round = 0; round < 3; ++round) {
        for (int row = 0; row < v.maps->count(); ++row)
            v.maps->setCurrentRow(row);
        QCOMPARE(v.name->text(), QStringLiteral("m5"));
        QCOMPARE(v.previewColour(), QColor(Qt::magenta));
        v.maps->setCurrentRow(2);
        v.maps->setCurrentRow(1);
        QCOMPARE(v.previewColour(), QColor(Qt::green));
        QCOMPARE(v.name->text(), QStringLiteral("m1"));
    }
}

void TestMapsWindow::vanishedMapShowsBlack()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    QCOMPARE(v.previewColour(), kArena);
    QVERIFY(QFile::remove(t.folder.path(QStringLiteral("SavedLevels/Dune.old.png"))));
    clickItem(v.maps, QStringLiteral("Dune.old.png"));
    QCOMPARE(v.previewColour(), QColor(Qt::black));
    QCOMPARE(v.name->text(), QStringLiteral("No Map Selected!"));
    // Clicking the map shown again redraws it.
    clickItem(v.maps, QStringLiteral("Arena.PNG"));
    QCOMPARE(v.previewColour(), kArena);
    QFile::remove(t.folder.path(QStringLiteral("SavedLevels/Arena.PNG")));
    clickItem(v.maps, QStringLiteral("Arena.PNG"));
    QCOMPARE(v.previewColour(), QColor(Qt::black));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::renameMap_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("question"); // "" for none, else answered with `yes`
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("holder"); // the file that then holds the map's bytes, "" when nothing moved
    QTest::addColumn<QStringList>("after");

    const QString replace =
        QStringLiteral("There is already a map called 'Arena.PNG' in this folder. Do you want to replace it?");
    const QStringList unchanged{"Arena.PNG", "Caverns", "Deserts", "Dune.old.png", "notes.txt"};
    const struct {
        const char* row;
        QString map, offered, answer, question;
        bool yes;
        QString warning, holder;
        QStringList after;
    } rows[] = {
        // clang-format off
        {"Arena.PNG offers Arena", "Arena.PNG", "Arena", "Arena", "", false, "", "Arena.png",
         {"Arena.png", "Caverns", "Deserts", "Dune.old.png", "notes.txt"}},
        {"new name", "Arena.PNG", "Arena", "Colosseum", "", false, "", "Colosseum.png",
         {"Caverns", "Colosseum.png", "Deserts", "Dune.old.png", "notes.txt"}},
        {"onto another map, No", "Dune.old.png", "Dune.old", "arena", replace, false, "", "Dune.old.png", unchanged},
        {"onto another map, Yes", "Dune.old.png", "Dune.old", "arena", replace, true, "", "Arena.PNG",
         {"Arena.PNG", "Caverns", "Deserts", "notes.txt"}},
        {"out of the folder", "Arena.PNG", "Arena", "../Arena", "", false,
         "'../Arena' is not a valid name: a name cannot contain / or \\.", "Arena.PNG", unchanged},
        // clang-format on
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.map << r.offered << r.answer << r.question << r.yes << r.warning << r.holder
                             << r.after;
}

void TestMapsWindow::renameMap()
{
    QFETCH(QString, map);
    QFETCH(QString, offered);
    QFETCH(QString, answer);
    QFETCH(QString, question);
    QFETCH(bool, yes);
    QFETCH(QString, warning);
    QFETCH(QString, holder);
    QFETCH(QStringList, after);

    TestApp t;
    makeTree(t.folder);
    const QByteArray bytes = t.folder.read(QStringLiteral("SavedLevels/") + map);
    const View v = openMaps(t);
    clickItem(v.maps, map);
    t.prompter.answerInput(answer);
    if (!question.isEmpty())
        yes ? t.prompter.answerYes() : t.prompter.answerNo();
    v.press("cmdRenameMap");

    QStringList expected{inputBox("What would you like to rename the map?", "Rename Map", offered)};
    if (!question.isEmpty())
        expected << message(question, "Rename Map", Buttons::YesNo, Icon::Question);
    if (!warning.isEmpty())
        expected << message(warning, AppInfo::title(), Buttons::Ok, Icon::Exclamation);
    QCOMPARE(boxes(t.prompter), expected);
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")), after);
    QCOMPARE(t.folder.read(QStringLiteral("SavedLevels/") + holder), bytes);
    QStringList shown = after.filter(QStringLiteral(".png"), Qt::CaseInsensitive);
    QCOMPARE(texts(v.maps), shown);
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::renameWithoutMapOrAnswer()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    const QStringList before = t.folder.entries(QStringLiteral("SavedLevels"));
    t.prompter.answerInput(QString()); // cancelled or empty
    v.press("cmdRenameMap");
    QCOMPARE(t.prompter.texts(), QStringList{"What would you like to rename the map?"});
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")), before);

    doubleClickItem(v.folders, QStringLiteral("Deserts"));
    t.prompter.clear();
    v.press("cmdRenameMap");
    v.press("cmdDeleteMap");
    QCOMPARE(boxes(t.prompter),
             (QStringList{message("Please select a map first.", AppInfo::title(), Buttons::Ok, Icon::None),
                          message("Please select a map first.", AppInfo::title(), Buttons::Ok, Icon::None)}));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::newFolder_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QStringList>("caverns"); // entries of SavedLevels/Caverns afterwards

    const QStringList unchanged{"Big", "Cave.png"};
    QTest::newRow("made inside the folder viewed") << "Lava"
                                                   << "" << QStringList{"Big", "Cave.png", "Lava"};
    QTest::newRow("empty answer") << ""
                                  << "" << unchanged;
    QTest::newRow("exists") << "big"
                            << "There is already a folder or file called 'Big' here." << unchanged;
    QTest::newRow("climbs out") << "../../../Evil"
                                << "'../../../Evil' is not a valid name: a name cannot contain / or \\." << unchanged;
}

void TestMapsWindow::newFolder()
{
    QFETCH(QString, answer);
    QFETCH(QString, warning);
    QFETCH(QStringList, caverns);

    TestApp t;
    makeTree(t.folder);
    const QStringList userBefore = t.folder.entries(QString());
    const View v = openMaps(t);
    doubleClickItem(v.folders, QStringLiteral("Caverns"));
    doubleClickItem(v.transfer, QStringLiteral("Caverns"));
    t.prompter.answerInput(answer);
    v.press("cmdNewFolder");

    QStringList expected{inputBox("What would you like to name the new folder?", "Create New Folder", "")};
    if (!warning.isEmpty())
        expected << message(warning, AppInfo::title(), Buttons::Ok, Icon::Exclamation);
    QCOMPARE(boxes(t.prompter), expected);
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Caverns")), caverns);
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")),
             (QStringList{"Arena.PNG", "Caverns", "Deserts", "Dune.old.png", "notes.txt"}));
    QCOMPARE(t.folder.entries(QString()), userBefore);
    // Both folder lists show what is there.
    const QStringList folders = caverns.filter(QRegularExpression(QStringLiteral("^[^.]*$")));
    QCOMPARE(texts(v.folders), QStringList{"<<Back"} + folders);
    QCOMPARE(texts(v.transfer), QStringList{"<<Back"} + folders);
    QVERIFY(v.window->isVisible());
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::deleteFolder_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("after"); // entries of SavedLevels/Caverns

    QTest::newRow("Yes") << "Big" << true << QStringList{"Cave.png", "Deep"};
    QTest::newRow("No") << "Big" << false << QStringList{"Big", "Cave.png", "Deep"};
    QTest::newRow("a folder holding a folder keeps it") << "Deep" << true << QStringList{"Big", "Cave.png", "Deep"};
    QTest::newRow("<<Back names no folder") << "<<Back" << true << QStringList{"Big", "Cave.png", "Deep"};
}

void TestMapsWindow::deleteFolder()
{
    QFETCH(QString, entry);
    QFETCH(bool, yes);
    QFETCH(QStringList, after);

    TestApp t;
    makeTree(t.folder);
    t.folder.writeFile(QStringLiteral("SavedLevels/Caverns/Deep/map.png"), mapBytes(kDune));
    t.folder.makeDir(QStringLiteral("SavedLevels/Caverns/Deep/Deeper"));
    const View v = openMaps(t);
    doubleClickItem(v.folders, QStringLiteral("Caverns"));
    clickItem(v.folders, entry);
    yes ? t.prompter.answerYes() : t.prompter.answerNo();
    v.press("cmdDeleteFolder");

    QCOMPARE(boxes(t.prompter), (QStringList{message("Are you sure you want to delete the '" + entry +
                                                         "' folder and all of it's contents?",
                                                     "Delete Folder?", Buttons::YesNo, Icon::Question)}));
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Caverns")), after);
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")),
             (QStringList{"Arena.PNG", "Caverns", "Deserts", "Dune.old.png", "notes.txt"}));
    if (entry == QLatin1String("Deep") && yes)
        QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Caverns/Deep")), QStringList{"Deeper"});
    QCOMPARE(texts(v.folders), QStringList{"<<Back"} + after.filter(QRegularExpression(QStringLiteral("^[^.]*$"))));
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/Caverns"));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::deleteMap()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    clickItem(v.maps, QStringLiteral("Dune.old.png"));

    t.prompter.answerNo();
    v.press("cmdDeleteMap");
    QVERIFY(t.folder.exists(QStringLiteral("SavedLevels/Dune.old.png")));

    t.prompter.answerYes();
    v.press("cmdDeleteMap");
    QVERIFY(!t.folder.exists(QStringLiteral("SavedLevels/Dune.old.png")));
    QCOMPARE(texts(v.maps), QStringList{"Arena.PNG"});
    QCOMPARE(v.name->text(), QStringLiteral("Arena"));

    // A map that cannot be deleted (here a folder took its place): a message,
    // and the lists show the disk.
    QFile::remove(t.folder.path(QStringLiteral("SavedLevels/Arena.PNG")));
    t.folder.makeDir(QStringLiteral("SavedLevels/Arena.PNG"));
    t.prompter.answerYes();
    v.press("cmdDeleteMap");
    QCOMPARE(boxes(t.prompter),
             (QStringList{
                 message("Are you sure you want to delete Dune.old.png?", "Delete?", Buttons::YesNo, Icon::Question),
                 message("Are you sure you want to delete Dune.old.png?", "Delete?", Buttons::YesNo, Icon::Question),
                 message("Are you sure you want to delete Arena.PNG?", "Delete?", Buttons::YesNo, Icon::Question),
                 message("The map 'Arena.PNG' could not be deleted. It may be in use or write-protected.",
                         AppInfo::title(), Buttons::Ok, Icon::Exclamation)}));
    QVERIFY(texts(v.maps).isEmpty());
    QCOMPARE(texts(v.folders), (QStringList{"Arena.PNG", "Caverns", "Deserts"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::dropsOnTheMapList()
{
    TestApp t;
    makeTree(t.folder);
    const QString a = t.folder.writeFile(QStringLiteral("Desktop/Island.png"), mapBytes(kDune));
    const QString b = t.folder.writeFile(QStringLiteral("Desktop/readme.txt"), "read me");
    const QString c = t.folder.writeFile(QStringLiteral("Desktop/CAVE.PNG"), mapBytes(kArena));
    const View v = openMaps(t);
    doubleClickItem(v.folders, QStringLiteral("Caverns"));

    std::unique_ptr<QMimeData> mime(desktopFiles({a, b, c}));
    QVERIFY(drag(v.maps, mime.get()));
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Caverns")),
             (QStringList{"Big", "Cave.png", "Island.png", "readme.txt"}));
    QCOMPARE(texts(v.maps), (QStringList{"Cave.png", "Island.png"}));
    QCOMPARE(t.folder.read(QStringLiteral("SavedLevels/Caverns/Cave.png")), mapBytes(kArena)); // replaced
    QCOMPARE(t.folder.read(QStringLiteral("SavedLevels/Caverns/readme.txt")), QByteArray("read me"));
    QVERIFY(QFile::exists(a) && QFile::exists(b) && QFile::exists(c)); // copied, not moved

    // The window's own drag dropped back on the map list does nothing.
    clickItem(v.maps, QStringLiteral("Island.png"));
    std::unique_ptr<QMimeData> own(v.maps->dragData());
    QVERIFY(!drag(v.maps, own.get()));
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Caverns")),
             (QStringList{"Big", "Cave.png", "Island.png", "readme.txt"}));
    VERIFY_PROMPTER(t.prompter);
    QVERIFY(t.prompter.boxes().isEmpty());
}

void TestMapsWindow::outsideDropOnTheTransferList_data()
{
    QTest::addColumn<QString>("transferFolder"); // entered on the transfer side first, "" for none
    QTest::addColumn<QString>("target");         // entry highlighted
    QTest::addColumn<QString>("copiedTo");       // "" when refused

    QTest::newRow("[Root]") << ""
                            << "[Root]"
                            << "SavedLevels";
    QTest::newRow("a sub-folder") << ""
                                  << "Deserts"
                                  << "SavedLevels/Deserts";
    QTest::newRow("a sub-folder below") << "Caverns"
                                        << "Big"
                                        << "SavedLevels/Caverns/Big";
    QTest::newRow("<<Back refused") << "Caverns"
                                    << "<<Back"
                                    << "";
}

void TestMapsWindow::outsideDropOnTheTransferList()
{
    QFETCH(QString, transferFolder);
    QFETCH(QString, target);
    QFETCH(QString, copiedTo);

    TestApp t;
    makeTree(t.folder);
    const QString a = t.folder.writeFile(QStringLiteral("Desktop/Island.png"), mapBytes(kDune));
    const QString b = t.folder.writeFile(QStringLiteral("Desktop/readme.txt"), "read me");
    const View v = openMaps(t);
    if (!transferFolder.isEmpty())
        doubleClickItem(v.transfer, transferFolder);
    clickItem(v.transfer, target);
    const QStringList mapsBefore = t.folder.entries(QStringLiteral("SavedLevels"));

    std::unique_ptr<QMimeData> mime(desktopFiles({a, b}));
    QVERIFY(drag(v.transfer, mime.get()));
    if (copiedTo.isEmpty()) {
        QCOMPARE(boxes(t.prompter),
                 (QStringList{message("Please highlight a folder", "Transfer", Buttons::Ok, Icon::Information)}));
        QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Caverns")), (QStringList{"Big", "Cave.png"}));
        QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")), mapsBefore);
    } else {
        QVERIFY(t.prompter.boxes().isEmpty());
        QCOMPARE(t.folder.read(copiedTo + QStringLiteral("/Island.png")), mapBytes(kDune));
        QCOMPARE(t.folder.read(copiedTo + QStringLiteral("/readme.txt")), QByteArray("read me"));
        QVERIFY(QFile::exists(a) && QFile::exists(b));
    }
    QVERIFY(!v.notice->isVisible()); // no notice for copies
    QCOMPARE(texts(v.maps),
             (QStringList{"Arena.PNG", "Dune.old.png"} +
              QStringList(copiedTo == QLatin1String("SavedLevels") ? QStringList{"Island.png"} : QStringList())));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::moveMap_data()
{
    QTest::addColumn<QString>("mapFolder");      // entered on the map side, "" for the root
    QTest::addColumn<QString>("map");            // selected and dragged
    QTest::addColumn<QString>("transferFolder"); // entered on the transfer side, "" for none
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("destination"); // where the map lands; "" when nothing moves
    QTest::addColumn<QString>("box");         // the message shown, "" for none

    QTest::newRow("onto [Root] from a sub-folder") << "Caverns"
                                                   << "Cave.png"
                                                   << ""
                                                   << "[Root]"
                                                   << "SavedLevels/Cave.png"
                                                   << "";
    QTest::newRow("into a sub-folder of the transfer side") << ""
                                                            << "Dune.old.png"
                                                            << "Caverns"
                                                            << "Big"
                                                            << "SavedLevels/Caverns/Big/Dune.old.png"
                                                            << "";
    QTest::newRow("onto a map of the same name") << "Caverns/Big"
                                                 << "Huge.png"
                                                 << ""
                                                 << "[Root]"
                                                 << "SavedLevels/Huge.png"
                                                 << "";
    QTest::newRow("onto <<Back") << ""
                                 << "Dune.old.png"
                                 << "Caverns"
                                 << "<<Back"
                                 << ""
                                 << "Please select a folder";
    QTest::newRow("into its own folder") << "Caverns"
                                         << "Cave.png"
                                         << ""
                                         << "Caverns"
                                         << ""
                                         << "'Cave.png' is already in that folder.";
}

void TestMapsWindow::moveMap()
{
    QFETCH(QString, mapFolder);
    QFETCH(QString, map);
    QFETCH(QString, transferFolder);
    QFETCH(QString, target);
    QFETCH(QString, destination);
    QFETCH(QString, box);

    TestApp t;
    makeTree(t.folder);
    t.folder.writeFile(QStringLiteral("SavedLevels/HUGE.png"), "an older map of that name");
    const QString source = QStringLiteral("SavedLevels/") + (mapFolder.isEmpty() ? QString() : mapFolder + "/") + map;
    const QByteArray bytes = t.folder.read(source);
    const View v = openMaps(t);
    for (const QString& level : mapFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        doubleClickItem(v.folders, level);
    if (!transferFolder.isEmpty())
        doubleClickItem(v.transfer, transferFolder);
    clickItem(v.transfer, target);
    clickItem(v.maps, map);

    std::unique_ptr<QMimeData> own(v.maps->dragData());
    QVERIFY(own);
    QVERIFY(drag(v.transfer, own.get()));
    if (destination.isEmpty()) {
        QCOMPARE(boxes(t.prompter), (QStringList{message(box, AppInfo::title(), Buttons::Ok, Icon::Information)}));
        QCOMPARE(t.folder.read(source), bytes);
        QVERIFY(!v.notice->isVisible());
    } else {
        QVERIFY(t.prompter.boxes().isEmpty());
        QVERIFY(!t.folder.exists(source));
        // A file of that name under any letter case is the one replaced.
        QString landed = destination;
        if (!t.folder.exists(landed))
            landed = QFileInfo(destination).path() + QStringLiteral("/HUGE.png");
        QCOMPARE(t.folder.read(landed), bytes);
        QVERIFY(!itemNamed(v.maps, map));
        QVERIFY(v.notice->isVisible());
        QCOMPARE(v.notice->text(), QStringLiteral("Transfer Complete!"));
        QTRY_VERIFY(!v.notice->isVisible());
    }
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::moveKeepsLevelChunk()
{
    TestApp t;
    const QByteArray level = LevelMaps::solid(QSize(640, 32), kDune, QByteArrayLiteral("w2lv"));
    t.folder.writeFile(QStringLiteral("SavedLevels/Level.png"), level);
    t.folder.makeDir(QStringLiteral("SavedLevels/Kept"));
    const View v = openMaps(t);
    QCOMPARE(v.previewColour(), kDune); // the game's maps preview too

    clickItem(v.transfer, QStringLiteral("Kept"));
    std::unique_ptr<QMimeData> own(v.maps->dragData());
    QVERIFY(drag(v.transfer, own.get()));
    QCOMPARE(t.folder.read(QStringLiteral("SavedLevels/Kept/Level.png")), level);

    doubleClickItem(v.folders, QStringLiteral("Kept"));
    t.prompter.answerInput(QStringLiteral("Renamed"));
    v.press("cmdRenameMap");
    QCOMPARE(t.folder.read(QStringLiteral("SavedLevels/Kept/Renamed.png")), level);
    QVERIFY(LevelMaps::hasLevelChunk(level, QByteArrayLiteral("w2lv")));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::desktopDragCrossingTheMapListIsCopied()
{
    TestApp t;
    makeTree(t.folder);
    const QString outside = t.folder.writeFile(QStringLiteral("Desktop/Outside.png"), mapBytes(kCave));
    const View v = openMaps(t);
    clickItem(v.transfer, QStringLiteral("Deserts"));
    clickItem(v.maps, QStringLiteral("Dune.old.png"));

    std::unique_ptr<QMimeData> mime(desktopFiles({outside}));
    QVERIFY(drag(v.maps, mime.get(), false));
    drag(v.preview, mime.get(), false);
    QVERIFY(drag(v.maps, mime.get(), false));
    QVERIFY(drag(v.transfer, mime.get()));

    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels/Deserts")), QStringList{"Outside.png"});
    QVERIFY(t.folder.exists(QStringLiteral("SavedLevels/Dune.old.png"))); // the selected map stayed
    QVERIFY(QFile::exists(outside));
    QVERIFY(!v.notice->isVisible());
    QVERIFY(t.prompter.boxes().isEmpty());
}

void TestMapsWindow::transferSideNavigation()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    doubleClickItem(v.transfer, QStringLiteral("[Root]"));
    QCOMPARE(v.window->currentTransferFolder(), QStringLiteral("/"));
    doubleClickItem(v.transfer, QStringLiteral("Caverns"));
    QCOMPARE(v.window->currentTransferFolder(), QStringLiteral("/Caverns"));
    QCOMPARE(texts(v.transfer), (QStringList{"<<Back", "Big"}));
    QCOMPARE(selectedTexts(v.transfer), QStringList{"<<Back"});
    doubleClickItem(v.transfer, QStringLiteral("Big"));
    QCOMPARE(v.window->currentTransferFolder(), QStringLiteral("/Caverns/Big"));
    QCOMPARE(texts(v.transfer), QStringList{"<<Back"});
    doubleClickItem(v.transfer, QStringLiteral("<<Back"));
    doubleClickItem(v.transfer, QStringLiteral("<<Back"));
    QCOMPARE(v.window->currentTransferFolder(), QStringLiteral("/"));
    QCOMPARE(texts(v.transfer), (QStringList{"[Root]", "Caverns", "Deserts"}));
    // The map side did not move.
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/"));
    QCOMPARE(v.viewing->text(), QStringLiteral("Viewing: Root Folder"));
}

void TestMapsWindow::folderRemovedBehindTheWindow()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    doubleClickItem(v.folders, QStringLiteral("Caverns"));
    doubleClickItem(v.folders, QStringLiteral("Big"));
    doubleClickItem(v.transfer, QStringLiteral("Caverns"));
    QVERIFY(QDir(t.folder.path(QStringLiteral("SavedLevels/Caverns"))).removeRecursively());

    // Nothing is made in a folder that is gone; the refill shows the nearest
    // folder that is still there.
    t.prompter.answerInput(QStringLiteral("Fresh"));
    v.press("cmdNewFolder");
    QCOMPARE(boxes(t.prompter),
             (QStringList{inputBox("What would you like to name the new folder?", "Create New Folder", ""),
                          message("The folder 'Fresh' could not be created.", AppInfo::title(), Buttons::Ok,
                                  Icon::Exclamation)}));
    QCOMPARE(v.window->currentMapFolder(), QStringLiteral("/"));
    QCOMPARE(v.viewing->text(), QStringLiteral("Viewing: Root Folder"));
    QCOMPARE(v.window->currentTransferFolder(), QStringLiteral("/"));
    QCOMPARE(texts(v.folders), QStringList{"Deserts"});
    QCOMPARE(texts(v.transfer), (QStringList{"[Root]", "Deserts"}));
    QCOMPARE(t.folder.entries(QStringLiteral("SavedLevels")),
             (QStringList{"Arena.PNG", "Deserts", "Dune.old.png", "notes.txt"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::helpAndSites()
{
    TestApp t;
    makeTree(t.folder);
    const View v = openMaps(t);
    auto* check1 = named<QCheckBox>(v.window, QStringLiteral("Check1"));
    auto* check2 = named<QCheckBox>(v.window, QStringLiteral("Check2"));
    auto* desc = named<QLabel>(v.window, QStringLiteral("lblDesc"));
    auto* frame3 = named<QWidget>(v.window, QStringLiteral("Frame3"));

    click(check1);
    QVERIFY(desc->isVisible());
    QCOMPARE(desc->text(),
             QStringLiteral("TRANSFER STATION: If you would like to transfer a map to a different folder, simply "
                            "highlight the folder you'd like the map to transfer to from this box, then click and "
                            "drag the map to the box!     You can also transfer external pngs to here!"));
    click(check1);
    QVERIFY(!desc->isVisible());

    click(check2);
    QVERIFY(frame3->isVisible());
    click(named<ClickLabel>(v.window, QStringLiteral("lblWMDB")));
    click(named<ClickLabel>(v.window, QStringLiteral("lblOxbel")));
    QCOMPARE(t.desktop.urls, (QList<QUrl>{QUrl(QStringLiteral("https://www.wmdb.org/")),
                                          QUrl(QStringLiteral("https://worms2d.info/Colour_map"))}));
    click(check2);
    QVERIFY(!frame3->isVisible());
    VERIFY_PROMPTER(t.prompter);
}

void TestMapsWindow::resizeKeepsFramesAtTheBottom()
{
    TestApp t;
    const View v = openMaps(t);
    auto* frame1 = named<QWidget>(v.window, QStringLiteral("Frame1"));
    auto* frame2 = named<QWidget>(v.window, QStringLiteral("Frame2"));
    v.window->resize(777, 600);
    QTRY_COMPARE(frame1->y(), 600 - 53);
    QCOMPARE(frame2->y(), 600 - 53);
    for (QListWidget* list : {v.folders, static_cast<QListWidget*>(v.maps), static_cast<QListWidget*>(v.transfer)})
        QCOMPARE(list->height(), 600 - 373);
    // Too small for the lists: their heights stay as they were.
    v.window->resize(777, 360);
    QTRY_COMPARE(frame1->y(), 360 - 53);
    QCOMPARE(v.folders->height(), 600 - 373);
}

QTEST_MAIN(TestMapsWindow)
#include "tst_maps_window.moc"
