// The program used with the keyboard alone: Tab reaches the controls, Enter
// and Space do what a click does, Escape leaves a manager window or cancels a
// transfer; assistive tools see button-like labels as named push buttons.
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "games/ui/GameTransferWindow.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QTableView>

namespace {

const QString game = QStringLiteral("2002-01-01 10.00.00 [Training] Cy.WAgame");

// The window in front, as the window system makes a window that opens.
bool activate(QWidget* window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// A key pressed the way the window system delivers it: to the focus widget.
void key(QWidget* window, int k)
{
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key(k));
}

// Presses Tab until `name` has the focus; false when it never comes round.
bool tabTo(QWidget* window, const QString& name)
{
    for (int i = 0; i < 40; ++i) {
        key(window, Qt::Key_Tab);
        if (window->focusWidget() && window->focusWidget()->objectName() == name)
            return true;
    }
    return false;
}

QWidget* shownWindow(TestApp& t, const QString& name)
{
    QWidget* w = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        w = t.existing(name);
        return w && w->isVisible();
    });
    return shown && activate(w) ? w : nullptr;
}

GamesWindow* gamesWindow(TestApp& t)
{
    GamesWindow* w = nullptr;
    const bool filled = QTest::qWaitFor([&] {
        w = qobject_cast<GamesWindow*>(t.existing(WindowNames::Games));
        return w && w->isVisible() && named<QWidget>(w, "Frame3")->isHidden();
    });
    return filled && activate(w) ? w : nullptr;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainMenuTabOrderAndFocusMark();
    void enterOrSpaceOpensAndEscapeReturns_data();
    void enterOrSpaceOpensAndEscapeReturns();
    void transferWindowByKeyboard_data();
    void transferWindowByKeyboard();
    void buttonLabelsAreAccessibleButtons_data();
    void buttonLabelsAreAccessibleButtons();
};

void KeyboardTest::mainMenuTabOrderAndFocusMark()
{
    TestApp t;
    t.folder.writeProbe();
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu && activate(menu));
    QStringList order;
    for (int i = 0; i < 7; ++i) {
        key(menu, Qt::Key_Tab);
        order << menu->focusWidget()->objectName();
    }
    // Reading order from Play WA, which has the focus when the menu opens;
    // WormKit is hidden without WormKit.exe; Switch Game comes last.
    QCOMPARE(order,
             QStringList({"lblAbout", "cmdMaps", "cmdGames", "cmdSounds", "cmdProg", "lblSwitchGame", "lblPlayWA"}));

    // The focused entry wears the hover highlight; the mouse takes it over.
    tabTo(menu, "cmdGames");
    const QColor plain = background(menu);
    QVERIFY(named<ClickLabel>(menu, "lbl2")->backColor() != plain);
    QCOMPARE(named<ClickLabel>(menu, "lbl1")->backColor(), plain);
    hover(named(menu, "cmdMaps"));
    QVERIFY(named<ClickLabel>(menu, "lbl1")->backColor() != plain);
    QCOMPARE(named<ClickLabel>(menu, "lbl2")->backColor(), plain);

    // Under the warning frame the entries are out of reach, as for the mouse.
    TestApp misplaced;
    MainMenuWindow* warned = misplaced.startToMainMenu();
    QVERIFY(warned && activate(warned));
    QVERIFY(!tabTo(warned, "cmdGames"));
    QVERIFY(tabTo(warned, "lblSwitchGame")); // another copy of the game stays in reach
    key(warned, Qt::Key_Return);
    QCOMPARE(misplaced.switchRequests, 1);
}

void KeyboardTest::enterOrSpaceOpensAndEscapeReturns_data()
{
    QTest::addColumn<int>("activation");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::newRow("Enter on My Games") << int(Qt::Key_Return) << "cmdGames" << WindowNames::Games;
    QTest::newRow("Space on My Maps") << int(Qt::Key_Space) << "cmdMaps" << WindowNames::Maps;
    QTest::newRow("keypad Enter on My Games") << int(Qt::Key_Enter) << "cmdGames" << WindowNames::Games;
}

void KeyboardTest::enterOrSpaceOpensAndEscapeReturns()
{
    QFETCH(int, activation);
    QFETCH(QString, entry);
    QFETCH(QString, window);
    TestApp t;
    t.folder.writeProbe();
    t.folder.writeFile("Games/" + game);
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu && activate(menu));
    QVERIFY(tabTo(menu, entry));
    key(menu, activation);
    QWidget* manager = shownWindow(t, window);
    QVERIFY(manager);
    QVERIFY(!menu->isVisible());
    key(manager, Qt::Key_Escape);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(activate(menu));
    QTRY_VERIFY(!t.existing(window) || !t.existing(window)->isVisible());
    QVERIFY(t.prompter.boxes().isEmpty());
}

void KeyboardTest::transferWindowByKeyboard_data()
{
    QTest::addColumn<int>("finish");
    QTest::addColumn<bool>("moved");
    QTest::newRow("Enter on the transfer button moves") << int(Qt::Key_Return) << true;
    QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << false;
}

void KeyboardTest::transferWindowByKeyboard()
{
    QFETCH(int, finish);
    QFETCH(bool, moved);
    TestApp t;
    t.folder.writeProbe();
    t.folder.writeFile("Games/" + game, "replay");
    t.folder.makeDir("Games/Cups");
    t.create();
    QVERIFY(t.app().openFromMenu(WindowNames::Games));
    GamesWindow* w = gamesWindow(t);
    QVERIFY(w);

    // The grid takes the arrow keys: Down picks the first game.
    QVERIFY(tabTo(w, "Grid1"));
    key(w, Qt::Key_Down);
    QCOMPARE(w->selectedFile(), game);
    QVERIFY(tabTo(w, "cmdMove"));
    key(w, Qt::Key_Space);
    QPointer<QWidget> x = shownWindow(t, WindowNames::GamesTransfer);
    QVERIFY(x);

    // The navigator lists "..", then Cups: Down twice from the top.
    QVERIFY(tabTo(x, "List2"));
    key(x, Qt::Key_Home);
    key(x, Qt::Key_Down);
    QCOMPARE(named<QListWidget>(x, "List2")->currentItem()->text(), QStringLiteral("Cups"));
    if (finish != Qt::Key_Escape)
        QVERIFY(tabTo(x, "cmdMove"));
    key(x, finish);

    QTRY_VERIFY(x.isNull() || !x->isVisible());
    QCOMPARE(t.folder.exists("Games/Cups/" + game), moved);
    QCOMPARE(t.folder.exists("Games/" + game), !moved);
    QVERIFY(gamesWindow(t));
    QVERIFY(t.prompter.boxes().isEmpty());
}

void KeyboardTest::buttonLabelsAreAccessibleButtons_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("manager entry") << "cmdGames" << int(QAccessible::Button) << "My Games";
    QTest::newRow("launch entry") << "lblPlayWA" << int(QAccessible::Button) << "Play WA";
    QTest::newRow("title, no button") << "Label1" << int(QAccessible::StaticText) << "START";
}

void KeyboardTest::buttonLabelsAreAccessibleButtons()
{
    QFETCH(QString, label);
    QFETCH(int, role);
    QFETCH(QString, name);
    TestApp t;
    t.folder.writeProbe();
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu && activate(menu));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(named(menu, label));
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QAccessibleActionInterface* actions = iface->actionInterface();
    const bool pressable = actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction());
    QCOMPARE(pressable, role == QAccessible::Button);
    if (label == "cmdGames") { // pressing it opens the games window, as a click does
        actions->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(shownWindow(t, WindowNames::Games));
    }
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
