// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/AppInfo.h"
#include "common/ui/WindowNames.h"
#include "maps/ui/MapListWidget.h"
#include "maps/ui/MapsWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/HeldFileSystem.h"
#include "support/TestApp.h"
#include "support/TestMaps.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

namespace {

using Icon = Prompter::Icon;
using Buttons = Prompter::Buttons;

// Every map has a colour of its own, so that the preview tells which map it shows.
const QColor kDune(200, 150, 50), kArena(30, 160, 60), kCave(90, 40, 140), kBlack(Qt::black);
const QString kNoLoad = QStringLiteral(": the game will not load this map.");
const QString kSeparator = QStringLiteral(" is not a valid name: a name cannot contain / or \\.");

// A map in one colour as the game saves it (indexed, with its level chunk),
// or without a chunk when `chunk` is empty.
QByteArray mapBytes(const QColor& colour, QSize size = QSize(640, 32), const QByteArray& chunk = "waLV")
{
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), colour.rgb()});
    image.fill(1);
    return chunk.isEmpty() ? TestMaps::pngBytes(image) : TestMaps::levelMapPng(image, chunk);
}

// SavedLevels with Caverns (holding Big, and Big holding a map) and Deserts.
void makeTree(TestUserFolder& f)
{
    f.writeFile(QStringLiteral("SavedLevels/Dune.old.png"), mapBytes(kDune));
    f.writeFile(QStringLiteral("SavedLevels/Arena.PNG"), mapBytes(kArena));
    f.writeFile(QStringLiteral("SavedLevels/notes.txt"), "not a map");
    f.writeFile(QStringLiteral("SavedLevels/Caverns/Cave.png"), mapBytes(kCave, QSize(640, 32), "w2lv"));
    f.writeFile(QStringLiteral("SavedLevels/Caverns/Big/Huge.png"), mapBytes(kArena));
    f.makeDir(QStringLiteral("SavedLevels/Deserts"));
}

// A table of cases in one column "c"; each case names its own row.
template <class Case> void addCases(std::initializer_list<Case> cases)
{
    QTest::addColumn<Case>("c");
    for (const Case& c : cases)
        QTest::newRow(c.row) << c;
}

QStringList texts(const QListWidget* list, bool selectedOnly = false)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (!selectedOnly || list->item(i)->isSelected())
            out << list->item(i)->text();
    return out;
}

void clickItem(QListWidget* list, const QString& text, bool twice = false)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    const QPoint at = list->visualItemRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Double-clicks the entries of a "/"-separated trail in turn ("Caverns/Big/<<Back").
void enter(QListWidget* list, const QString& trail)
{
    for (const QString& entry : trail.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        clickItem(list, entry, true);
}

// A drag from outside the window that enters `widget` and is dropped on it,
// or only passes over it. Lists take drags on their viewport. A drop is
// handled once the drag has ended (and its copies, with `settle`). True when the widget took the drag.
bool drag(QWidget* widget, const QMimeData* mime, bool drop = true, bool settle = true)
{
    auto* window = qobject_cast<MapsWindow*>(widget->window());
    if (auto* list = qobject_cast<QListWidget*>(widget))
        widget = list->viewport();
    const QPoint at = widget->rect().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!drop || !enter.isAccepted()) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(widget, &leave);
        return enter.isAccepted();
    }
    QDropEvent dropped(QPointF(at), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &dropped);
    QCoreApplication::processEvents();
    if (settle && window && !QTest::qWaitFor([window] { return !window->previewPending(); }, 10000))
        return false;
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
    explicit View(QWidget* w)
        : window(qobject_cast<MapsWindow*>(w))
        , folders(named<QListWidget>(w, QStringLiteral("lstFolderPick")))
        , maps(named<MapListWidget>(w, QStringLiteral("List1")))
        , transfer(named<MapListWidget>(w, QStringLiteral("lstFolderTransfer")))
        , name(named<QLabel>(w, QStringLiteral("lblMapName")))
        , viewing(named<QLabel>(w, QStringLiteral("lblViewing")))
        , preview(named<QLabel>(w, QStringLiteral("picPreview")))
    {
    }
    MapsWindow* window;
    QListWidget* folders;
    MapListWidget *maps, *transfer;
    QLabel *name, *viewing, *preview;

    void press(const char* button) const { click(named(window, QLatin1String(button))); }

    // Waits for the preview and gives the colour at its middle.
    QColor previewColour() const
    {
        if (!QTest::qWaitFor([this] { return !window->previewPending(); }, 5000))
            return QColor();
        const QImage image = preview->pixmap().toImage();
        return image.isNull() ? QColor() : image.pixelColor(image.rect().center());
    }
};

// The window opened on the folders prepared, with makeTree()'s when `tree`.
View openMaps(TestApp& t, bool tree = true)
{
    if (tree)
        makeTree(t.folder);
    t.create();
    View v(t.app().window(WindowNames::Maps));
    if (v.window)
        v.window->show();
    return v;
}

// A box as one line: text, title, default text, buttons, icon. Whether it is an
// input box shows in the kind of answer it takes (VERIFY_PROMPTER).
QString box(const QString& text, const QString& title = AppInfo::title(), Buttons buttons = Buttons::Ok,
            Icon icon = Icon::None, const QString& offered = QString())
{
    return QStringList{text, title, offered, QString::number(int(buttons)), QString::number(int(icon))}.join('|');
}

QString warning(const QString& text)
{
    return box(text, AppInfo::title(), Buttons::Ok, Icon::Exclamation);
}

QStringList boxes(const FakePrompter& prompter)
{
    QStringList out;
    for (const FakePrompter::Box& b : prompter.boxes())
        out << box(b.text, b.title, b.buttons, b.icon, b.extra);
    return out;
}

// Makes `changes` under SavedLevels: "-path" removes a file or folder, "+path/" makes a folder.
void change(const TestUserFolder& f, const QStringList& changes)
{
    for (const QString& c : changes) {
        const QString path = f.path("SavedLevels/" + c.mid(1));
        if (c.startsWith('+'))
            QDir().mkpath(path);
        else if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

// `files`, a snapshot, once `changes` are made; a "+file" then holds `bytes`.
void change(QMap<QString, QByteArray>& files, const QStringList& changes, const QByteArray& bytes)
{
    for (const QString& c : changes) {
        const QString path = "SavedLevels/" + c.mid(1);
        if (c.startsWith('+')) {
            files.insert(path, path.endsWith('/') ? QByteArray() : bytes);
            continue;
        }
        for (auto it = files.begin(); it != files.end();)
            it =
                it.key() == path || (path.endsWith('/') && it.key().startsWith(path)) ? files.erase(it) : std::next(it);
    }
}

// Both sides list what their folders hold on disk: the maps, and the folders
// after the parent entry ("<<Back"; "[Root]" at the transfer side's root, none
// at the map side's).
void verifyListsShowTheDisk(const View& v, const TestUserFolder& f, bool transferSide = true)
{
    const auto onDisk = [&f](const QString& folder, QDir::Filters filter) {
        return QDir(f.path("SavedLevels" + folder))
            .entryList(filter | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    };
    const QString maps = v.window->currentMapFolder(), transfer = v.window->currentTransferFolder();
    QCOMPARE(
        texts(v.maps),
        onDisk(maps, QDir::Files).filter(QRegularExpression("\\.png$", QRegularExpression::CaseInsensitiveOption)));
    QCOMPARE(texts(v.folders), (maps == "/" ? QStringList() : QStringList{"<<Back"}) + onDisk(maps, QDir::Dirs));
    if (transferSide)
        QCOMPARE(texts(v.transfer), QStringList{transfer == "/" ? "[Root]" : "<<Back"} + onDisk(transfer, QDir::Dirs));
    QCOMPARE(v.viewing->text(), "Viewing: " + (maps == "/" ? "Root" : maps.section('/', -1)) + " Folder");
}

struct NavigationCase {
    const char* row;
    bool transferSide; // else the map side
    QString trail;     // entries double-clicked in turn
    QString folder;
    // The map side's first map: by default the root's.
    QString name = QStringLiteral("Arena");
    QColor preview = kArena;
};

struct ActionCase {
    const char* row;
    const char* action; // the button pressed, or "drop": the map (without one, a desktop file) onto the transfer side
    QString folder;     // entered on the map side first, "" for the root
    QString map;        // clicked in the map list, "" for none
    QString entry;      // then highlighted in the folder list (transfer side for a drop), "" for none
    QString input;      // typed into the input box; null for none
    QString answer;     // "yes" or "no" to the question; null for none
    QStringList boxes;  // "@" stands for the first file or folder removed behind the window's back
    QStringList changes{};    // under SavedLevels: "-gone", "+new folder/", "+file" (now holding the bytes dragged)
    QStringList behind{};     // the same, done behind the window's back just before the action
    QString transferFolder{}; // entered on the transfer side; null for `folder`
    QString lands{};          // the folder then viewed on the map side, when not `folder`
};

} // namespace

Q_DECLARE_METATYPE(NavigationCase)
Q_DECLARE_METATYPE(ActionCase)

class TestMapsWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;       // settings and the thumbnail cache
    std::unique_ptr<TestApp> t; // a fresh one for every test, every box checked after it

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void helpAndSitesFromTheMainMenu();
    void navigation_data();
    void navigation();
    void previewNameAndSettingsOfTheSelectedMap();
    void quickSelectionsEndOnTheLastMap();
    void actions_data();
    void actions();
    void dropsOnTheMapList();
    void dropStoppedPartWay_data();
    void dropStoppedPartWay();
    void mapsRootMissing();
    void picturesView();
};

void TestMapsWindow::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath("cache")));
}

void TestMapsWindow::init()
{
    QDir(m_home.path()).removeRecursively();
    QDir().mkpath(m_home.path());
    t = std::make_unique<TestApp>();
}

void TestMapsWindow::cleanup()
{
    VERIFY_PROMPTER(t->prompter);
    t.reset();
}

void TestMapsWindow::helpAndSitesFromTheMainMenu()
{
    t->folder.writeProbe();
    makeTree(t->folder);
    MainMenuWindow* menu = t->startToMainMenu();
    QVERIFY(menu);
    click(named(menu, QStringLiteral("cmdMaps")));
    const View v(t->existing(WindowNames::Maps));
    QVERIFY(v.window);
    QTRY_VERIFY(v.window->isVisible());
    QVERIFY(!menu->isVisible());
    // The help text and the download sites show while their boxes are ticked.
    auto* desc = named<QLabel>(v.window, QStringLiteral("lblDesc"));
    QWidget* sites = named(v.window, QStringLiteral("Frame3"));
    for (const bool shown : {false, true, false}) {
        QCOMPARE(desc->isVisible(), shown);
        QCOMPARE(sites->isVisible(), shown);
        if (shown) {
            click(named(v.window, QStringLiteral("lblWMDB")));
            click(named(v.window, QStringLiteral("lblOxbel")));
        }
        click(named(v.window, QStringLiteral("Check1")));
        click(named(v.window, QStringLiteral("Check2")));
    }
    QCOMPARE(t->desktop.urls, (QList<QUrl>{QUrl(QStringLiteral("https://www.wmdb.org/")),
                                           QUrl(QStringLiteral("https://worms2d.info/Colour_map"))}));

    v.window->close();
    QTRY_VERIFY(menu->isVisible());
    QTRY_VERIFY(!t->existing(WindowNames::Maps));
    VERIFY_NO_MODAL(t->modalGuard);
}

void TestMapsWindow::navigation_data()
{
    addCases<NavigationCase>({
        {"root", false, "", "/"},
        {"one level in", false, "Caverns", "/Caverns", "Cave", kCave},
        {"two levels in", false, "Caverns/Big", "/Caverns/Big", "Huge"},
        {"back once", false, "Caverns/Big/<<Back", "/Caverns", "Cave", kCave},
        {"back twice", false, "Caverns/Big/<<Back/<<Back", "/"},
        {"a folder without maps", false, "Deserts", "/Deserts", "No Map Selected!", kBlack},
        {"transfer side: [Root] stays", true, "[Root]", "/"},
        {"transfer side: two levels in", true, "Caverns/Big", "/Caverns/Big"},
        {"transfer side: back twice", true, "Caverns/Big/<<Back/<<Back", "/"},
    });
}

void TestMapsWindow::navigation()
{
    QFETCH(NavigationCase, c);
    const View v = openMaps(*t);
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers; // gone before the window
    for (QListWidget* list : {v.folders, static_cast<QListWidget*>(v.maps), static_cast<QListWidget*>(v.transfer)})
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));

    QListWidget* list = c.transferSide ? v.transfer : v.folders;
    enter(list, c.trail);
    QCOMPARE(c.transferSide ? v.window->currentTransferFolder() : v.window->currentMapFolder(), c.folder);
    QCOMPARE(c.transferSide ? v.window->currentMapFolder() : v.window->currentTransferFolder(), QStringLiteral("/"));
    verifyListsShowTheDisk(v, t->folder);
    // "<<Back" and "[Root]" start out highlighted; the root's own map side has nothing highlighted.
    QCOMPARE(texts(list, true), c.transferSide || c.folder != "/" ? texts(list).mid(0, 1) : QStringList());
    QCOMPARE(v.previewColour(), c.preview);
    QCOMPARE(v.name->text(), c.name);
}

void TestMapsWindow::previewNameAndSettingsOfTheSelectedMap()
{
    t->folder.writeFile(QStringLiteral("SavedLevels/broken.png"), "not a picture");
    t->folder.writeFile(QStringLiteral("SavedLevels/png"));
    t->folder.makeDir(QStringLiteral("SavedLevels/Old.png"));
    t->folder.writeFile(QStringLiteral("SavedLevels/Wide.png"),
                        TestMaps::withChunkAfterHeader(mapBytes(kCave, QSize(636, 32), ""), "w2lv",
                                                       TestMaps::levelData(true, 30, 40, 5, 12)));
    t->folder.writeFile(QStringLiteral("SavedLevels/Long.png"), mapBytes(kDune, QSize(32776, 32)));
    const View v = openMaps(*t);
    auto* settings = named<QLabel>(v.window, QStringLiteral("lblMapSettings"));
    auto* warnings = named<QLabel>(v.window, QStringLiteral("lblMapWarnings"));
    // Full names in order without regard to case; text files and folders are no maps.
    QCOMPARE(texts(v.maps), (QStringList{"Arena.PNG", "broken.png", "Dune.old.png", "Long.png", "Wide.png"}));
    const QString island = QStringLiteral("island, 640 × 32, 1 colour, water level 0, objects 0 %, bridges 0 %, "
                                          "18 worm places");
    const struct {
        QString map; // clicked; "" for the first map, selected as the window opens
        bool removeFirst;
        QString name;
        QColor colour;
        QString settings, warnings; // settings "": no settings shown
    } steps[] = {
        {"", false, "Arena", kArena, island, ""},
        {"Wide.png", false, "Wide", kCave,
         "cavern, 636 × 32, 1 colour, water level 30, objects 40 %, bridges 5 %, 12 worm places",
         "Width 636 is not a multiple of 8" + kNoLoad + "\n636 × 32 is smaller than the smallest map, 640 × 32" +
             kNoLoad},
        {"Dune.old.png", false, "Dune", kDune, island, ""},
        {"broken.png", false, "No Map Selected!", kBlack, "not a PNG picture",
         "The file is not a PNG picture" + kNoLoad},
        {"Arena.PNG", false, "Arena", kArena, island, ""},
        {"Long.png", false, "Too large to preview", kBlack,
         "island, 32776 × 32, 8-bit indexed, water level 0, objects 0 %, bridges 0 %, 18 worm places",
         "32776 × 32 is larger than an island can be, 28408 × 30552" + kNoLoad},
        {"Dune.old.png", true, "No Map Selected!", kBlack, "", ""},
        {"Arena.PNG", false, "Arena", kArena, island, ""},
        {"Arena.PNG", true, "No Map Selected!", kBlack, "", ""}, // the map shown, clicked again
    };
    for (const auto& s : steps) {
        if (s.removeFirst)
            QVERIFY(QFile::remove(t->folder.path(QStringLiteral("SavedLevels/") + s.map)));
        if (!s.map.isEmpty())
            clickItem(v.maps, s.map);
        QCOMPARE(v.previewColour(), s.colour);
        QCOMPARE(v.name->text(), s.name);
        QTRY_COMPARE(settings->isVisible() ? settings->text() : QString(), s.settings);
        QTRY_COMPARE(warnings->isVisible() ? warnings->text() : QString(), s.warnings);
    }
}

void TestMapsWindow::quickSelectionsEndOnTheLastMap()
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 0; i < 6; ++i) // big enough that drawing one takes a while
        t->folder.writeFile(QStringLiteral("SavedLevels/m%1.png").arg(i), mapBytes(colours[i], QSize(2400, 1200)));
    const View v = openMaps(*t, false);
    for (int round = 0; round < 3; ++round) {
        for (int row = 0; row < v.maps->count(); ++row)
            v.maps->setCurrentRow(row);
        QCOMPARE(v.previewColour(), QColor(Qt::magenta));
        QCOMPARE(v.name->text(), QStringLiteral("m5"));
        v.maps->setCurrentRow(2);
        v.maps->setCurrentRow(1);
        QCOMPARE(v.previewColour(), QColor(Qt::green));
        QCOMPARE(v.name->text(), QStringLiteral("m1"));
    }
}

void TestMapsWindow::actions_data()
{
    const auto rename = [](const char* offered) {
        return box("What would you like to rename the map?", "Rename Map", Buttons::Ok, Icon::None, offered);
    };
    const QString replace = box("There is already a map called 'Arena.PNG' in this folder. Do you want to replace it?",
                                "Rename Map", Buttons::YesNo, Icon::Question);
    const QString name = box("What would you like to name the new folder?", "Create New Folder");
    const auto sureFolder = [](const QString& folder) {
        return box("Are you sure you want to delete the '" + folder + "' folder and all of it's contents?",
                   "Delete Folder?", Buttons::YesNo, Icon::Question);
    };
    const auto sureMap = [](const QString& map) {
        return box("Are you sure you want to delete " + map + "?", "Delete?", Buttons::YesNo, Icon::Question);
    };
    const QString noMap = box("Please select a map first.");
    const QString failed = QStringLiteral("The map '%1' could not be moved: %2."), title = AppInfo::title();
    const QString none; // no answer
    // clang-format off
    addCases<ActionCase>({
        {"rename: Arena.PNG offers Arena", "cmdRenameMap", "", "Arena.PNG", "", "Arena", none, {rename("Arena")},
         {"-Arena.PNG", "+Arena.png"}},
        {"rename: new name", "cmdRenameMap", "", "Arena.PNG", "", "Colosseum", none, {rename("Arena")},
         {"-Arena.PNG", "+Colosseum.png"}},
        {"rename: own name", "cmdRenameMap", "", "Dune.old.png", "", "Dune.old", none, {rename("Dune.old")}},
        {"rename: empty answer", "cmdRenameMap", "", "Arena.PNG", "", "", none, {rename("Arena")}},
        {"rename onto another map, No", "cmdRenameMap", "", "Dune.old.png", "", "arena", "no",
         {rename("Dune.old"), replace}},
        {"rename onto another map, Yes", "cmdRenameMap", "", "Dune.old.png", "", "arena", "yes",
         {rename("Dune.old"), replace}, {"-Dune.old.png", "+Arena.PNG"}},
        {"rename out of the folder", "cmdRenameMap", "", "Arena.PNG", "", "../Arena", none,
         {rename("Arena"), warning("'../Arena'" + kSeparator)}},
        {"rename: too long with .png", "cmdRenameMap", "", "Arena.PNG", "", QString(252, 'x'), none,
         {rename("Arena"), warning("That name is too long: a name can have at most 255 characters.")}},
        {"rename without a map", "cmdRenameMap", "Deserts", "", "", none, none, {noMap}},
        {"new folder in the folder viewed", "cmdNewFolder", "Caverns/Big", "", "", "Lava", none, {name},
         {"+Caverns/Big/Lava/"}},
        {"new folder: empty answer", "cmdNewFolder", "Caverns/Big", "", "", "", none, {name}},
        {"new folder: a file of that name", "cmdNewFolder", "Caverns/Big", "", "", "HUGE.PNG", none,
         {name, warning("There is already a folder or file called 'Huge.png' here.")}},
        {"new folder climbing out", "cmdNewFolder", "Caverns/Big", "", "", "../../../Evil", none,
         {name, warning("'../../../Evil'" + kSeparator)}},
        {"new folder in a folder that is gone", "cmdNewFolder", "Caverns/Big", "", "", "Fresh", none,
         {name, warning("The folder 'Fresh' could not be created.")}, {}, {"-Caverns/"}, {}, "/"},
        {"delete folder, Yes", "cmdDeleteFolder", "Caverns", "", "Big", none, "yes", {sureFolder("Big")},
         {"-Caverns/Big/"}},
        {"delete folder, No", "cmdDeleteFolder", "Caverns", "", "Big", none, "no", {sureFolder("Big")}},
        // Its files go; a folder holding a folder keeps that folder and stays.
        {"delete a folder holding a folder", "cmdDeleteFolder", "Caverns", "", "Deep", none, "yes",
         {sureFolder("Deep")}, {"-Caverns/Deep/map.png"}},
        {"delete folder: <<Back names no folder", "cmdDeleteFolder", "Caverns", "", "<<Back", none, "yes",
         {sureFolder("<<Back")}},
        {"delete folder: nothing highlighted", "cmdDeleteFolder", "Caverns", "", "", none, none,
         {box("Please select a folder first.")}},
        {"delete map, No", "cmdDeleteMap", "", "Dune.old.png", "", none, "no", {sureMap("Dune.old.png")}},
        {"delete map, Yes", "cmdDeleteMap", "", "Dune.old.png", "", none, "yes", {sureMap("Dune.old.png")},
         {"-Dune.old.png"}},
        {"delete a map a folder took the place of", "cmdDeleteMap", "", "Arena.PNG", "", none, "yes",
         {sureMap("Arena.PNG"),
          warning("The map 'Arena.PNG' could not be deleted. It may be in use or write-protected.")},
         {}, {"-Arena.PNG", "+Arena.PNG/"}},
        {"delete without a map", "cmdDeleteMap", "Deserts", "", "", none, none, {noMap}},
        {"drop: files onto [Root]", "drop", "", "", "[Root]", none, none, {}, {"+Island.png"}},
        {"drop: files into a sub-folder below", "drop", "", "", "Big", none, none, {}, {"+Caverns/Big/Island.png"}, {},
         "Caverns"},
        {"drop: files onto <<Back refused", "drop", "", "", "<<Back", none, none,
         {box("Please highlight a folder", "Transfer", Buttons::Ok, Icon::Information)}, {}, {}, "Caverns"},
        {"drop: files into a folder that is gone", "drop", "", "", "Deserts", none, none, {}, {}, {"-Deserts/"}},
        {"drop: map onto [Root]", "drop", "Caverns", "Cave.png", "[Root]", none, none, {},
         {"-Caverns/Cave.png", "+Cave.png"}, {}, ""},
        {"drop: map into a sub-folder of the transfer side", "drop", "", "Dune.old.png", "Big", none, none, {},
         {"-Dune.old.png", "+Caverns/Big/Dune.old.png"}, {}, "Caverns"},
        // A file of that name under any case is the one replaced.
        {"drop: map onto a file of the same name", "drop", "Caverns/Big", "Huge.png", "[Root]", none, none, {},
         {"-Caverns/Big/Huge.png", "+HUGE.png"}, {}, ""},
        {"drop: map onto <<Back", "drop", "", "Dune.old.png", "<<Back", none, none,
         {box("Please select a folder", title, Buttons::Ok, Icon::Information)}, {}, {}, "Caverns"},
        {"drop: map into its own folder", "drop", "Caverns", "Cave.png", "Caverns", none, none,
         {box("'Cave.png' is already in that folder.", title, Buttons::Ok, Icon::Information)}, {}, {}, ""},
        {"drop: map that is gone", "drop", "Caverns", "Cave.png", "[Root]", none, none,
         {warning(failed.arg("Cave.png", "the file @ does not exist"))}, {}, {"-Caverns/Cave.png"}, ""},
        {"drop: map into a folder that is gone", "drop", "", "Dune.old.png", "Deserts", none, none,
         {warning(failed.arg("Dune.old.png", "the folder is no longer there"))}, {}, {"-Deserts/"}},
    });
    // clang-format on
}

void TestMapsWindow::actions()
{
    QFETCH(ActionCase, c);
    t->folder.writeFile(QStringLiteral("SavedLevels/Caverns/Deep/map.png"), mapBytes(kDune));
    t->folder.makeDir(QStringLiteral("SavedLevels/Caverns/Deep/Deeper"));
    t->folder.writeFile(QStringLiteral("SavedLevels/HUGE.png"), "an older map of that name");
    t->folder.writeFile(QStringLiteral("Desktop/Island.png"), mapBytes(kDune));
    const View v = openMaps(*t);
    const bool drop = c.action == QLatin1String("drop");
    enter(v.folders, c.folder);
    enter(v.transfer, c.transferFolder.isNull() ? c.folder : c.transferFolder);
    if (!c.map.isEmpty())
        clickItem(v.maps, c.map);
    QListWidget* entries = drop ? v.transfer : v.folders;
    if (c.entry.isEmpty())
        entries->clearSelection();
    else
        clickItem(entries, c.entry);
    const QString source = c.map.isEmpty() ? "Desktop/Island.png" : "SavedLevels/" + c.folder + "/" + c.map;
    const QByteArray bytes = t->folder.read(source);
    std::unique_ptr<QMimeData> mime(c.map.isEmpty() ? desktopFiles({t->folder.path(source)}) : v.maps->dragData());
    change(t->folder, c.behind);
    QMap<QString, QByteArray> expected = t->folder.snapshot();
    if (!c.input.isNull())
        t->prompter.answerInput(c.input);
    if (!c.answer.isNull())
        c.answer == QLatin1String("yes") ? t->prompter.answerYes() : t->prompter.answerNo();
    if (!drop)
        v.press(c.action);
    else if (c.map.isEmpty()) // files from the desktop may cross the map list on their way
        QVERIFY(drag(v.maps, mime.get(), false) && drag(v.transfer, mime.get()));
    else
        QVERIFY(drag(v.transfer, mime.get()));

    const QString removed = c.behind.isEmpty() ? QString() : t->folder.path("SavedLevels/" + c.behind.first().mid(1));
    QCOMPARE(boxes(t->prompter), QStringList(c.boxes).replaceInStrings("@", QDir::toNativeSeparators(removed)));
    // Byte for byte, level chunk and all; nothing else on disk changes, nor comes back.
    change(expected, c.changes, bytes);
    const QMap<QString, QByteArray> after = t->folder.snapshot();
    QCOMPARE(after.keys(), expected.keys());
    QVERIFY(after == expected);
    QCOMPARE(v.window->currentMapFolder(), "/" + (c.lands.isNull() ? c.folder : c.lands.mid(1)));
    QLabel* notice = named<QLabel>(v.window, QStringLiteral("lblTransferComplete"));
    QCOMPARE(notice->isVisible(), drop && !c.map.isEmpty() && !c.changes.isEmpty());
    QTRY_VERIFY(!notice->isVisible());
    // The transfer side is listed anew when folders change; what changed behind its back shows then.
    verifyListsShowTheDisk(v, t->folder, c.behind.isEmpty() || QByteArray(c.action).endsWith("Folder"));
}

void TestMapsWindow::dropsOnTheMapList()
{
    const QString a = t->folder.writeFile(QStringLiteral("Desktop/Island.png"), mapBytes(kDune));
    const QString b = t->folder.writeFile(QStringLiteral("Desktop/readme.txt"), "read me");
    const QString c = t->folder.writeFile(QStringLiteral("Desktop/CAVE.PNG"), mapBytes(kArena));
    const QString odd = t->folder.writeFile(QStringLiteral("Desktop/Odd.png"), mapBytes(kCave, QSize(640, 30), ""));
    const QString photo = t->folder.writeFile(QStringLiteral("Desktop/Photo.png"),
                                              TestMaps::pngBytes(QImage(640, 32, QImage::Format_RGB32)));
    const QString folder = t->folder.makeDir(QStringLiteral("Desktop/Folder"));
    const View v = openMaps(*t);
    enter(v.folders, QStringLiteral("Caverns"));

    // Folders and missing files among them are passed over; a map of the same
    // name under other case is the one replaced. Nothing is refused; one
    // message names each map that breaks the game's rules.
    std::unique_ptr<QMimeData> mime(
        desktopFiles({a, b, t->folder.path(QStringLiteral("Desktop/gone.png")), folder, c, odd, photo}));
    QVERIFY(drag(v.maps, mime.get()));
    const QStringList caverns{"Big", "Cave.png", "Island.png", "Odd.png", "Photo.png", "readme.txt"};
    QCOMPARE(t->folder.entries(QStringLiteral("SavedLevels/Caverns")), caverns);
    QCOMPARE(texts(v.maps), (QStringList{"Cave.png", "Island.png", "Odd.png", "Photo.png"}));
    QCOMPARE(t->folder.read(QStringLiteral("SavedLevels/Caverns/Cave.png")), mapBytes(kArena));
    QCOMPARE(t->folder.read(QStringLiteral("SavedLevels/Caverns/readme.txt")), QByteArray("read me"));
    QVERIFY(QFile::exists(a) && QFile::exists(b) && QFile::exists(c)); // copied, not moved
    const QStringList rules{
        warning("These maps were brought in, but they break the game's rules for maps:\n\n"
                "Odd.png (640 × 30, 1 colour, no game settings (a plain picture)):\n- Height 30 is not a multiple of "
                "8" +
                kNoLoad + "\n- 640 × 30 is smaller than the smallest map, 640 × 32" + kNoLoad +
                "\n\nPhoto.png (640 × 32, truecolour, no game settings (a plain picture)):\n- The picture is "
                "truecolour, not 8-bit indexed" +
                kNoLoad)};
    QTRY_COMPARE(boxes(t->prompter), rules);

    // A map dropped from a file manager onto its own folder stays as it is.
    mime.reset(desktopFiles({t->folder.path(QStringLiteral("SavedLevels/Caverns/Island.png"))}));
    QVERIFY(drag(v.maps, mime.get()));
    QCOMPARE(t->folder.read(QStringLiteral("SavedLevels/Caverns/Island.png")), mapBytes(kDune));
    // The window's own drag dropped back on the map list does nothing.
    clickItem(v.maps, QStringLiteral("Island.png"));
    mime.reset(v.maps->dragData());
    QCOMPARE(mime->urls(), {QUrl::fromLocalFile(t->folder.path(QStringLiteral("SavedLevels/Caverns/Island.png")))});
    QVERIFY(!drag(v.maps, mime.get()));
    QCOMPARE(t->folder.entries(QStringLiteral("SavedLevels/Caverns")), caverns);
    QCOMPARE(boxes(t->prompter), rules);
}

void TestMapsWindow::dropStoppedPartWay_data()
{
    QTest::addColumn<bool>("cancel"); // while the second map is copied
    QTest::addColumn<int>("landed");  // the maps then in the folder, from the first
    QTest::newRow("cancelled") << true << 2;
    QTest::newRow("not cancelled") << false << 5;
}

// Cancel keeps the maps copied before it, each one whole, and leaves the rest.
void TestMapsWindow::dropStoppedPartWay()
{
    QFETCH(bool, cancel);
    QFETCH(int, landed);
    const QStringList names{"A.png", "B.png", "C.png", "D.png", "E.png"};
    QStringList files;
    for (const QString& name : names)
        files << t->folder.writeFile("Desktop/" + name, mapBytes(kDune));
    const View v = openMaps(*t, false);
    HeldFileSystem held(2);
    std::unique_ptr<QMimeData> mime(desktopFiles(files));
    QVERIFY(drag(v.maps, mime.get(), true, false));
    QVERIFY(held.letGo(v.window, cancel));
    QTRY_VERIFY(!v.window->previewPending());
    QCOMPARE(t->folder.entries("SavedLevels"), names.mid(0, landed)); // and no temporary file
    for (const QString& name : names.mid(0, landed))
        QCOMPARE(t->folder.read("SavedLevels/" + name), mapBytes(kDune));
    QCOMPARE(texts(v.maps), names.mid(0, landed));
}

void TestMapsWindow::mapsRootMissing()
{
    const View v = openMaps(*t, false);
    QVERIFY(texts(v.folders).isEmpty());
    QVERIFY(texts(v.maps).isEmpty());
    QCOMPARE(v.previewColour(), kBlack);
    QCOMPARE(v.name->text(), QStringLiteral("No Map Selected!"));

    // Files dropped in then make the folder the game reads maps from.
    std::unique_ptr<QMimeData> mime(desktopFiles({t->folder.writeFile(QStringLiteral("Desktop/First.png"))}));
    QVERIFY(drag(v.maps, mime.get()));
    QCOMPARE(texts(v.maps), QStringList{"First.png"});
    QCOMPARE(t->folder.read(QStringLiteral("SavedLevels/First.png")), QByteArray("x"));
}

void TestMapsWindow::picturesView()
{
    t->folder.writeFile(QStringLiteral("SavedLevels/Arena.png"), mapBytes(kArena));
    t->folder.writeFile(QStringLiteral("SavedLevels/Broken.png"), "no picture inside");
    t->folder.writeFile(QStringLiteral("SavedLevels/Cave.png"), mapBytes(kCave));
    auto toggleOf = [](QWidget* window) { return named<QAbstractButton>(window, QStringLiteral("cmdPictures")); };
    auto iconColour = [](QListWidgetItem* item) {
        const QImage icon = item->icon().pixmap(128, 46).toImage();
        return icon.isNull() ? QColor() : icon.pixelColor(icon.rect().center());
    };
    // Room for the whole thumbnail (128 x 46) and the name under it.
    auto cellFits = [](QListWidget* list) {
        const QRect cell = list->visualItemRect(list->item(0));
        return cell.height() >= 46 + list->fontMetrics().height() && cell.width() >= 128;
    };
    {
        const View v = openMaps(*t, false);
        QAbstractButton* pictures = toggleOf(v.window);
        QVERIFY(pictures->isCheckable() && !pictures->isChecked());
        QCOMPARE(v.maps->viewMode(), QListView::ListMode);
        click(pictures);
        QCOMPARE(v.maps->viewMode(), QListView::IconMode);
        QTRY_COMPARE(v.window->thumbnailsPending(), 0);
        QCOMPARE(iconColour(v.maps->item(0)), kArena);
        QCOMPARE(iconColour(v.maps->item(1)), kBlack);
        QCOMPARE(iconColour(v.maps->item(2)), kCave);
        QVERIFY(cellFits(v.maps));
        QCOMPARE(QDir(m_home.filePath("cache/thumbnails/normal")).entryList(QDir::Files).size(), 2);

        // Selection, preview and operations work on the same list.
        clickItem(v.maps, QStringLiteral("Cave.png"));
        QCOMPARE(v.previewColour(), kCave);
        QCOMPARE(v.name->text(), QStringLiteral("Cave"));
        t->prompter.answerYes();
        v.press("cmdDeleteMap");
        QCOMPARE(texts(v.maps), (QStringList{"Arena.png", "Broken.png"}));
        QCOMPARE(v.maps->viewMode(), QListView::IconMode);
        QTRY_COMPARE(v.window->thumbnailsPending(), 0);
        QCOMPARE(iconColour(v.maps->item(0)), kArena);
        v.window->close();
    }
    TestApp again;
    again.folder.writeFile(QStringLiteral("SavedLevels/Arena.png"), mapBytes(kArena));
    again.folder.writeFile(QStringLiteral("SavedLevels/Caverns/Cave.png"), mapBytes(kCave));
    const View v = openMaps(again, false);
    QAbstractButton* pictures = toggleOf(v.window);
    QVERIFY(pictures->isChecked()); // the choice is remembered
    QCOMPARE(v.maps->viewMode(), QListView::IconMode);
    QTRY_VERIFY(cellFits(v.maps));
    // A sub-folder opened while pictures show is laid out for pictures too.
    enter(v.folders, QStringLiteral("Caverns"));
    QCOMPARE(texts(v.maps), QStringList{"Cave.png"});
    QTRY_COMPARE(v.window->thumbnailsPending(), 0);
    QVERIFY(cellFits(v.maps));
    click(pictures);
    QCOMPARE(v.maps->viewMode(), QListView::ListMode);
    QVERIFY(v.maps->item(0)->icon().isNull());
}

QTEST_MAIN(TestMapsWindow)
#include "tst_maps_window.moc"
