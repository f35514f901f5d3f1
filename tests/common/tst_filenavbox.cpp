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
    explicit Events(FileNavBox& nav)
    {
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

QStringList entries(const FileNavBox& nav)
{
    QStringList result;
    for (int i = 0; i < nav.listCount(); ++i)
        result << nav.list(i);
    return result;
}

QListWidget* listBox(FileNavBox& nav)
{
    return nav.findChild<QListWidget*>("List2");
}

// Games with folders in mixed case, a stray file and a "*.null" file; Maps with two levels.
void makeFolders(const TestUserFolder& t)
{
    for (const char* folder : {"Games/b", "Games/C", "Games/A", "Maps/Old/Older", "Maps/New"})
        t.makeDir(folder);
    t.writeFile("Games/x.txt");
    t.writeFile("Games/y.null");
}

} // namespace

// The navigator driven the way the embedding windows and the user drive it.
class TestFileNavBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listsAndSelectsAsHostsDo();
    void userTypesAndClicks();
    void emptyBagRestoresDefaults();
};

void TestFileNavBox::listsAndSelectsAsHostsDo()
{
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    QAbstractItemModelTester tester(listBox(nav)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    Events events(nav);
    const QString games = t.path("Games/");

    // Setting the path lists nothing; Refresh lists and reports the folder, then no file.
    nav.setPath(t.path("Games"));
    QCOMPARE(nav.listCount(), 0);
    nav.refresh();
    QCOMPARE(nav.path(), games);
    QCOMPARE(events.take(), (QStringList{"Dir:" + games, "File:"}));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "b^", "C^", "y.null"}));
    QCOMPARE(nav.listIndex(), -1);
    nav.setListIndex(1);
    QCOMPARE(nav.selectedFile(), QString("A/"));
    QCOMPARE(events.take(), QStringList{"File:A/"});
    QVERIFY(listBox(nav)->currentItem()->isSelected());

    // A new indicator lists again at once, which drops the selection.
    nav.setDirectoryIndicator("");
    QCOMPARE(entries(nav), (QStringList{"..", "A", "b", "C", "y.null"}));
    QCOMPARE(nav.listIndex(), -1);
    QCOMPARE(events.take(), (QStringList{"Dir:" + games, "File:"}));

    // The selected entry chosen again is reported again; -1 selects nothing;
    // no such entry changes nothing.
    nav.setListIndex(4);
    nav.setListIndex(4);
    nav.setListIndex(-1);
    QVERIFY(listBox(nav)->selectedItems().isEmpty());
    nav.setListIndex(2);
    for (int bad : {5, -2})
        nav.setListIndex(bad);
    QCOMPARE(nav.listIndex(), 2);
    QCOMPARE(events.take(), (QStringList{"File:y.null", "File:y.null", "File:", "File:b"}));

    // A path that cannot be read lists nothing, raises no error and keeps its text.
    nav.setPath(t.path("Gone"));
    nav.refresh();
    QCOMPARE(nav.listCount(), 0);
    QCOMPARE(nav.path(), t.path("Gone/"));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Gone/"), "File:"}));
    nav.setListIndex(0);
    QCOMPARE(nav.selectedFile(), QString());
    QVERIFY(events.seen.isEmpty());
}

void TestFileNavBox::userTypesAndClicks()
{
    TestUserFolder t;
    makeFolders(t);
    FileNavBox nav;
    nav.resize(200, 200);
    nav.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nav));
    Events events(nav);
    QComboBox* box = nav.findChild<QComboBox*>("Combo2");
    QListWidget* list = listBox(nav);

    // Enter lists the typed path; the box then names the folder really
    // listed, also with ".." in the middle of the path.
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, t.path("Maps/../Games"));
    QVERIFY(events.seen.isEmpty()); // typing alone lists nothing
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(nav.path(), t.path("Games/"));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "b^", "C^", "y.null"}));
    QCOMPARE(events.take(), (QStringList{"Dir:" + t.path("Games/"), "File:"}));
    QCOMPARE(box->count(), 0); // typed paths stay out of the drop-down

    // A click on an entry, or the keyboard, raises FileChanged; a double click does nothing more.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
    QCOMPARE(nav.listIndex(), 2);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(nav.listIndex(), 1);
    QCOMPARE(events.take(), (QStringList{"File:b/", "File:A/"}));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    QCOMPARE(nav.listIndex(), 1);
    QCOMPARE(nav.path(), t.path("Games/"));
    QCOMPARE(entries(nav), (QStringList{"..^", "A^", "b^", "C^", "y.null"}));
    QVERIFY(!list->findChild<QLineEdit*>()); // no editor opened
    QVERIFY(events.seen.isEmpty());
}

void TestFileNavBox::emptyBagRestoresDefaults()
{
    QWidget host;
    host.setFont(QFont("DejaVu Serif", 10));
    FileNavBox nav(&host);
    nav.setDirectoryIndicator("");
    nav.setMousePointer(11);
    QCOMPARE(nav.cursor().shape(), Qt::WaitCursor);
    nav.readProperties(PropertyBag());

    QCOMPARE(nav.backColor(), QApplication::palette(&nav).color(QPalette::Active, QPalette::Base));
    QCOMPARE(nav.boxFont(), host.font());
    QVERIFY(!nav.testAttribute(Qt::WA_SetCursor));
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
}

QTEST_MAIN(TestFileNavBox)
#include "tst_filenavbox.moc"
