// "My Proggies" driven through the real main menu entry: what the user sees
// in the programs window, every box through the scripted prompter, and the
// catalogue file on disk.
#include "common/core/AppInfo.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "programs/TestCatalogue.h"
#include "programs/ui/ProgramsWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <QDir>
#include <QListWidget>
#include <QPointer>

namespace {

using Box = FakePrompter::Box;
using Kind = FakePrompter::Kind;

const QString kSelect = QStringLiteral("Select A Proggy");
const QString kImportTitle = QStringLiteral("Import A Worm Proggy (or any program actually ;p)");
const QString kNamePrompt = QStringLiteral("Enter a Name for the Proggy c('.'C)");
const QString kNameTitle = QStringLiteral("Input A Custom Name");
const QString kDescriptionPrompt = QStringLiteral("Please Enter A Description of the Program");
const QString kDescriptionTitle = QStringLiteral("Description Entry");

QString catalogueFile(const TestApp& t)
{
    return t.folder.path(ProgramCatalogue::RelativePath);
}

// Puts programs into the catalogue file before the program starts.
bool seed(const TestApp& t, const QList<Program>& programs)
{
    return TestCatalogue().open(catalogueFile(t), programs);
}

// The catalogue as the file holds it now: "title|description|file" in title order.
QStringList stored(const TestApp& t)
{
    TestCatalogue catalogue;
    return catalogue.open(catalogueFile(t)) ? catalogue.rows() : QStringList{QStringLiteral("<cannot open>")};
}

// Starts the program and clicks "My Proggies"; the programs window if it opened.
QWidget* openFromMenu(TestApp& t)
{
    MainMenuWindow* menu = t.startToMainMenu();
    if (!menu)
        return nullptr;
    click(named<ClickLabel>(menu, QStringLiteral("cmdProg")));
    QWidget* w = t.existing(WindowNames::Programs);
    return w && w->isVisible() ? w : nullptr;
}

QStringList listed(QWidget* window)
{
    QStringList out;
    if (auto* list = named<QListWidget>(window, QStringLiteral("List1"))) {
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
    }
    return out;
}

void clickEntry(QWidget* window, int row)
{
    auto* list = named<QListWidget>(window, QStringLiteral("List1"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
}

QString labelText(QWidget* window, const char* name)
{
    auto* label = named<QLabel>(window, QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

void clickAction(QWidget* window, const char* name)
{
    click(named<ClickLabel>(window, QLatin1String(name)));
}

bool visible(TestApp& t, const QString& name)
{
    QWidget* w = t.existing(name);
    return w && w->isVisible();
}

// Waits until the loading window has replaced `old` with a new programs
// window and gone; the new window, or nullptr.
QWidget* waitForRebuild(TestApp& t, QWidget* old)
{
    QPointer<QWidget> gone(old);
    const bool done = QTest::qWaitFor(
        [&] { return gone.isNull() && visible(t, WindowNames::Programs) && !visible(t, WindowNames::Loading); }, 5000);
    return done ? t.existing(WindowNames::Programs) : nullptr;
}

bool isBox(const Box& box, Kind kind, const QString& text, const QString& title)
{
    return box.kind == kind && box.text == text && box.title == title;
}

} // namespace

class TstProgramsUi : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyCatalogueFromMenu();
    void refusedCatalogueKeepsMenu_data();
    void refusedCatalogueKeepsMenu();
    void listsByTitleAndSelects();
    void runsSelectedProgram();
    void runFailure_data();
    void runFailure();
    void titleThatReadsSelectAProggy();
    void removeAnsweredNo();
    void removeAnsweredYesRebuilds();
    void importCancelled();
    void importAsksUntilAnswered();
    void closingDuringRebuildKeepsLoadingWindow();
    void closingReturnsToMenu();
    void hoverColours();
};

void TstProgramsUi::emptyCatalogueFromMenu()
{
    TestApp t;
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("\"The Quillane\" - My Proggies c('.'C)"));
    QVERIFY(!visible(t, WindowNames::MainMenu));
    // The data window exists but is never shown.
    QVERIFY(t.existing(WindowNames::ProgramsData));
    QVERIFY(!visible(t, WindowNames::ProgramsData));
    // A new, empty catalogue was made with its folder.
    QVERIFY(t.folder.exists(ProgramCatalogue::RelativePath));
    QCOMPARE(stored(t), QStringList());

    QCOMPARE(listed(w), QStringList());
    QCOMPARE(labelText(w, "lblTitle"), kSelect);
    QCOMPARE(labelText(w, "lblDes"), QString());
    QCOMPARE(labelText(w, "Label1"), QStringLiteral("Proggies"));
    QCOMPARE(labelText(w, "cmdImport"), QStringLiteral("IMPORT"));
    QCOMPARE(labelText(w, "cmdRemove"), QStringLiteral("REMOVE"));
    QCOMPARE(labelText(w, "cmdRun"), QStringLiteral("RUN"));
    QVERIFY(!named<QLabel>(w, QStringLiteral("imgArmy"))->pixmap().isNull());

    clickAction(w, "cmdRun");
    clickAction(w, "cmdRemove");
    const QList<Box>& boxes = t.prompter.boxes();
    QCOMPARE(boxes.size(), 2);
    QVERIFY(isBox(boxes.at(0), Kind::Message, QStringLiteral("Please select a program to run."), AppInfo::title()));
    QVERIFY(isBox(boxes.at(1), Kind::Message, QStringLiteral("Please select a program to remove from the database."),
                  AppInfo::title()));
    for (const Box& box : boxes) {
        QCOMPARE(box.buttons, Prompter::Buttons::Ok);
        QCOMPARE(box.icon, Prompter::Icon::None);
    }
    QVERIFY(t.launcher.started.isEmpty());
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TstProgramsUi::refusedCatalogueKeepsMenu_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("reason");
    const QString opened = QStringLiteral("The programs catalogue cannot be opened:");
    QTest::newRow("old Access catalogue") << "access" << opened << "the format of the older Access-style catalogue";
    QTest::newRow("another password") << "key" << opened << "or it is protected with another password";
    QTest::newRow("folder in its place") << "folder" << opened << "A folder stands at this place";
    QTest::newRow("damaged") << "damaged"
                             << "The programs catalogue cannot be read:"
                             << "Reason: the catalogue file is damaged.";
}

void TstProgramsUi::refusedCatalogueKeepsMenu()
{
    QFETCH(QString, kind);
    QFETCH(QString, heading);
    QFETCH(QString, reason);
    TestApp t;
    const QString file = catalogueFile(t);
    const QString relative = ProgramCatalogue::RelativePath;
    if (kind == QLatin1String("access")) {
        QByteArray bytes(2048, '\x5A');
        bytes.replace(0, 20, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
        t.folder.writeFile(relative, bytes);
    } else if (kind == QLatin1String("key")) {
        CatalogueDatabase other;
        QVERIFY(other.open(file, QByteArrayLiteral("not the one")));
    } else if (kind == QLatin1String("damaged")) {
        QVERIFY(seed(t, {{"A", "a", "/a"}}));
        QByteArray bytes = t.folder.read(relative);
        for (int i = 1100; i < 1200; ++i) // inside the page of the Programs table
            bytes[i] = char(~bytes.at(i));
        t.folder.writeFile(relative, bytes);
    } else {
        t.folder.makeDir(relative);
    }
    const QByteArray before = kind == QLatin1String("folder") ? QByteArray() : t.folder.read(relative);

    QVERIFY(!openFromMenu(t));
    QVERIFY(!t.existing(WindowNames::Programs));
    QVERIFY(visible(t, WindowNames::MainMenu));
    QCOMPARE(t.prompter.boxes().size(), 1);
    const Box box = t.prompter.boxes().at(0);
    QCOMPARE(box.title, AppInfo::title());
    QCOMPARE(box.icon, Prompter::Icon::Exclamation);
    QCOMPARE(box.buttons, Prompter::Buttons::Ok);
    QVERIFY2(
        box.text.startsWith(heading + QStringLiteral("\n\n") + QDir::toNativeSeparators(file) + QStringLiteral("\n\n")),
        qPrintable(box.text));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
    if (!before.isEmpty())
        QCOMPARE(t.folder.read(relative), before);
    QCOMPARE(t.folder.entries(QStringLiteral("db")), QStringList{QStringLiteral("OxbelDatabase.mdb")});

    // Once the user has moved it away, the next click starts a new catalogue
    // and the old file is still as it was.
    QVERIFY(QDir().rename(file, file + QStringLiteral(".old")));
    t.prompter.clear();
    click(named<ClickLabel>(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    QVERIFY(visible(t, WindowNames::Programs));
    QVERIFY(t.prompter.boxes().isEmpty());
    QCOMPARE(stored(t), QStringList());
    if (!before.isEmpty())
        QCOMPARE(t.folder.read(relative + QStringLiteral(".old")), before);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TstProgramsUi::listsByTitleAndSelects()
{
    TestApp t;
    QVERIFY(seed(
        t,
        {{"b", "small b", "/b"}, {"same", "first same", "/s1"}, {"A", "big A", "/a"}, {"same", "second same", "/s2"}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    QCOMPARE(listed(w), (QStringList{"A", "b", "same", "same"}));
    QCOMPARE(labelText(w, "lblTitle"), kSelect);

    // Each entry selects the row at its own position, also between equal titles.
    const struct {
        int row;
        const char* title;
        const char* description;
    } clicks[] = {{3, "same", "second same"}, {2, "same", "first same"}, {0, "A", "big A"}, {1, "b", "small b"}};
    for (const auto& c : clicks) {
        clickEntry(w, c.row);
        QCOMPARE(labelText(w, "lblTitle"), QLatin1String(c.title));
        QCOMPARE(labelText(w, "lblDes"), QLatin1String(c.description));
    }
    // Moving the selection with the keyboard selects as well.
    QTest::keyClick(named<QListWidget>(w, QStringLiteral("List1")), Qt::Key_Down);
    QCOMPARE(labelText(w, "lblDes"), QStringLiteral("first same"));
    QVERIFY(t.prompter.boxes().isEmpty());
}

void TstProgramsUi::runsSelectedProgram()
{
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/Tool.exe"), "MZ");
    const QString script = t.folder.writeFile(QStringLiteral("tools/other tool.sh"), "#!/bin/sh\n");
    QVERIFY(seed(t, {{"Tool", "exe", tool}, {"Other", "script", script}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    clickEntry(w, 1); // "Tool"
    clickAction(w, "cmdRun");
    QCOMPARE(t.launcher.started, QStringList{tool});

    // A double click runs the entry double-clicked.
    auto* list = named<QListWidget>(w, QStringLiteral("List1"));
    const QPoint other = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, other);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, other);
    QCOMPARE(t.launcher.started, (QStringList{tool, script}));
    QVERIFY(t.prompter.boxes().isEmpty());
    QVERIFY(w->isVisible());
}

void TstProgramsUi::runFailure_data()
{
    QTest::addColumn<bool>("wineMissing");
    QTest::addColumn<QString>("text");
    QTest::newRow("file gone: nothing shown") << false << QString();
    QTest::newRow("no wine") << true
                             << "The Quillane found %1, but cannot start it.\n\nWine is not installed on this "
                                "system (no 'wine' command on the PATH).";
}

void TstProgramsUi::runFailure()
{
    QFETCH(bool, wineMissing);
    QFETCH(QString, text);
    TestApp t;
    const QString gone = t.folder.path(QStringLiteral("tools/Gone.exe"));
    QVERIFY(seed(t, {{"Gone", "moved away", gone}}));
    if (wineMissing)
        t.launcher.force(Launcher::Result::NoWine);
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    clickEntry(w, 0);
    clickAction(w, "cmdRun");
    QCOMPARE(t.launcher.started, QStringList{gone});
    QCOMPARE(stored(t).size(), 1);
    if (text.isEmpty()) {
        QVERIFY(t.prompter.boxes().isEmpty());
        return;
    }
    QCOMPARE(t.prompter.boxes().size(), 1);
    const Box box = t.prompter.boxes().at(0);
    QCOMPARE(box.text, text.arg(QDir::toNativeSeparators(gone)));
    QCOMPARE(box.title, AppInfo::title());
    QCOMPARE(box.icon, Prompter::Icon::Exclamation);
    QCOMPARE(stored(t).size(), 1);
}

void TstProgramsUi::titleThatReadsSelectAProggy()
{
    // A program may be called like the label's design text; once selected it
    // is still a selection, so it can be run and removed.
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/select.exe"), "MZ");
    QVERIFY(seed(t, {{kSelect, "a tool with an odd name", tool}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    clickEntry(w, 0);
    QCOMPARE(labelText(w, "lblTitle"), kSelect);
    QCOMPARE(labelText(w, "lblDes"), QStringLiteral("a tool with an odd name"));
    clickAction(w, "cmdRun");
    QCOMPARE(t.launcher.started, QStringList{tool});

    t.prompter.answerNo();
    clickAction(w, "cmdRemove");
    QCOMPARE(t.prompter.texts(), QStringList{QStringLiteral("You are about to remove Select A Proggy from the "
                                                            "database. Are you sure you want to do this?")});
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::removeAnsweredNo()
{
    TestApp t;
    QVERIFY(seed(t, {{"Keep Me", "kept", "/k"}, {"Also", "also kept", "/a"}}));
    const QStringList before = stored(t);
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    clickEntry(w, 1);
    t.prompter.answerNo();
    clickAction(w, "cmdRemove");
    QCOMPARE(t.prompter.boxes().size(), 1);
    const Box box = t.prompter.boxes().at(0);
    QCOMPARE(box.text,
             QStringLiteral("You are about to remove Keep Me from the database. Are you sure you want to do this?"));
    QCOMPARE(box.title, QStringLiteral("Confirm Delete"));
    QCOMPARE(box.buttons, Prompter::Buttons::YesNo);
    QCOMPARE(box.icon, Prompter::Icon::Question);

    // Nothing changes and nothing is rebuilt.
    QTest::qWait(TestApp::shortIntervals().unloadPrograms + 100);
    QCOMPARE(t.existing(WindowNames::Programs), w);
    QVERIFY(!visible(t, WindowNames::Loading));
    QCOMPARE(listed(w), (QStringList{"Also", "Keep Me"}));
    QCOMPARE(labelText(w, "lblTitle"), QStringLiteral("Keep Me"));
    QCOMPARE(stored(t), before);
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::removeAnsweredYesRebuilds()
{
    TestApp t;
    QVERIFY(seed(t, {{"A", "first", "/a"}, {"B", "second", "/b"}, {"C", "last", "/c"}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    clickEntry(w, 2); // the last row in title order
    t.prompter.answerYes();
    clickAction(w, "cmdRemove");
    QCOMPARE(stored(t), (QStringList{"A|first|/a", "B|second|/b"}));
    QVERIFY(visible(t, WindowNames::Loading));

    QWidget* rebuilt = waitForRebuild(t, w);
    QVERIFY(rebuilt);
    QCOMPARE(listed(rebuilt), (QStringList{"A", "B"}));
    QCOMPARE(labelText(rebuilt, "lblTitle"), kSelect);
    QVERIFY(!visible(t, WindowNames::MainMenu));
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::importCancelled()
{
    TestApp t;
    QVERIFY(seed(t, {{"Only", "one", "/o"}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    t.prompter.answerFile(QString());
    clickAction(w, "cmdImport");
    QTest::qWait(50); // the deferred import step runs
    QCOMPARE(t.prompter.boxes().size(), 1);
    const Box box = t.prompter.boxes().at(0);
    QCOMPARE(box.kind, Kind::OpenFile);
    QCOMPARE(box.title, kImportTitle);
#ifdef Q_OS_WIN
    QCOMPARE(box.extra, QStringLiteral("Any Executable (*.exe)"));
#else
    QCOMPARE(box.extra, QStringLiteral("Any Executable (*.exe);;All files (*)"));
#endif
    QCOMPARE(t.existing(WindowNames::Programs), w);
    QVERIFY(!visible(t, WindowNames::Loading));
    QCOMPARE(stored(t), QStringList{QStringLiteral("Only|one|/o")});
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::importAsksUntilAnswered()
{
    TestApp t;
    const QString tool = t.folder.writeFile(QStringLiteral("tools/Cool Tool.exe"), "MZ");
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    t.prompter.answerFile(tool);
    t.prompter.answerInput(QString());
    t.prompter.answerInput(QString());
    t.prompter.answerInput(QStringLiteral("Cool Tool"));
    t.prompter.answerInput(QStringLiteral("   "));
    t.prompter.answerInput(QStringLiteral("Makes maps"));
    clickAction(w, "cmdImport");
    QWidget* rebuilt = waitForRebuild(t, w);
    QVERIFY(rebuilt);
    VERIFY_PROMPTER(t.prompter);

    const QList<Box>& boxes = t.prompter.boxes();
    QCOMPARE(boxes.size(), 6);
    QCOMPARE(boxes.at(0).kind, Kind::OpenFile);
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(isBox(boxes.at(i), Kind::Input, kNamePrompt, kNameTitle));
        QCOMPARE(boxes.at(i).extra, QString());
    }
    for (int i = 4; i <= 5; ++i)
        QVERIFY(isBox(boxes.at(i), Kind::Input, kDescriptionPrompt, kDescriptionTitle));

    QCOMPARE(stored(t), QStringList{QStringLiteral("Cool Tool|Makes maps|") + tool});
    QCOMPARE(listed(rebuilt), QStringList{QStringLiteral("Cool Tool")});
    clickEntry(rebuilt, 0);
    QCOMPARE(labelText(rebuilt, "lblDes"), QStringLiteral("Makes maps"));
    clickAction(rebuilt, "cmdRun");
    QCOMPARE(t.launcher.started, QStringList{tool});
}

void TstProgramsUi::closingDuringRebuildKeepsLoadingWindow()
{
    TestApp t;
    QVERIFY(seed(t, {{"A", "a", "/a"}, {"B", "b", "/b"}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    clickEntry(w, 0);
    t.prompter.answerYes();
    clickAction(w, "cmdRemove");
    QVERIFY(visible(t, WindowNames::Loading));

    // The user closes the window before the loading window gets to it.
    QPointer<QWidget> closed(w);
    w->close();
    QVERIFY(!closed || !closed->isVisible());
    QVERIFY(visible(t, WindowNames::Loading));
    QVERIFY(!visible(t, WindowNames::MainMenu));

    // The hand-over still ends with a new programs window.
    QWidget* rebuilt = waitForRebuild(t, closed);
    QVERIFY(rebuilt);
    QCOMPARE(listed(rebuilt), QStringList{QStringLiteral("B")});
    QVERIFY(!visible(t, WindowNames::MainMenu));
    VERIFY_PROMPTER(t.prompter);
}

void TstProgramsUi::closingReturnsToMenu()
{
    TestApp t;
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    w->close();
    QVERIFY(visible(t, WindowNames::MainMenu));
    QVERIFY(!visible(t, WindowNames::Loading));
    QVERIFY(QTest::qWaitFor([&] { return !t.existing(WindowNames::Programs); }));
    // The data window lives on with its record set; opening again works.
    QVERIFY(t.existing(WindowNames::ProgramsData));
    click(named<ClickLabel>(t.existing(WindowNames::MainMenu), QStringLiteral("cmdProg")));
    QVERIFY(visible(t, WindowNames::Programs));
    QVERIFY(t.prompter.boxes().isEmpty());
}

void TstProgramsUi::hoverColours()
{
    TestApp t;
    QVERIFY(seed(t, {{"A", "a", "/a"}}));
    QWidget* w = openFromMenu(t);
    QVERIFY(w);
    auto* import = named<ClickLabel>(w, QStringLiteral("cmdImport"));
    auto* remove = named<ClickLabel>(w, QStringLiteral("cmdRemove"));
    auto* run = named<ClickLabel>(w, QStringLiteral("cmdRun"));
    const QColor plain = ProgramsWindow::actionPlainColour();
    const QColor lit = ProgramsWindow::actionHighlightColour();
    QCOMPARE(plain, QColor(0xC0, 0xFF, 0xC0));
    QCOMPARE(lit, QColor(0xFF, 0xFF, 0x00));
    auto colours = [&] { return QList<QColor>{import->backColor(), remove->backColor(), run->backColor()}; };
    QCOMPARE(colours(), (QList<QColor>{plain, plain, plain}));

    hover(run);
    QCOMPARE(colours(), (QList<QColor>{plain, plain, lit}));
    hover(import);
    QCOMPARE(colours(), (QList<QColor>{lit, plain, plain}));
    hover(named<QWidget>(w, QStringLiteral("Frame1")), QPoint(2, 2));
    QCOMPARE(colours(), (QList<QColor>{plain, plain, plain}));
    hover(remove);
    QCOMPARE(colours(), (QList<QColor>{plain, lit, plain}));
    hover(named<QListWidget>(w, QStringLiteral("List1"))->viewport());
    QCOMPARE(colours(), (QList<QColor>{plain, plain, plain}));
    hover(run);
    hover(w, QPoint(w->width() - 3, w->height() - 3));
    QCOMPARE(colours(), (QList<QColor>{plain, plain, plain}));
    QCOMPARE(background(named<QWidget>(w, QStringLiteral("lblTitle"))), QColor(0xFF, 0xE0, 0xC0));
    QCOMPARE(background(named<QWidget>(w, QStringLiteral("List1"))), QColor(0xC0, 0xFF, 0xFF));
}

QTEST_MAIN(TstProgramsUi)
#include "tst_programs_ui.moc"
