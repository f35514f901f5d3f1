// "My Proggies" driven through the real main menu entry: what the user sees
// in the programs window, every box through the scripted prompter, and the
// catalogue file on disk.
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "programs/TestCatalogue.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <QCloseEvent>
#include <QDir>
#include <QListWidget>
#include <QPointer>

namespace {

const QString kSelect = QStringLiteral("Select A Proggy");

// The catalogue as the file holds it now: "title|description|file" in title order.
QStringList stored(const TestApp& t)
{
    TestCatalogue catalogue;
    return catalogue.open(catalogueFile(t.folder)) ? catalogue.rows() : QStringList{QStringLiteral("<cannot open>")};
}

// Puts `programs` into the catalogue file (none: leaves it to the program to
// make), starts the program and clicks "My Proggies"; the programs window if
// it opened.
QWidget* openWith(TestApp& t, const QList<Program>& programs = {})
{
    if (!programs.isEmpty() && !TestCatalogue().open(catalogueFile(t.folder), programs))
        return nullptr;
    MainMenuWindow* menu = t.startToMainMenu();
    if (!menu)
        return nullptr;
    click(named<ClickLabel>(menu, QStringLiteral("cmdProg")));
    QWidget* w = t.existing(WindowNames::Programs);
    return w && w->isVisible() ? w : nullptr;
}

bool visible(TestApp& t, const QString& name)
{
    QWidget* w = t.existing(name);
    return w && w->isVisible();
}

// Every box shown, as "kind|title|text|extra|buttons|icon".
QStringList shown(const FakePrompter& prompter)
{
    const char* kinds[] = {"message", "input", "file"};
    const char* icons[] = {"", "information", "question", "exclamation"};
    QStringList out;
    for (const FakePrompter::Box& b : prompter.boxes()) {
        const char* buttons = b.buttons == Prompter::Buttons::Ok ? "OK" : "Yes/No";
        out << QStringList{kinds[int(b.kind)], b.title, b.text, b.extra, buttons, icons[int(b.icon)]}.join('|');
    }
    return out;
}

QListWidget* list1(QWidget* window)
{
    return named<QListWidget>(window, QStringLiteral("List1"));
}

QStringList listed(QWidget* window)
{
    QStringList out;
    for (int i = 0; list1(window) && i < list1(window)->count(); ++i)
        out << list1(window)->item(i)->text();
    return out;
}

void clickEntry(QWidget* window, int row, bool twice = false)
{
    QListWidget* list = list1(window);
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// What the labels show of the selected program: "title|description".
QString selection(QWidget* window)
{
    auto* title = named<QLabel>(window, QStringLiteral("lblTitle"));
    auto* description = named<QLabel>(window, QStringLiteral("lblDes"));
    return title && description ? title->text() + QLatin1Char('|') + description->text()
                                : QStringLiteral("<no labels>");
}

void clickAction(QWidget* window, const char* name)
{
    click(named<ClickLabel>(window, QLatin1String(name)));
}

// Waits until the loading window has replaced `old` with a new programs
// window and gone; the new window, or nullptr.
QWidget* waitForRebuild(TestApp& t, const QPointer<QWidget>& old)
{
    const bool done = QTest::qWaitFor(
        [&] { return old.isNull() && visible(t, WindowNames::Programs) && !visible(t, WindowNames::Loading); }, 5000);
    return done ? t.existing(WindowNames::Programs) : nullptr;
}

} // namespace

class TstProgramsUi : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyCatalogue();
    void refusedCatalogueKeepsMenu_data();
    void refusedCatalogueKeepsMenu();
    void listsByTitleAndSelects();
    void runAndRemoveAnsweredNo();
    void removeAnsweredYesThenClosedRebuilds();
    void noActionsWhileTheRebuildIsPending();
    void importAsksUntilAnswered();
    void hoverColours();
};

void TstProgramsUi::emptyCatalogue()
{
    TestApp t;
    QWidget* w = openWith(t);
    QVERIFY(w);
    QVERIFY(!visible(t, WindowNames::MainMenu));
    // A new, empty catalogue was made with its folder.
    QVERIFY(t.folder.exists(UserPaths::CatalogueFile));
    QCOMPARE(stored(t), QStringList());
    QCOMPARE(listed(w), QStringList());
    QCOMPARE(selection(w), kSelect + "|");
    QVERIFY(!named<QLabel>(w, QStringLiteral("imgArmy"))->pixmap().isNull());

    clickAction(w, "cmdRun");
    clickAction(w, "cmdRemove");
    QCOMPARE(shown(t.prompter), (QStringList{"message|The Quillane|Please select a program to run.||OK|",
                                             "message|The Quillane|Please select a program to remove from the "
                                             "database.||OK|"}));
    QVERIFY(t.launcher.started.isEmpty());

    // Closing returns to the menu; opening again works.
    w->close();
    QVERIFY(visible(t, WindowNames::MainMenu) && !visible(t, WindowNames::Loading));
    QVERIFY(QTest::qWaitFor([&] { return !t.existing(WindowNames::Programs); }));
    click(named<ClickLabel>(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    QVERIFY(visible(t, WindowNames::Programs));
    QCOMPARE(t.prompter.boxes().size(), 2);
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TstProgramsUi::refusedCatalogueKeepsMenu_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("reason");
    QTest::newRow("old Access catalogue") << "The programs catalogue cannot be opened:"
                                          << "the format of the older Access-style catalogue";
    QTest::newRow("damaged") << "The programs catalogue cannot be opened:"
                             << "The catalogue file is damaged";
}

void TstProgramsUi::refusedCatalogueKeepsMenu()
{
    QFETCH(QString, heading);
    QFETCH(QString, reason);
    TestApp t;
    const QString file = catalogueFile(t.folder);
    const QString relative = UserPaths::CatalogueFile;
    if (QTest::currentDataTag() == QByteArray("damaged")) {
        QVERIFY(TestCatalogue().open(file, {{"A", "a", "/a"}}));
        QByteArray bytes = t.folder.read(relative);
        for (int i = 1100; i < 1200; ++i) // inside the page of the Programs table
            bytes[i] = char(~bytes.at(i));
        t.folder.writeFile(relative, bytes);
    } else {
        t.folder.writeFile(relative, accessFileBytes("Jet"));
    }
    const QByteArray before = t.folder.read(relative);

    QVERIFY(!openWith(t));
    QVERIFY(!t.existing(WindowNames::Programs));
    QVERIFY(visible(t, WindowNames::MainMenu));
    const QStringList boxes = shown(t.prompter);
    QCOMPARE(boxes.size(), 1);
    const QString start =
        QStringLiteral("message|The Quillane|%1\n\n%2\n\n").arg(heading, QDir::toNativeSeparators(file));
    QVERIFY2(boxes[0].startsWith(start) && boxes[0].endsWith("|OK|exclamation"), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].contains(reason), qPrintable(boxes[0]));
    QCOMPARE(t.folder.read(relative), before);
    QCOMPARE(t.folder.entries(QStringLiteral("db")), QStringList{QStringLiteral("OxbelDatabase.mdb")});

    // Once the user has moved it away, the next click starts a new catalogue
    // and the old file is still as it was.
    QVERIFY(QDir().rename(file, file + QStringLiteral(".old")));
    click(named<ClickLabel>(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    QVERIFY(visible(t, WindowNames::Programs));
    QCOMPARE(t.prompter.boxes().size(), 1);
    QCOMPARE(stored(t), QStringList());
    QCOMPARE(t.folder.read(relative + QStringLiteral(".old")), before);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TstProgramsUi::listsByTitleAndSelects()
{
    TestApp t;
    QWidget* w = openWith(
        t,
        {{"b", "small b", "/b"}, {"same", "first same", "/s1"}, {"A", "big A", "/a"}, {"same", "second same", "/s2"}});
    QVERIFY(w);
    QCOMPARE(listed(w), (QStringList{"A", "b", "same", "same"}));
    QCOMPARE(selection(w), kSelect + "|");

    // Each entry selects the row at its own position, also between equal titles.
    const QStringList rows{"A|big A", "b|small b", "same|first same", "same|second same"};
    for (int row : {3, 2, 0, 1}) {
        clickEntry(w, row);
        QCOMPARE(selection(w), rows[row]);
    }
    // Moving the selection with the keyboard selects as well.
    QTest::keyClick(list1(w), Qt::Key_Down);
    QCOMPARE(selection(w), rows[2]);
    QVERIFY(t.prompter.boxes().isEmpty());
}

void TstProgramsUi::runAndRemoveAnsweredNo()
{
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/Tool.exe"), "MZ");
    const QString script = t.folder.writeFile(QStringLiteral("tools/other tool.sh"), "#!/bin/sh\n");
    const QString gone = t.folder.path(QStringLiteral("tools/Gone.exe"));
    // A program may be called like the label's design text; once selected it
    // is a selection all the same, so it can be run and removed.
    QWidget* w = openWith(t, {{"Tool", "exe", tool},
                              {"Other", "script", script},
                              {"Gone", "moved away", gone},
                              {kSelect, "an odd name", tool}});
    QVERIFY(w);
    const QStringList before = stored(t);
    QCOMPARE(listed(w), (QStringList{"Gone", "Other", kSelect, "Tool"}));
    clickEntry(w, 3);
    clickAction(w, "cmdRun");
    clickEntry(w, 1, true); // a double click runs the entry double-clicked
    clickEntry(w, 2);
    QCOMPARE(selection(w), kSelect + "|an odd name");
    clickAction(w, "cmdRun");
    // A program that cannot be started shows nothing...
    clickEntry(w, 0);
    clickAction(w, "cmdRun");
    QCOMPARE(t.launcher.started, (QStringList{tool, script, tool, gone}));
    QVERIFY(t.prompter.boxes().isEmpty());
    // ...except a Windows program without Wine, which nothing else would explain.
    t.launcher.force(Launcher::Result::NoWine);
    clickAction(w, "cmdRun");

    // Remove answered No: nothing changes and nothing is rebuilt.
    clickEntry(w, 2);
    t.prompter.answerNo();
    clickAction(w, "cmdRemove");
    QCOMPARE(
        shown(t.prompter),
        (QStringList{QStringLiteral("message|The Quillane|The Quillane found %1, but cannot start it.\n\nWine is "
                                    "not installed on this system (no 'wine' command on the PATH).||OK|exclamation")
                         .arg(QDir::toNativeSeparators(gone)),
                     "message|Confirm Delete|You are about to remove Select A Proggy from the database. Are you "
                     "sure you want to do this?||Yes/No|question"}));
    QTest::qWait(TestApp::shortIntervals().unloadPrograms + 100);
    QCOMPARE(t.existing(WindowNames::Programs), w);
    QVERIFY(!visible(t, WindowNames::Loading));
    QCOMPARE(listed(w), (QStringList{"Gone", "Other", kSelect, "Tool"}));
    QCOMPARE(selection(w), kSelect + "|an odd name");
    QCOMPARE(stored(t), before);
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::removeAnsweredYesThenClosedRebuilds()
{
    TestApp t;
    QWidget* w = openWith(t, {{"A", "first", "/a"}, {"B", "second", "/b"}, {"C", "last", "/c"}});
    QVERIFY(w);
    clickEntry(w, 2); // the last row in title order
    t.prompter.answerYes();
    clickAction(w, "cmdRemove");
    QCOMPARE(stored(t), (QStringList{"A|first|/a", "B|second|/b"}));
    QVERIFY(visible(t, WindowNames::Loading));
    // Closed with the title bar's button before the loading window gets to
    // it (the window takes no clicks meanwhile, but closes): the loading
    // window stays, not the menu.
    const QPointer<QWidget> old(w);
    QVERIFY(w->windowHandle());
    QCloseEvent close;
    QCoreApplication::sendEvent(w->windowHandle(), &close);
    QVERIFY(!old || !old->isVisible());
    QVERIFY(visible(t, WindowNames::Loading));
    QVERIFY(!visible(t, WindowNames::MainMenu));

    QWidget* rebuilt = waitForRebuild(t, old);
    QVERIFY(rebuilt);
    QCOMPARE(listed(rebuilt), (QStringList{"A", "B"}));
    QCOMPARE(selection(rebuilt), kSelect + "|");
    QVERIFY(!visible(t, WindowNames::MainMenu));
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::noActionsWhileTheRebuildIsPending()
{
    TestApp t;
    QWidget* w = openWith(t, {{"A", "first", "/a"}, {"B", "second", "/b"}, {"C", "last", "/c"}});
    QVERIFY(w);
    clickEntry(w, 0);
    t.prompter.answerYes();
    clickAction(w, "cmdRemove");
    QCOMPARE(stored(t), (QStringList{"B|second|/b", "C|last|/c"}));
    QVERIFY(visible(t, WindowNames::Loading));

    // Until the loading window replaces it, the old window still lists A, B, C
    // while the catalogue holds B and C: an entry would pick the wrong row, and
    // a box left open would outlive its window. So it takes no clicks.
    const QPointer<QWidget> old(w);
    t.prompter.onBox = [&](const FakePrompter::Box&) { QTest::qWait(TestApp::shortIntervals().unloadPrograms * 2); };
    clickEntry(w, 1, true);
    for (const char* action : {"cmdRun", "cmdRemove", "cmdImport"}) {
        QVERIFY2(old, "the window was destroyed while one of its boxes was open");
        clickAction(w, action);
    }
    QVERIFY2(old, "the window was destroyed while one of its boxes was open");
    QCOMPARE(selection(w), QStringLiteral("A|first"));
    QCOMPARE(t.prompter.boxes().size(), 1);
    QVERIFY(t.launcher.started.isEmpty());

    QWidget* rebuilt = waitForRebuild(t, old);
    QVERIFY(rebuilt);
    QVERIFY(rebuilt->isEnabled());
    QCOMPARE(listed(rebuilt), (QStringList{"B", "C"}));
    QCOMPARE(stored(t), (QStringList{"B|second|/b", "C|last|/c"}));
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::importAsksUntilAnswered()
{
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/Cool Tool.exe"), "MZ");
    QWidget* w = openWith(t, {{"Only", "one", "/o"}});
    QVERIFY(w);
    // Cancel in the file dialog: no prompts, no change, no rebuild.
    t.prompter.answerFile(QString());
    clickAction(w, "cmdImport");
    QTest::qWait(50); // the deferred import step runs
    const QString title = QStringLiteral("Import A Worm Proggy (or any program actually ;p)");
#ifdef Q_OS_WIN
    const QString filter = QStringLiteral("Any Executable (*.exe)");
#else
    const QString filter = QStringLiteral("Any Executable (*.exe);;All files (*)");
#endif
    const QString dialog = "file|" + title + "|" + title + "|" + filter + "|OK|";
    QCOMPARE(shown(t.prompter), QStringList{dialog});
    QCOMPARE(t.existing(WindowNames::Programs), w);
    QVERIFY(!visible(t, WindowNames::Loading));
    QCOMPARE(stored(t), QStringList{QStringLiteral("Only|one|/o")});

    // A file, then the name asked until answered and the description the same way.
    t.prompter.answerFile(tool);
    for (const char* answer : {"", "", "Cool Tool", "   ", "Makes maps"}) // blanks count as no answer
        t.prompter.answerInput(QString::fromUtf8(answer));
    clickAction(w, "cmdImport");
    QWidget* rebuilt = waitForRebuild(t, w);
    QVERIFY(rebuilt);
    VERIFY_PROMPTER(t.prompter);
    const QString name = QStringLiteral("input|Input A Custom Name|Enter a Name for the Proggy c('.'C)||OK|");
    const QString description =
        QStringLiteral("input|Description Entry|Please Enter A Description of the Program||OK|");
    QCOMPARE(shown(t.prompter), (QStringList{dialog, dialog, name, name, name, description, description}));
    QCOMPARE(stored(t), (QStringList{"Cool Tool|Makes maps|" + tool, "Only|one|/o"}));
    QCOMPARE(listed(rebuilt), (QStringList{"Cool Tool", "Only"}));
    clickEntry(rebuilt, 0);
    clickAction(rebuilt, "cmdRun");
    QCOMPARE(t.launcher.started, QStringList{tool});
}

void TstProgramsUi::hoverColours()
{
    TestApp t;
    QWidget* w = openWith(t, {{"A", "a", "/a"}});
    QVERIFY(w);
    QList<ClickLabel*> actions;
    for (const char* name : {"cmdImport", "cmdRemove", "cmdRun"})
        actions << named<ClickLabel>(w, QLatin1String(name));
    // Where the mouse goes, and which action is highlighted then (-1: none).
    const struct {
        QWidget* where;
        QPoint at;
        int lit;
    } moves[] = {{actions[2], {}, 2},
                 {actions[0], {}, 0},
                 {named<QWidget>(w, QStringLiteral("Frame1")), {2, 2}, -1},
                 {actions[1], {}, 1},
                 {list1(w)->viewport(), {}, -1},
                 {actions[2], {}, 2},
                 {w, {w->width() - 3, w->height() - 3}, -1}};
    for (const auto& move : moves) {
        hover(move.where, move.at);
        for (int i = 0; i < actions.size(); ++i)
            QCOMPARE(actions[i]->backColor(), i == move.lit ? QColor(0xFF, 0xFF, 0x00) : QColor(0xC0, 0xFF, 0xC0));
    }
}

QTEST_MAIN(TstProgramsUi)
#include "tst_programs_ui.moc"
