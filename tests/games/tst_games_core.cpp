#include "games/core/GameDateFormatter.h"
#include "games/core/GameFileActions.h"
#include "games/core/GameNameParser.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/core/GamesTree.h"
#include "support/TestFolders.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <numeric>

namespace {

const QString stamp = QStringLiteral("2001-10-09 20.15.33 ");

QStringList column(const GamesTableModel& model, int column)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.text(r, column);
    return out;
}

} // namespace

class GamesCoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void parseName_data();
    void parseName();

    void modeWords_data();
    void modeWords();
    void formats_data();
    void formats();
    void examplesAreTheChooserTexts();
    void suffixInDates_data();
    void suffixInDates();
    void ordinalSuffix_data();
    void ordinalSuffix();
    void dateTexts_data();
    void dateTexts();
    void normalizeSeparators();
    void localeNames();

    void modelRowsAndColumns();
    void modelSortsColumnTwice_data();
    void modelSortsColumnTwice();
    void modelSortMatchesTextOrder_data();
    void modelSortMatchesTextOrder();
    void modelSortsDatesInCalendarOrder();
    void modelSortKeepsSelectionAndTies();
    void modelChangesDateFormat();

    void transferStaysInsideGames_data();
    void transferStaysInsideGames();
    void treeWalk();
    void settingsKeepDateFormat();
};

void GamesCoreTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
}

void GamesCoreTest::parseName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("players");

    const QString t = QStringLiteral(" 20.15.33");
    const QString d = QStringLiteral("2001-10-09");
    auto row = [&](const char* tag, const QString& name, const QString& mode, const QString& players) {
        QTest::newRow(tag) << name << d << t << mode << players;
    };
    // Every tag of the table.
    row("Online", stamp + "[Online] Anna, Ben.WAgame", "Online", "Anna, Ben");
    row("Offline", stamp + "[Offline] Anna, Ben.WAgame", "Offline", "Anna, Ben");
    row("Mission", stamp + "[Mission] Anna.WAgame", "Mission", "Anna");
    row("Quick", stamp + "[Quick] Anna, CPU 1.WAgame", "Quick", "Anna, CPU 1");
    row("Training", stamp + "[Training] Anna.WAgame", "Training", "Anna");
    row("Online Round 1", stamp + "[Online Round 1] Anna, Ben.WAgame", "Online Round 1", "Anna, Ben");
    row("Online Round 2", stamp + "[Online Round 2] Anna, Ben.WAgame", "Online Round 2", "Anna, Ben");
    row("Offline Round 1", stamp + "[Offline Round 1] Anna, Ben.WAgame", "Offline Round 1", "Anna, Ben");
    row("Offline Round 2", stamp + "[Offline Round 2] Anna, Ben.WAgame", "Offline Round 2", "Anna, Ben");
    // Tags the game writes beyond the table.
    row("Quick CPU", stamp + "[Quick CPU] 1-UP, CPU 2.WAgame", "Quick", "1-UP, CPU 2");
    row("Online Round 3", stamp + "[Online Round 3] Anna, Ben.WAgame", "Online Round 3", "Anna, Ben");
    row("Offline Round 12", stamp + "[Offline Round 12] Anna.WAgame", "Offline Round 12", "Anna");
    // Mode words in players' names do not change the mode.
    row("player MissionMaker", stamp + "[Online] MissionMaker, Ben.WAgame", "Online", "MissionMaker, Ben");
    row("player Training Day", stamp + "[Offline] Training Day, Quickie.WAgame", "Offline", "Training Day, Quickie");
    row("player Online Round 2", stamp + "[Quick] Online Round 2.WAgame", "Quick", "Online Round 2");
    // Players' texts as the game writes them.
    row("brackets in players", stamp + "[Online] [CLAN]Anna, Ben.WAgame", "Online", "[CLAN]Anna, Ben");
    row("extension inside players", stamp + "[Online] my.WAgame fan.WAgame", "Online", "my.WAgame fan");
    row("lower-case extension", stamp + "[Online] Anna.wagame", "Online", "Anna");
    row("non-Latin players", stamp + QString::fromUtf8("[Online] Зоя, 太郎, Ünal.WAgame"), "Online",
        QString::fromUtf8("Зоя, 太郎, Ünal"));
    row("outer blanks", "  " + stamp + "[Online] Anna.WAgame ", "Online", "Anna");
    row("letter case of mode words counts", stamp + "[online] Anna.WAgame", "", "Anna");
    row("tag without a mode word", stamp + "[Replay] Anna.WAgame", "", "Anna");
    row("tag without players", stamp + "[Online].WAgame", "Online", "");
    // No tag: the whole name is searched and the players sit at fixed places.
    row("no tag, mode word", stamp + "(Online) Anna, Ben.WAgame", "Online", "Anna, Ben");
    row("no tag, training", stamp + "(Training) Anna.WAgame", "Training", "Anna");
    row("no tag, round", stamp + "(Online Round 2) Anna.WAgame", "Online Round 2", "Anna");
    row("no tag, no mode word", stamp + "Anna versus Ben.WAgame", "", "");

    // Short names and names that do not start with a date.
    QTest::newRow("short") << "game.WAgame"
                           << "game.WAgam"
                           << "e"
                           << ""
                           << "";
    QTest::newRow("short with mode word") << "Quick.WAgame"
                                          << "Quick.WAga"
                                          << "me"
                                          << "Quick"
                                          << "";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("not a date") << "Copy of 2001-10-09 20.15.33 [Online] Anna.WAgame"
                                << "Copy of 20"
                                << "01-10-09 "
                                << "Online"
                                << "Anna";
    QTest::newRow("date and time only") << "2001-10-09 20.15.33.WAgame" << d << t << ""
                                        << "";
}

void GamesCoreTest::parseName()
{
    QFETCH(QString, name);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, mode);
    QFETCH(QString, players);

    const GameNameParts parts = GameNameParser::parse(name);
    QCOMPARE(parts.date(name).toString(), date);
    QCOMPARE(parts.time(name).toString(), time);
    QCOMPARE(parts.mode.toString(), mode);
    QCOMPARE(parts.players(name).toString(), players);
}

void GamesCoreTest::modeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mode");
    QTest::newRow("later word wins") << "Mission Quick"
                                     << "Quick";
    QTest::newRow("order, not place") << "Training Online"
                                      << "Training";
    QTest::newRow("higher round") << "Online Round 2 Online Round 10"
                                  << "Online Round 10";
    QTest::newRow("leading zeros") << "Online Round 007 Online Round 8"
                                   << "Online Round 8";
    QTest::newRow("offline round first") << "Offline Round 1 Online Round 9"
                                         << "Offline Round 1";
    QTest::newRow("round without kind") << "Final Round 5"
                                        << "";
    QTest::newRow("round without number") << "Online Round x"
                                          << "Online";
    QTest::newRow("none") << "Anna versus Ben"
                          << "";
}

void GamesCoreTest::modeWords()
{
    QFETCH(QString, text);
    QFETCH(QString, mode);
    QCOMPARE(GameNameParser::modeOf(text).toString(), mode);
}

void GamesCoreTest::formats_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    const char* const texts[] = {
        "Tuesday, October 9th, 2001",
        "Tuesday, October 9, 2001",
        "October 9th, 2001",
        "October 9, 2001",
        "Oct 9th, 2001",
        "Oct 9, 2001",
        "9th October, 2001",
        "9 October, 2001",
        "9th Oct, 2001",
        "9 Oct, 2001",
        "Tuesday, Oct 9, 2001",
        "Tue, Oct 9, 2001",
        "Tue, Oct 9, 01",
        "Oct 9, 01",
        "09-10-2001",
        "09/10/2001",
        "09·10·2001",
        "09•10•2001",
        "09-10-01",
        "09/10/01",
        "09·10·01",
        "09•10•01",
        "9-10-2001",
        "9/10/2001",
        "9·10·2001",
        "9•10•2001",
        "9-10-01",
        "9/10/01",
        "9·10·01",
        "9•10•01",
    };
    for (int i = 0; i < 30; ++i)
        QTest::addRow("%d", i) << i << QString::fromUtf8(texts[i]);
    for (int i : {-1, 30, 31, 1000, -100})
        QTest::addRow("outside %d", i) << i << QStringLiteral("Tuesday, October 9, 2001");
}

void GamesCoreTest::formats()
{
    QFETCH(int, index);
    QFETCH(QString, expected);
    QCOMPARE(formatGameDate(QStringLiteral("2001-10-09"), index), expected);
    QCOMPARE(formatGameDate(QDate(2001, 10, 9), index), expected);
}

void GamesCoreTest::examplesAreTheChooserTexts()
{
    const QStringList examples = GameDateFormatter().examples();
    QCOMPARE(examples.size(), 30);
    for (int i = 0; i < 30; ++i)
        QCOMPARE(examples.at(i), formatGameDate(QDate(2001, 10, 9), i));
    QCOMPARE(examples.first(), QStringLiteral("Tuesday, October 9th, 2001"));
    QCOMPARE(examples.last(), QString::fromUtf8("9•10•01"));
}

void GamesCoreTest::suffixInDates_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("22nd") << "2001-10-22" << 2 << "October 22nd, 2001";
    QTest::newRow("11th") << "2001-10-11" << 2 << "October 11th, 2001";
    QTest::newRow("31st") << "2001-10-31" << 2 << "October 31st, 2001";
    QTest::newRow("1st long") << "2001-10-01" << 0 << "Monday, October 1st, 2001";
    QTest::newRow("3rd short month") << "2001-10-03" << 4 << "Oct 3rd, 2001";
    QTest::newRow("23rd day first") << "2001-10-23" << 6 << "23rd October, 2001";
    QTest::newRow("12th day first short") << "2001-10-12" << 8 << "12th Oct, 2001";
    QTest::newRow("no suffix in 9") << "2001-10-22" << 9 << "22 Oct, 2001";
    QTest::newRow("two-digit year") << "2009-01-05" << 12 << "Mon, Jan 5, 09";
    QTest::newRow("leap day") << "2004-02-29" << 14 << "29-02-2004";
}

void GamesCoreTest::suffixInDates()
{
    QFETCH(QString, date);
    QFETCH(int, index);
    QFETCH(QString, expected);
    QCOMPARE(formatGameDate(date, index), expected);
}

void GamesCoreTest::ordinalSuffix_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("expected");
    for (const char* pair :
         {"1 1st", "2 2nd", "3 3rd", "4 4th", "11 11th", "12 12th", "13 13th", "21 21st", "22 22nd", "23 23rd",
          "31 31st", "20 20th", "24 24th", "30 30th", "0 0", "32 32", "-1 -1", "x x", "1a 1a"}) {
        const QStringList p = QString::fromLatin1(pair).split(QLatin1Char(' '));
        QTest::newRow(pair) << p.at(0) << p.at(1);
    }
    QTest::newRow("empty") << ""
                           << "";
}

void GamesCoreTest::ordinalSuffix()
{
    QFETCH(QString, day);
    QFETCH(QString, expected);
    addOrdinalSuffix(day);
    QCOMPARE(day, expected);
}

void GamesCoreTest::dateTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks") << "   "
                            << "";
    QTest::newRow("not a date") << "Copy of 20"
                                << "Copy of 20";
    QTest::newRow("no such day") << "2001-02-30"
                                 << "2001-02-30";
    QTest::newRow("month 13") << "2001-13-01"
                              << "2001-13-01";
    QTest::newRow("day first") << "09-10-2001"
                               << "09-10-2001";
    QTest::newRow("dots") << "2001.10.09"
                          << "Tuesday, October 9th, 2001";
    QTest::newRow("slashes") << "2001/10/09"
                             << "Tuesday, October 9th, 2001";
    QTest::newRow("middle dots") << QString::fromUtf8("2001·10·9") << "Tuesday, October 9th, 2001";
    QTest::newRow("too many parts") << "2001-10-09-1"
                                    << "2001-10-09-1";
}

void GamesCoreTest::dateTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(formatGameDate(text, 0), expected);
}

void GamesCoreTest::normalizeSeparators()
{
    QCOMPARE(normalizeDateSeparators(QString::fromUtf8("a·b•c,d.e:f;g\u00ADh-i/j")),
             QStringLiteral("a b c d e f g h-i/j"));
}

void GamesCoreTest::localeNames()
{
    const GameDateFormatter german(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(german.format(QDate(2001, 10, 9), 3), QStringLiteral("Oktober 9, 2001"));
    QCOMPARE(german.format(QDate(2001, 10, 9), 1), QStringLiteral("Dienstag, Oktober 9, 2001"));
    // The default locale is what the free functions use.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(formatGameDate(QDate(2001, 10, 9), 7), QStringLiteral("9 octobre, 2001"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void GamesCoreTest::modelRowsAndColumns()
{
    GamesTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 6);

    const QStringList rootNames{stamp + "[Online] Anna, Ben.WAgame", "2002-01-01 10.00.00 [Training] Cy.WAgame"};
    model.setGames({{QString(), rootNames},
                    {QStringLiteral("Cups"), {"2003-05-06 07.08.09 [Quick CPU] Dee.WAgame"}},
                    {QStringLiteral("Empty"), {}},
                    {QStringLiteral("Odd"), {"readme.WAgame", "x [Mission] Eve.WAgame"}}});
    QCOMPARE(model.rowCount(), 5);

    const QStringList headers{"", "Date", "Time", "Mode", "Players & Teams", "Folder"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
    QCOMPARE(GamesTableModel::widthTwips(0), 0);
    QCOMPARE(GamesTableModel::widthTwips(4), 4000);

    QCOMPARE(column(model, 0),
             QStringList({rootNames.at(0), rootNames.at(1), "2003-05-06 07.08.09 [Quick CPU] Dee.WAgame",
                          "readme.WAgame", "x [Mission] Eve.WAgame"}));
    QCOMPARE(column(model, 1), QStringList({"Tuesday, October 9th, 2001", "Tuesday, January 1st, 2002",
                                            "Tuesday, May 6th, 2003", "readme.WAg", "x [Mission"}));
    QCOMPARE(column(model, 2), QStringList({" 20.15.33", " 10.00.00", " 07.08.09", "ame", "] Eve.WAg"}));
    QCOMPARE(column(model, 3), QStringList({"Online", "Training", "Quick", "", "Mission"}));
    QCOMPARE(column(model, 4), QStringList({"Anna, Ben", "Cy", "Dee", "", "Eve"}));
    QCOMPARE(column(model, 5), QStringList({"Default", "Default", "Cups", "Odd", "Odd"}));
    QCOMPARE(model.folder(0), QString());
    QCOMPARE(model.folder(2), QStringLiteral("Cups"));
    QCOMPARE(model.data(model.index(1, 4)).toString(), QStringLiteral("Cy"));

    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void GamesCoreTest::modelSortsColumnTwice_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("Time") << int(GamesTableModel::TimeColumn)
                          << QStringList{" 01.00.00", " 09.30.00", " 13.00.00", " 23.59.59"};
    QTest::newRow("Mode") << int(GamesTableModel::ModeColumn)
                          << QStringList{"Offline", "Online", "Online Round 2", "Training"};
    // Letter case counts: capitals sort before small letters.
    QTest::newRow("Players") << int(GamesTableModel::PlayersColumn) << QStringList{"Ben", "Zed", "anna", "ben"};
    QTest::newRow("Folder") << int(GamesTableModel::FolderColumn) << QStringList{"Default", "Default", "Zoo", "cups"};
}

void GamesCoreTest::modelSortsColumnTwice()
{
    QFETCH(int, sortColumn);
    QFETCH(QStringList, ascending);

    GamesTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setGames(
        {{QString(), {"2001-10-09 13.00.00 [Online] anna.WAgame", "2001-10-09 01.00.00 [Training] Zed.WAgame"}},
         {QStringLiteral("cups"), {"2001-10-09 23.59.59 [Offline] Ben.WAgame"}},
         {QStringLiteral("Zoo"), {"2001-10-09 09.30.00 [Online Round 2] ben.WAgame"}}});

    model.sort(sortColumn, Qt::AscendingOrder);
    QCOMPARE(column(model, sortColumn), ascending);
    model.sort(sortColumn, Qt::DescendingOrder);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(model, sortColumn), descending);
}

void GamesCoreTest::modelSortMatchesTextOrder_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<bool>("ascending");
    for (int c : {0, 2, 3, 4, 5}) {
        QTest::addRow("%s up", qPrintable(GamesTableModel::header(c))) << c << true;
        QTest::addRow("%s down", qPrintable(GamesTableModel::header(c))) << c << false;
    }
}

// Many names that share long beginnings, sorted against a plain stable sort
// of the shown texts.
void GamesCoreTest::modelSortMatchesTextOrder()
{
    QFETCH(int, sortColumn);
    QFETCH(bool, ascending);

    QList<GameFolderFiles> folders{{QString(), {}}, {QStringLiteral("b"), {}}, {QStringLiteral("B"), {}}};
    quint32 seed = 7;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };
    const QStringList pieces{"Anna", "Anna, Ben", "anna", "Zoë", "Зоя", "", "Anna, Ben, Cy", "x"};
    const QStringList tags{"[Online] ", "[Offline] ", "[Quick CPU] ", "[Online Round 3] ", "", "[Mission]"};
    for (int i = 0; i < 600; ++i) {
        QString name = QStringLiteral("2001-0%1-1%2 1%3.0%4.%5 ")
                           .arg(1 + next(3))
                           .arg(next(3))
                           .arg(next(3))
                           .arg(next(3))
                           .arg(next(2) ? QStringLiteral("33") : QStringLiteral("3"));
        if (next(10) == 0)
            name = QStringLiteral("odd ");
        name += tags.at(next(tags.size()));
        for (int p = next(4); p >= 0; --p)
            name += pieces.at(next(pieces.size()));
        name += QStringLiteral(" %1.WAgame").arg(i);
        folders[next(3)].names << name;
    }
    GamesTableModel model;
    model.setGames(folders);
    model.sort(GamesTableModel::PlayersColumn, Qt::AscendingOrder); // some order other than the fill's

    std::vector<int> expected(size_t(model.rowCount()));
    std::iota(expected.begin(), expected.end(), 0);
    const QStringList before = column(model, sortColumn);
    const QStringList files = column(model, 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        return ascending ? before.at(a) < before.at(b) : before.at(b) < before.at(a);
    });
    model.sort(sortColumn, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    for (int r = 0; r < model.rowCount(); ++r)
        QCOMPARE(model.fileName(r), files.at(expected[size_t(r)]));
}

void GamesCoreTest::modelSortsDatesInCalendarOrder()
{
    GamesTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // By their text "Friday..." < "Monday..." < "Thursday..."; by the calendar the other way round.
    model.setGames(
        {{QString(),
          {"not a date.WAgame", "2001-01-04 10.00.00 [Online] C.WAgame", "2001-01-01 12.00.00 [Online] B.WAgame",
           "2001-01-01 08.00.00 [Online] A.WAgame", "2000-12-29 10.00.00 [Online] Z.WAgame"}}});
    model.sort(GamesTableModel::DateColumn, Qt::AscendingOrder);
    QCOMPARE(column(model, 4), QStringList({"Z", "A", "B", "C", ""}));
    QCOMPARE(column(model, 1).first(), QStringLiteral("Friday, December 29th, 2000"));
    model.sort(GamesTableModel::DateColumn, Qt::DescendingOrder);
    QCOMPARE(column(model, 4), QStringList({"", "C", "B", "A", "Z"}));
}

void GamesCoreTest::modelSortKeepsSelectionAndTies()
{
    GamesTableModel model;
    model.setGames({{QString(),
                     {"2001-01-01 10.00.00 [Online] A.WAgame", "2001-01-02 10.00.00 [Offline] B.WAgame",
                      "2001-01-03 10.00.00 [Online] C.WAgame", "2001-01-04 10.00.00 [Offline] D.WAgame"}}});
    const QPersistentModelIndex selected = model.index(2, 4); // C
    // Equal modes keep their previous order, descending too.
    model.sort(GamesTableModel::ModeColumn, Qt::AscendingOrder);
    QCOMPARE(column(model, 4), QStringList({"B", "D", "A", "C"}));
    QCOMPARE(selected.row(), 3);
    model.sort(GamesTableModel::ModeColumn, Qt::DescendingOrder);
    QCOMPARE(column(model, 4), QStringList({"A", "C", "B", "D"}));
    QCOMPARE(selected.row(), 1);
    QCOMPARE(model.fileName(selected.row()), QStringLiteral("2001-01-03 10.00.00 [Online] C.WAgame"));
}

void GamesCoreTest::modelChangesDateFormat()
{
    GamesTableModel model;
    model.setGames({{QString(), {stamp + "[Online] A.WAgame", "odd.WAgame"}}});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setDateFormat(15);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(column(model, 1), QStringList({"09/10/2001", "odd.WAgame"}));
    // The format holds for the next fill too.
    model.setGames({{QString(), {"2002-03-04 10.00.00 [Online] A.WAgame"}}});
    QCOMPARE(model.text(0, 1), QStringLiteral("04/03/2002"));
}

void GamesCoreTest::transferStaysInsideGames_data()
{
    QTest::addColumn<QString>("toFolder");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("message");
    const QString none = QStringLiteral(" in your Games folder. Please pick another folder. c('.'C)");
    QTest::newRow("user folder") << "Cups" << true << "";
    QTest::newRow("Default") << "" << true << "";
    QTest::newRow("parent") << ".." << false << "There is no folder named '..'" + none;
    QTest::newRow("climbing") << "../Elsewhere" << false << "There is no folder named '../Elsewhere'" + none;
    QTest::newRow("absolute") << "/tmp" << false << "There is no folder named '/tmp'" + none;
    QTest::newRow("two levels") << "Cups/Old" << false << "There is no folder named 'Cups/Old'" + none;
    QTest::newRow("missing") << "Gone" << false << "There is no folder named 'Gone'" + none;
    QTest::newRow("a file") << "notes.txt" << false << "There is no folder named 'notes.txt'" + none;
    QTest::newRow("own folder") << "Arena" << false << "g.WAgame is already in the Arena folder! c('.'C)";
    QTest::newRow("Temp") << "Temp" << false
                          << "The Temp folder only holds copies of games being viewed, and it is emptied when The "
                             "Quillane closes. Please pick another folder. c('.'C)";
}

void GamesCoreTest::transferStaysInsideGames()
{
    QFETCH(QString, toFolder);
    QFETCH(bool, done);
    QFETCH(QString, message);
    TestUserFolder f;
    f.writeFile("Games/Arena/g.WAgame", "game");
    f.writeFile("Games/notes.txt");
    f.makeDir("Games/Cups/Old");
    f.makeDir("Games/Temp");
    f.makeDir("Elsewhere");
    const QString root = f.path("Games");

    GameFileActions::Transfer transfer{QStringLiteral("g.WAgame"), QStringLiteral("Arena"), toFolder, true};
    const GameFileActions::Outcome outcome = GameFileActions::transfer(root, transfer, f.path("Games/Temp"));
    QCOMPARE(outcome.changed, done);
    QCOMPARE(outcome.notice.text, message);
    QCOMPARE(f.exists("Games/Arena/g.WAgame"), !done);
    if (done)
        QCOMPARE(f.read(toFolder.isEmpty() ? "Games/g.WAgame" : "Games/" + toFolder + "/g.WAgame"), QByteArray("game"));
    QVERIFY(f.entries("Elsewhere").isEmpty());
    QVERIFY(f.entries("Games/Temp").isEmpty());
    QVERIFY(f.entries("Games/Cups/Old").isEmpty());
}

void GamesCoreTest::treeWalk()
{
    TestUserFolder f;
    f.writeFile("Games/2002-01-01 10.00.00 [Online] B.WAgame");
    f.writeFile("Games/2001-01-01 10.00.00 [Online] A.wagame");
    f.writeFile("Games/notes.txt");
    f.makeDir("Games/zeta");
    f.writeFile("Games/Beta/2003-01-01 10.00.00 [Online] C.WAGAME");
    f.writeFile("Games/Beta/Deeper/2004-01-01 10.00.00 [Online] D.WAgame");
    f.writeFile("Games/alpha/b.WAgame");
    f.writeFile("Games/alpha/A.WAgame");
    f.writeFile("Games/alpha/.hidden.WAgame");

    const QString root = f.path("Games");
    QCOMPARE(GamesTree::userFolders(root), QStringList({"alpha", "Beta", "zeta"}));
    const QList<GameFolderFiles> all = GamesTree::walk(root);
    QCOMPARE(all.size(), 4);
    QCOMPARE(all.at(0).folder, QString());
    QCOMPARE(all.at(0).names,
             QStringList({"2001-01-01 10.00.00 [Online] A.wagame", "2002-01-01 10.00.00 [Online] B.WAgame"}));
    QCOMPARE(all.at(1).folder, QStringLiteral("alpha"));
    QCOMPARE(all.at(1).names, QStringList({"A.WAgame", "b.WAgame"}));
    QCOMPARE(all.at(2).names, QStringList({"2003-01-01 10.00.00 [Online] C.WAGAME"}));
    QVERIFY(all.at(3).names.isEmpty());
    QVERIFY(GamesTree::walk(f.path("NoGames")).at(0).names.isEmpty());
}

void GamesCoreTest::settingsKeepDateFormat()
{
    GamesSettings::setDateFormat(17);
    QCOMPARE(GamesSettings::dateFormat(), 17);
    GamesSettings::setDateFormat(30);
    QCOMPARE(GamesSettings::dateFormat(), 0);
    GamesSettings::setDateFormat(0);
    QCOMPARE(GamesSettings::dateFormat(), 0);
}

QTEST_GUILESS_MAIN(GamesCoreTest)
#include "tst_games_core.moc"
