#include "common/ui/WindowNames.h"
#include "support/TestApp.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

template <class T> T* named(QWidget* w, const char* name)
{
    return w->findChild<T*>(QLatin1String(name));
}

QStringList shownPlayers(QWidget* w)
{
    QAbstractItemModel* model = named<QTableView>(w, "Grid1")->model();
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 4).data().toString().trimmed();
    return out;
}

} // namespace

// The search box of the real games window, typed into by the keyboard.
class GamesSearchWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void searchNarrowsGridAndSelection();
};

void GamesSearchWindowTest::searchNarrowsGridAndSelection()
{
    TestApp t;
    t.folder.writeFile("Games/2001-10-09 20.15.33 [Online] Łukasz, Ben.WAgame");
    t.folder.writeFile("Games/Cups/2002-01-01 10.00.00 [Training] Ørjan.WAgame");
    t.folder.writeFile("Games/Cups/2003-05-06 07.08.09 [Offline] Anna, Ben.WAgame");
    t.create();
    QVERIFY(t.app().openFromMenu(WindowNames::Games));
    QWidget* w = nullptr;
    QVERIFY(QTest::qWaitFor([&] {
        w = t.existing(WindowNames::Games);
        return w && w->isVisible() && named<QFrame>(w, "Frame3")->isHidden();
    }));
    auto* search = named<QLineEdit>(w, "txtSearch");
    auto* count = named<QLabel>(w, "lblSearchCount");
    auto* grid = named<QTableView>(w, "Grid1");
    auto* file = named<QLineEdit>(w, "txtFile");
    QCOMPARE(search->accessibleName(), QStringLiteral("Search games"));
    QCOMPARE(count->text(), QStringLiteral("3 of 3 games"));

    // Pick Anna's game, then type: it stays picked while it is shown.
    grid->selectRow(shownPlayers(w).indexOf("Anna, Ben"));
    QVERIFY(file->text().contains("Anna"));
    QTest::keyClicks(search, "ben");
    QCOMPARE(shownPlayers(w), QStringList({"Łukasz, Ben", "Anna, Ben"}));
    QCOMPARE(count->text(), QStringLiteral("2 of 3 games"));
    QVERIFY(file->text().contains("Anna"));

    // Filtered away: nothing is selected, so Delete Game has nothing to delete.
    QTest::keyClicks(search, " lukasz");
    QCOMPARE(shownPlayers(w), QStringList({"Łukasz, Ben"}));
    QCOMPARE(file->text(), QString());
    QVERIFY(!grid->selectionModel()->hasSelection());
    t.prompter.clear();
    QMetaObject::invokeMethod(named<QWidget>(w, "cmdDelete"), "clicked");
    QCOMPARE(t.prompter.texts(), QStringList{"Select a Game to delete c('.'C)"});
    QVERIFY(t.folder.exists("Games/Cups/2003-05-06 07.08.09 [Offline] Anna, Ben.WAgame"));

    // Accents typed or not, and clearing brings every game back.
    search->setText("orjan");
    QCOMPARE(shownPlayers(w), QStringList({"Ørjan"}));
    search->clear();
    QCOMPARE(count->text(), QStringLiteral("3 of 3 games"));
    VERIFY_PROMPTER(t.prompter);
}

QTEST_MAIN(GamesSearchWindowTest)
#include "tst_games_search_window.moc"
