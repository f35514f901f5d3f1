#include "common/core/WindowsPath.h"
#include "common/core/ZipReader.h"
#include "common/ui/WindowNames.h"
#include "games/core/ReplayStarter.h"
#include "support/TestApp.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

namespace {

const QString gameA = QStringLiteral("2001-10-09 20.15.33 [Online] Anna, Ben.WAgame");
const QString gameB = QStringLiteral("2002-01-01 10.00.00 [Offline] Cy, Dee.WAgame");

// The games window over Games/<gameA> and Games/Cups/<gameB>, with the
// replay's row selected; Windows paths by the Z: drive rule.
QWidget* openWithSelected(TestApp& t, const QString& game)
{
    t.folder.writeGameFile("WA.exe");
    t.folder.writeFile("Games/" + gameA, "replay A");
    t.folder.writeFile("Games/Cups/" + gameB, "replay B");
    t.create();
    if (!t.app().openFromMenu(WindowNames::Games))
        return nullptr;
    QWidget* w = nullptr;
    if (!QTest::qWaitFor([&] { return (w = t.existing(WindowNames::Games)) && named(w, "Frame3")->isHidden(); }))
        return nullptr;
    w->findChild<ReplayStarter*>()->pathLookup().setWinepathLocator([] { return QString(); });
    auto* grid = named<QTableView>(w, "Grid1");
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        if (grid->model()->index(r, 0).data().toString() == game)
            grid->selectRow(r);
    }
    return w;
}

void trigger(QWidget* w, const QString& action)
{
    named<QMenu>(w, "mnuFile")->findChild<QAction*>(action)->trigger();
}

// The Linux path the fake game reads from a Windows path on the Z: drive.
QString fromZDrive(QString windows)
{
    return windows.mid(2).replace('\\', '/');
}

QStringList teamRows(QWidget* w)
{
    auto* table = named<QTableWidget>(w, "tblTeams");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 1)->text() + "/" + table->item(r, 2)->text() + "/" + table->item(r, 3)->text();
    return rows;
}

} // namespace

class GamesReplayWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsGame_data();
    void startsGame();
    void checksTime_data();
    void checksTime();
    void readsLogTheGameWrites();
    void exportsZip();
};

void GamesReplayWindowTest::startsGame_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("command"); // <exe> is WA.exe, <replay> the game's Windows path
    QTest::addColumn<QString>("prefix");
    using K = GameInstall::Kind;
    const QStringList wine{"/usr/bin/wine", "<exe>"}, steam{"/usr/bin/steam", "-applaunch", "217200"};
    const QStringList play{"/play", "<replay>"}, playFrom{"/playat", "<replay>", "1:02:03"},
        readLog{"/q", "/getlog", "<replay>"};
    QTest::newRow("here, double-click") << int(K::Here) << "dclick" << wine + play << "";
    QTest::newRow("here, Enter") << int(K::Here) << "enter" << wine + play << "";
    QTest::newRow("here, play from") << int(K::Here) << "mnuPlayFrom" << wine + playFrom << "";
    QTest::newRow("here, read log") << int(K::Here) << "cmdReadLog" << wine + readLog << "";
    QTest::newRow("wine, play") << int(K::Wine) << "mnuPlay" << wine + play << "/pfx";
    QTest::newRow("wine, play from") << int(K::Wine) << "mnuPlayFrom" << wine + playFrom << "/pfx";
    QTest::newRow("wine, read log") << int(K::Wine) << "cmdReadLog" << wine + readLog << "/pfx";
    QTest::newRow("steam, play") << int(K::Steam) << "mnuPlay" << steam + play << "";
    QTest::newRow("steam, play from") << int(K::Steam) << "mnuPlayFrom" << steam + playFrom << "";
    QTest::newRow("steam, read log") << int(K::Steam) << "cmdReadLog" << steam + readLog << "";
}

// The exact start of each way to play or read a log, for each kind of install.
void GamesReplayWindowTest::startsGame()
{
    QFETCH(int, kind);
    QFETCH(QString, how);
    QFETCH(QStringList, command);
    QFETCH(QString, prefix);
    TestApp t;
    t.install = GameInstall::make(GameInstall::Kind(kind), t.folder.user(), prefix);
    t.launcher.programs.insert("steam", "/usr/bin/steam");
    QWidget* w = openWithSelected(t, gameB);
    QVERIFY(w);
    auto* grid = named<QTableView>(w, "Grid1");
    if (how == "dclick") {
        const QRect row = grid->visualRect(grid->currentIndex().siblingAtColumn(4));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, row.center()); // as a mouse does
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    } else if (how == "enter") {
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
    } else if (how == "cmdReadLog") {
        QTRY_VERIFY(named(w, "cmdReadLog")->isVisible());
        named<QPushButton>(w, "cmdReadLog")->click();
    } else {
        if (how == "mnuPlayFrom")
            t.prompter.answerInput(" 1:02:03 ");
        trigger(w, how);
    }
    QTRY_COMPARE(t.launcher.requests.size(), 1);
    const LaunchRequest& started = t.launcher.requests.first();
    const QString replay = "Z:" + t.folder.path("Games/Cups/" + gameB).replace('/', '\\');
    command.replaceInStrings("<exe>", t.folder.game() + "WA.exe").replaceInStrings("<replay>", replay);
    QCOMPARE(QStringList{started.program} + started.arguments, command);
    QCOMPARE(started.environment.value("WINEPREFIX"), prefix);
    VERIFY_PROMPTER(t.prompter);
}

void GamesReplayWindowTest::checksTime_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("time"); // "" when refused
    for (const char* good : {"0:00", "2:05", "125:59", "1:02:03", "12:00:00"})
        QTest::newRow(good) << QString(good) << QString(good);
    for (const char* bad : {"2:5", "1:60", "1:02:60", "1:60:00", "123:00:00", "2", "2:05.5", "-1:00", "a:bc", "1::05"})
        QTest::newRow(bad) << QString(bad) << QString();
}

// A time is m:ss or h:mm:ss; a bad one is explained and nothing else is asked or started.
void GamesReplayWindowTest::checksTime()
{
    QFETCH(QString, typed);
    QFETCH(QString, time);
    QCOMPARE(ReplayStarter::checkedTime(typed), time);
    // Every refused time takes the same way through the window: one shows it.
    if (typed != QLatin1String("2:5"))
        return;
    TestApp t;
    QWidget* w = openWithSelected(t, gameA);
    QVERIFY(w);
    t.prompter.answerInput(typed);
    trigger(w, "mnuPlayFrom");
    QCOMPARE(t.prompter.boxes().size(), 2);
    QVERIFY(t.prompter.texts().last().startsWith("'" + typed + "' is not a time"));
    QVERIFY(t.launcher.requests.isEmpty());
    VERIFY_PROMPTER(t.prompter);
}

// Read log: the game does not answer in time (said so), then the fake game
// writes the log and the panel shows its teams and winner; it follows the
// selection, and a log with nothing to read is shown as its text.
void GamesReplayWindowTest::readsLogTheGameWrites()
{
    TestApp t;
    t.intervals.logWait = 300;
    t.intervals.logPoll = 20;
    QWidget* w = openWithSelected(t, gameB);
    QVERIFY(w);
    auto* status = named<QLabel>(w, "lblLogStatus");
    QTRY_VERIFY(named(w, "cmdReadLog")->isVisible());
    named<QPushButton>(w, "cmdReadLog")->click();
    QTRY_COMPARE(t.prompter.boxes().size(), 1);
    QVERIFY(t.prompter.texts().first().contains("stopped waiting"));
    QTRY_VERIFY(named(w, "cmdReadLog")->isVisible()); // the panel reloads off the GUI thread

    t.intervals.logWait = 60000;
    t.launcher.onStart = [](const LaunchRequest& r) {
        if (!r.arguments.contains("/getlog"))
            return;
        QFile log(fromZDrive(r.arguments.last()).replace(".WAgame", ".log"));
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
    QVERIFY(status->text().startsWith("Select a game"));
    named<QTableView>(w, "Grid1")->selectRow(0);
    QTRY_VERIFY(named(w, "txtLogText")->isVisible());
    QCOMPARE(named<QPlainTextEdit>(w, "txtLogText")->toPlainText(), QStringLiteral("\x01 not a log"));
    QCOMPARE(t.prompter.boxes().size(), 1);
    VERIFY_PROMPTER(t.prompter);
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

// Every shown game with its log, folders as zip folders; then the selected
// game alone, replacing the archive only after Yes.
void GamesReplayWindowTest::exportsZip()
{
    TestApp t;
    t.folder.writeFile("Games/Cups/" + QString(gameB).replace(".WAgame", ".log"), "log B");
    QWidget* w = openWithSelected(t, gameA);
    QVERIFY(w);
    const QString archive = t.folder.path("shared.zip");
    const QString done = "were exported to " + QDir::toNativeSeparators(archive);
    t.prompter.answerNo(); // not only the selected game: all shown
    t.prompter.answerSaveFile(t.folder.path("shared"));
    trigger(w, "mnuExportZip");
    QTRY_VERIFY(t.prompter.texts().last().contains(done));
    QCOMPARE(zipNames(archive),
             QStringList({gameA, "Cups/", "Cups/" + gameB, "Cups/" + QString(gameB).replace(".WAgame", ".log")}));

    t.prompter.clear();
    for (bool replace : {false, true}) {
        t.prompter.answerYes(); // the selected game only
        t.prompter.answerSaveFile(archive);
        replace ? t.prompter.answerYes() : t.prompter.answerNo();
        trigger(w, "mnuExportZip");
    }
    QTRY_VERIFY(t.prompter.texts().last().contains(done));
    QCOMPARE(zipNames(archive), QStringList{gameA});
    VERIFY_PROMPTER(t.prompter);
}

QTEST_MAIN(GamesReplayWindowTest)
#include "tst_games_replay_window.moc"
