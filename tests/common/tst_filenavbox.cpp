#include "common/core/Colors.h"
#include "common/core/NavBoxProperties.h"
#include "common/core/PropertyBag.h"
#include "common/ui/FileNavBox.h"
#include "support/TestFolders.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace {

// Records the navigator's events in the order they come.
struct Events {
    QStringList seen;
    explicit Events(FileNavBox& nav) {
        QObject::connect(&nav, &FileNavBox::DirectoryChanged, [this](QString& p) { seen << "Dir:" + p; });
        QObject::connect(&nav, &FileNavBox::FileChanged, [this](QString& f) { seen << "File:" + f; });
        QObject::connect(&nav, &FileNavBox::Click, [this] { seen << "Click"; });
        QObject::connect(&nav, &FileNavBox::DblClick, [this] { seen << "DblClick"; });
        QObject::connect(&nav, &FileNavBox::MouseDown, [this](int b, int s, float x, float y) {
            seen << QString("Down:%1,%2,%3,%4").arg(b).arg(s).arg(x).arg(y);
        });
    }
    QStringList take() { return std::exchange(seen, {}); }
};

QStringList entries(const FileNavBox& nav) {
    QStringList result;
    for (int i = 0; i < nav.listCount(); ++i)
        result << nav.list(i);
    return result;
}

QComboBox* pathBox(FileNavBox& nav) {
    return nav.findChild<QComboBox*>("Combo2");
}

QListWidget* listBox(FileNavBox& nav) {
    return nav.findChild<QListWidget*>("List2");
}

// Games with two game folders and stray files; Maps with two levels.
void makeFolders(const TestUserFolder& t) {
    t.makeDir("Games/B");
    t.makeDir("Games/A");
    t.writeFile("Games/x.txt");
    t.makeDir("Maps/Old/Older");
    t.makeDir("Maps/New");
}

} // namespace

// The navigator driven the way the embedding windows and the user drive it.
class TestFileNavBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refreshListsAndRaisesEventsInOrder();
    void settingPathDoesNotList();
    void indicatorChangeListsAtOnce();
    void hostsEnumerateFoldersThroughListIndex();
    void listIndexOutOfRangeChangesNothing();
    void clickRaisesFileChangedDoubleClickDoesNothing();
    void enterListsTypedPath_data();
    void enterListsTypedPath();
    void dropDownChoiceListsAndClicks();
    void unreadablePathListsNothingAndKeepsText();
    void resizeKeepsPathBoxOverList();
    void colorsFontAndEnabledReachTheParts();
    void propertiesRoundTrip();
    void emptyBagRestoresDefaults();
    void mouseOnFrameOnly();
};

void TestFileNavBox::refreshListsAndRaisesEventsInOrder() {
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    QAbstractItemModelTester tester(listBox(nav)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    Events events(nav);

    nav.setPath(t.path("Games"));
    nav.refresh();
    QCOMPARE(nav.path(), t.path("Games/"));
    QCOMPARE(pathBox(nav)->currentText(), t.path("Games/"));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Games/"), "File:"}));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "B^"}));
    QCOMPARE(nav.listIndex(), -1);
    QCOMPARE(nav.selectedFile(), QString());

    nav.setListIndex(1);
    QCOMPARE(nav.selectedFile(), QString("A/"));
    QCOMPARE(events.take(), QStringList{"File:A/"});
    QCOMPARE(listBox(nav)->currentItem()->text(), QString("A^"));
    QVERIFY(listBox(nav)->currentItem()->isSelected());

    // A new listing drops the selection.
    nav.refresh();
    QCOMPARE(nav.listIndex(), -1);
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Games/"), "File:"}));
}

void TestFileNavBox::settingPathDoesNotList() {
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.setPath(t.path("Games"));
    nav.refresh();
    Events events(nav);

    nav.setPath(t.path("Maps"));
    QCOMPARE(nav.path(), t.path("Maps"));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "B^"}));
    QVERIFY(events.seen.isEmpty());
}

void TestFileNavBox::indicatorChangeListsAtOnce() {
    TestUserFolder t;
    makeFolders(t);
    t.writeFile("Games/y.null");
    FileNavBox nav;
    QCOMPARE(nav.directoryIndicator(), QString("^"));
    nav.setPath(t.path("Games"));
    nav.refresh();
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "B^", "y.null"}));

    Events events(nav);
    nav.setDirectoryIndicator("");
    QCOMPARE(entries(nav), (QStringList{"..", "A", "B", "y.null"}));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Games/"), "File:"}));
    nav.setListIndex(0);
    QCOMPARE(nav.selectedFile(), QString(".."));
    nav.setListIndex(3);
    QCOMPARE(nav.selectedFile(), QString("y.null"));
}

void TestFileNavBox::hostsEnumerateFoldersThroughListIndex() {
    TestUserFolder t;
    t.makeDir("Games/b");
    t.makeDir("Games/C");
    t.makeDir("Games/A");
    FileNavBox nav;
    nav.setDirectoryIndicator("");
    nav.setPath(t.path("Games"));
    nav.refresh();
    Events events(nav);

    QStringList seen;
    for (int i = 1; i < nav.listCount(); ++i) {
        nav.setListIndex(i);
        seen << nav.selectedFile();
    }
    QCOMPARE(seen, (QStringList{"A", "b", "C"}));
    QCOMPARE(events.take(), (QStringList{"File:A", "File:b", "File:C"}));

    // Setting the selected entry again still reports it; -1 selects nothing.
    nav.setListIndex(3);
    nav.setListIndex(-1);
    QCOMPARE(nav.listIndex(), -1);
    QVERIFY(listBox(nav)->selectedItems().isEmpty());
    QCOMPARE(events.take(), (QStringList{"File:C", "File:"}));
}

void TestFileNavBox::listIndexOutOfRangeChangesNothing() {
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.setPath(t.path("Games"));
    nav.refresh();
    nav.setListIndex(2);
    Events events(nav);
    for (int bad : {3, 99, -2})
        nav.setListIndex(bad);
    QCOMPARE(nav.listIndex(), 2);
    QVERIFY(events.seen.isEmpty());
    nav.setList(1, "Renamed^"); // a host may rewrite an entry
    nav.setList(7, "nowhere");
    QCOMPARE(entries(nav), (QStringList{"..^", "Renamed^", "B^"}));
}

void TestFileNavBox::clickRaisesFileChangedDoubleClickDoesNothing() {
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.resize(200, 200);
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    nav.setPath(t.path("Games"));
    nav.refresh();
    Events events(nav);
    QListWidget* list = listBox(nav);

    const QPoint onB = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onB);
    QCOMPARE(nav.listIndex(), 2);
    QCOMPARE(events.take(), QStringList{"File:B/"});

    QTest::keyClick(list, Qt::Key_Up); // the keyboard moves the selection like a click
    QCOMPARE(nav.listIndex(), 1);
    QCOMPARE(events.take(), QStringList{"File:A/"});

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    QCOMPARE(nav.listIndex(), 1);
    QCOMPARE(nav.path(), t.path("Games/"));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "B^"}));
    QVERIFY(!list->findChild<QLineEdit*>()); // no editor opened
    QVERIFY(events.seen.isEmpty());
}

void TestFileNavBox::enterListsTypedPath_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("plain") << "Maps"
                           << "Maps/" << QStringList{"..^", "New^", "Old^"};
    QTest::newRow("dotdot at the end") << "Maps/Old/../"
                                       << "Maps/" << QStringList{"..^", "New^", "Old^"};
    QTest::newRow("dotdot in the middle") << "Maps/../Maps/Old"
                                          << "Maps/Old/" << QStringList{"..^", "Older^"};
    QTest::newRow("dotdot to the User folder") << "Maps/Old/../.."
                                               << "" << QStringList{"..^", "Games^", "Maps^"};
}

void TestFileNavBox::enterListsTypedPath() {
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    QFETCH(QStringList, expected);
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    Events events(nav);
    QComboBox* box = pathBox(nav);
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, t.path(typed));
    QCOMPARE(box->currentText(), t.path(typed));
    QVERIFY(events.seen.isEmpty()); // typing alone lists nothing
    QTest::keyClick(box, Qt::Key_Return);
    const QString listed = folder.isEmpty() ? t.user() + "/" : t.path(folder);
    QCOMPARE(nav.path(), listed);
    QCOMPARE(entries(nav), expected);
    QCOMPARE(events.take(), (QStringList{"Dir:" + listed, "File:"}));
    QCOMPARE(pathBox(nav)->count(), 0); // typed paths stay out of the drop-down
}

void TestFileNavBox::dropDownChoiceListsAndClicks() {
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    nav.setPath(t.path("Games"));
    nav.refresh();
    Events events(nav);

    QComboBox* box = pathBox(nav);
    box->addItem(t.path("Maps/Old")); // empty by design; the choice still works
    box->setCurrentIndex(-1);
    box->setEditText(t.path("Games/"));
    box->showPopup();
    QAbstractItemView* popup = box->view();
    QTRY_VERIFY(popup->isVisible());
    QTest::qWait(QApplication::doubleClickInterval() + 50); // a release right after opening is not a choice
    const QRect item = popup->visualRect(popup->model()->index(0, 0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, item.center().y()));
    QVERIFY(!popup->isVisible());
    QCOMPARE(nav.path(), t.path("Maps/Old/"));
    QCOMPARE(entries(nav), (QStringList{"..^", "Older^"}));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Maps/Old/"), "File:", "Click"}));
}

void TestFileNavBox::unreadablePathListsNothingAndKeepsText() {
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.setPath(t.path("Games"));
    nav.refresh();
    Events events(nav);

    nav.setPath(t.path("Gone"));
    nav.refresh();
    QCOMPARE(nav.listCount(), 0);
    QCOMPARE(nav.listIndex(), -1);
    QCOMPARE(nav.path(), t.path("Gone/"));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Gone/"), "File:"}));
    nav.setListIndex(0);
    QCOMPARE(nav.selectedFile(), QString());
    QVERIFY(events.seen.isEmpty());
}

void TestFileNavBox::resizeKeepsPathBoxOverList() {
    FileNavBox nav;
    QComboBox* box = pathBox(nav);
    QListWidget* list = listBox(nav);
    nav.resize(300, 300);
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    QCOMPARE(box->geometry(), QRect(0, 0, 300, 25)); // 375 twips
    QCOMPARE(list->geometry(), QRect(0, 25, 300, 275));

    // 300 twips (20 pixels) is too low: the control grows past the path box.
    nav.resize(200, 20);
    QCOMPARE(nav.height(), 26);
    QCOMPARE(box->geometry(), QRect(0, 0, 200, 25));
    QCOMPARE(list->geometry(), QRect(0, 25, 200, 1));
}

void TestFileNavBox::colorsFontAndEnabledReachTheParts() {
    QWidget host;
    FileNavBox& nav = *new FileNavBox(&host);
    QComboBox* box = pathBox(nav);
    QListWidget* list = listBox(nav);
    // A new control shows the list's own colours.
    QCOMPARE(nav.backColor(), bgrColor(0x00FFFFC0));
    QCOMPARE(nav.foreColor(), bgrColor(0x000080FF));

    nav.setBackColor(bgrColor(0x00332211));
    nav.setForeColor(bgrColor(0x00010203));
    nav.setBorderColor(bgrColor(0x00AA00AA));
    for (QWidget* part : {static_cast<QWidget*>(box), static_cast<QWidget*>(list)}) {
        QCOMPARE(part->palette().color(QPalette::Base), bgrColor(0x00332211));
        QCOMPARE(part->palette().color(QPalette::Text), bgrColor(0x00010203));
    }
    QCOMPARE(nav.backColor(), bgrColor(0x00332211));
    QCOMPARE(nav.foreColor(), bgrColor(0x00010203));
    QCOMPARE(nav.borderColor(), bgrColor(0x00AA00AA));

    QFont font("DejaVu Sans", 13);
    nav.setBoxFont(font);
    QCOMPARE(nav.boxFont(), font);
    QCOMPARE(list->font(), font);

    nav.setEnabled(false);
    QVERIFY(!box->isEnabled());
    QVERIFY(!list->isEnabled());

    nav.setMousePointer(11);
    QCOMPARE(nav.cursor().shape(), Qt::WaitCursor);
    nav.setMousePointer(0);
    QVERIFY(!nav.testAttribute(Qt::WA_SetCursor));
}

void TestFileNavBox::propertiesRoundTrip() {
    TestUserFolder t;
    makeFolders(t);
    QWidget host;
    host.setFont(QFont("DejaVu Sans", 11));
    FileNavBox saved(&host);
    saved.setBackColor(bgrColor(0x00112233));
    saved.setForeColor(bgrColor(0x00445566));
    saved.setBorderColor(bgrColor(0x00778899));
    saved.setBoxFont(QFont("DejaVu Sans Mono", 12));
    saved.setMousePointer(2);
    saved.setEnabled(false);
    saved.setPath(t.path("Maps"));
    saved.setDirectoryIndicator("");
    saved.setListIndex(2);

    PropertyBag bag;
    saved.writeProperties(bag);
    const PropertyBag stored = bag; // read below by the restoring control only
    QCOMPARE(bag.names(), (QStringList{"BackColor", "Enabled", "Font", "ForeColor", "List0", "ListIndex",
                                       "MousePointer", "BorderColor", "SelectedFile", "Path", "DirectoryIndicator"}));
    QCOMPARE(bag.read("BackColor"), QVariant(0x00112233u));
    QCOMPARE(bag.read("List0"), QVariant(".."));
    QCOMPARE(bag.read("SelectedFile"), QVariant("Old"));
    QCOMPARE(bag.read("Path"), QVariant(t.path("Maps/")));

    QWidget otherHost;
    otherHost.setFont(QFont("DejaVu Sans", 11));
    FileNavBox restored(&otherHost);
    Events events(restored);
    restored.readProperties(stored);
    QCOMPARE(stored.readNames(), (QStringList{"BackColor", "Enabled", "Font", "ForeColor", "List0", "ListIndex",
                                              "MousePointer", "BorderColor", "Path", "DirectoryIndicator"}));
    QCOMPARE(restored.backColor(), bgrColor(0x00112233));
    QCOMPARE(restored.foreColor(), bgrColor(0x00445566));
    QCOMPARE(restored.borderColor(), bgrColor(0x00778899));
    QCOMPARE(restored.boxFont(), QFont("DejaVu Sans Mono", 12));
    QCOMPARE(restored.mousePointer(), 2);
    QVERIFY(!restored.isEnabled());
    QCOMPARE(restored.directoryIndicator(), QString());
    // The listing at the end shows the restored folder, nothing selected.
    QCOMPARE(restored.path(), t.path("Maps/"));
    QCOMPARE(entries(restored), (QStringList{"..", "New", "Old"}));
    QCOMPARE(restored.listIndex(), -1);
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Maps/"), "File:"}));

    PropertyBag again;
    restored.writeProperties(again);
    QCOMPARE(again.read("Font"), bag.read("Font"));
    QCOMPARE(again.read("BorderColor"), bag.read("BorderColor"));
}

void TestFileNavBox::emptyBagRestoresDefaults() {
    QWidget host;
    host.setFont(QFont("DejaVu Serif", 10));
    FileNavBox nav(&host);
    nav.setDirectoryIndicator("");
    nav.setMousePointer(3);
    nav.readProperties(PropertyBag());

    const QPalette palette = QApplication::palette(&nav);
    QCOMPARE(nav.backColor(), palette.color(QPalette::Active, QPalette::Base));
    QCOMPARE(nav.foreColor(), palette.color(QPalette::Active, QPalette::Text));
    QCOMPARE(nav.borderColor(), palette.color(QPalette::Inactive, QPalette::Window));
    QCOMPARE(nav.boxFont(), host.font());
    QCOMPARE(nav.mousePointer(), 0);
    QVERIFY(nav.isEnabled());
    QCOMPARE(nav.directoryIndicator(), QString("^"));
    QCOMPARE(nav.path(), QDir::rootPath());
    QVERIFY(nav.listCount() > 0);
    QVERIFY(nav.list(0) != "..^"); // a root has no parent entry

    // System colours follow the desktop's scheme.
    const QPalette before = QApplication::palette();
    QPalette changed = before;
    changed.setColor(QPalette::Base, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    QTRY_COMPARE(nav.backColor(), QColor(1, 2, 3));
    QApplication::setPalette(before);

    // Saved again, the defaults leave nothing but the listing's own state.
    PropertyBag bag;
    nav.writeProperties(bag);
    QCOMPARE(bag.names(), (QStringList{"List0", "ListIndex", "SelectedFile"}));
}

void TestFileNavBox::mouseOnFrameOnly() {
    FileNavBox nav;
    nav.resize(100, 100);
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    Events events(nav);
    QTest::mousePress(&nav, Qt::RightButton, Qt::ShiftModifier, QPoint(2, 3));
    QCOMPARE(events.take(), QStringList{"Down:2,1,30,45"}); // in twips
    QListWidget* list = listBox(nav);
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 60));
    QVERIFY(events.seen.isEmpty());
}

QTEST_MAIN(TestFileNavBox)
#include "tst_filenavbox.moc"
