// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GameDateFormatter.h"
#include "games/core/GameFileActions.h"
#include "games/core/GameLog.h"
#include "games/core/GameNameParser.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/core/GamesTree.h"
#include "games/core/GamesZipExport.h"
#include "games/core/ReplayStarter.h"
#include "support/FaultyFileSystem.h"
#include "support/TestFolders.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QLocale>
#include <QPersistentModelIndex>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <numeric>

namespace {

const QString stamp = QStringLiteral("2001-10-09 20.15.33 ");

QStringList column(const QAbstractItemModel& model, int column, int width = -1)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.data(model.index(r, column)).toString().left(width);
    return out;
}

// Every file under Games as "path=content", or "path" for a file holding its
// own path (as each file the test writes does); "../../" is the game folder.
QStringList filesUnderGames(const TestUserFolder& f)
{
    QStringList out;
    for (QString file : f.files("..")) {
        file = file.startsWith("User/Games/") ? file.mid(11) : "../../" + file;
        const qsizetype eq = file.indexOf('=');
        out << (file.mid(eq + 1) == file.left(eq) ? file.left(eq) : file);
    }
    out.sort();
    return out;
}

// A few games whose texts differ in the ways a search must see through.
QList<GameFolderFiles> sampleGames()
{
    return {{QString(), {"2001-10-09 20.15.33 [Offline] Anna, Ben.WAgame"}},
            {"League",
             {"2019-09-16 16.58.33 [Online] Łukasz, Ørjan.WAgame",
              "2001-10-10 20.15.33 [Online Round 2] anna vs Straße.WAgame"}},
            {"Cup Ränking", {"2020-02-29 09.00.00 [Training] Zoë.WAgame"}}};
}

// Many games with players from a small pool, for typing letter by letter.
QList<GameFolderFiles> manyGames(int count)
{
    const QStringList players{"Łukasz", "Ørjan", "anna", "Bénédicte", "Zoë", "Mad Max", "Kai"};
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names << QStringLiteral("20%1-0%2-1%3 1%4.00.00 [Online] %5, %6.WAgame")
                     .arg(10 + i % 10)
                     .arg(1 + i % 9)
                     .arg(i % 10)
                     .arg(i % 10)
                     .arg(players.at(i % players.size()), players.at((i / 3 + 1) % players.size()));
    }
    return {{QString(), names.mid(0, count / 2)}, {"Other", names.mid(count / 2)}};
}

// What the search must find, read the slow way: every word in the shown
// texts of the row.
QList<int> expectedRows(const GamesTableModel& games, const QString& typed)
{
    QList<int> rows;
    const QList<QByteArray> words = GamesSearchModel::fold(typed).split(' ');
    for (int row = 0; row < games.rowCount(); ++row) {
        QString all = games.isoDate(row);
        for (int c = GamesTableModel::DateColumn; c < GamesTableModel::ColumnCount; ++c)
            all += QLatin1Char('|') + games.text(row, c);
        const QByteArray folded = GamesSearchModel::fold(all);
        if (std::all_of(words.begin(), words.end(), [&](const QByteArray& w) { return folded.contains(w); }))
            rows << row;
    }
    return rows;
}

// A log as the game writes it: CR LF lines, Windows-1252 unless `utf8`.
QByteArray gameLog(const QStringList& lines, bool utf8)
{
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (utf8)
        return text.toUtf8();
    QByteArray bytes;
    for (const QChar c : text)
        bytes += c == QChar(0x2022) ? '\x95' : char(c.unicode() < 0x100 ? c.unicode() : '?');
    return bytes;
}

QString teamText(const GameLogTeam& t)
{
    QStringList marks;
    if (t.localPlayer)
        marks << "local";
    if (t.host)
        marks << "host";
    if (t.cpuLevel)
        marks << QStringLiteral("cpu%1").arg(t.cpuLevel);
    return t.colour + ':' + t.player + '/' + t.team + '[' + marks.join(',') + ']';
}

// The facts of a log in one line, to compare with what the test expects.
QString summary(const GameLog& log)
{
    if (!log.hasFacts())
        return QStringLiteral("text only");
    QStringList teams, spectators, awards;
    for (const GameLogTeam& t : log.teams)
        teams << teamText(t);
    for (const GameLogTeam& t : log.spectators)
        spectators << teamText(t);
    for (const GameLogAward& a : log.awards)
        awards << a.title + '=' + a.value;
    static const char* outcomes[] = {"open", "round won by ", "match won by ", "drawn"};
    return QStringLiteral("%1 | %2 | %3 | %4 | round %5 %6%7 | %8/%9 | %10 | %11 events, %12 messages")
        .arg(log.startedAt, log.engineVersion, teams.join(' '), spectators.join(' '), QString::number(log.round),
             QLatin1String(outcomes[int(log.outcome)]), log.winner, log.roundTime, log.totalTime)
        .arg(awards.join(' '))
        .arg(log.events)
        .arg(log.messages);
}

const QStringList logHead{"Game Started at 2019-09-16 16:58:33 GMT",
                          "Game ID: \"5823\"",
                          "Game Engine Version: 3.8.1 (3.8.1.0)",
                          "File Format Version: 3.8.1 - 3.8.1",
                          "Exported with Version: 3.8.1",
                          ""};

} // namespace

class GamesCoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void parseName_data();
    void parseName();
    void formatDate_data();
    void formatDate();
    void localeNamesAndSeparators();
    void modelRows();
    void modelSortMatchesTextOrder();
    void fileAction_data();
    void fileAction();
    void checkedTime_data();
    void checkedTime();
    void settingsKeepDateFormat();
    void walkListsWhatTheGridShows_data();
    void walkListsWhatTheGridShows();
    void fold_data();
    void fold();
    void search_data();
    void search();
    void typingLetterByLetter();
    void readLog_data();
    void readLog();
    void logStory_data();
    void logStory();
    void zipExportStopped_data();
    void zipExportStopped();
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
    auto odd = [](const char* tag, const QString& name, const QString& date, const QString& time, const QString& mode,
                  const QString& players) { QTest::newRow(tag) << name << date << time << mode << players; };
    auto row = [&](const char* tag, const QString& name, const QString& mode, const QString& players) {
        odd(tag, stamp + name, "2001-10-09", " 20.15.33", mode, players);
    };
    // Every tag of the table, and tags the game writes beyond it.
    for (const char* tag : {"Online", "Offline", "Mission", "Quick", "Training", "Online Round 3", "Offline Round 2"})
        row(tag, QStringLiteral("[%1] Anna, Ben.WAgame").arg(tag), tag, "Anna, Ben");
    row("Quick CPU", "[Quick CPU] 1-UP, CPU 2.WAgame", "Quick", "1-UP, CPU 2");
    // Several mode words in a tag: the later word, the higher round, offline rounds first.
    for (const char* pair :
         {"Mission Quick>Quick", "Training Online>Training", "Online Round 2 Online Round 10>Online Round 10",
          "Online Round 007 Online Round 8>Online Round 8", "Offline Round 1 Online Round 9>Offline Round 1",
          "Final Round 5>", "Online Round x>Online"}) {
        const QStringList p = QString::fromLatin1(pair).split(QLatin1Char('>'));
        row(pair, "[" + p.at(0) + "] Anna.WAgame", p.at(1), "Anna");
    }
    // Mode words in players' names do not change the mode.
    row("player MissionMaker", "[Online] MissionMaker, Ben.WAgame", "Online", "MissionMaker, Ben");
    // Players' texts as the game writes them.
    row("brackets in players", "[Online] [CLAN]Anna, Ben.WAgame", "Online", "[CLAN]Anna, Ben");
    row("extension inside players", "[Online] my.WAgame fan.WAgame", "Online", "my.WAgame fan");
    row("lower-case extension", "[Online] Anna.wagame", "Online", "Anna");
    row("letter case of mode words counts", "[online] Anna.WAgame", "", "Anna");
    row("tag without a mode word", "[Replay] Anna.WAgame", "", "Anna");
    row("tag without players", "[Online].WAgame", "Online", "");
    odd("outer blanks", "  " + stamp + "[Online] Anna.WAgame ", "2001-10-09", " 20.15.33", "Online", "Anna");
    // No tag: the whole name is searched and the players sit at fixed places.
    row("no tag, mode word", "(Online) Anna, Ben.WAgame", "Online", "Anna, Ben");
    row("no tag, training", "(Training) Anna.WAgame", "Training", "Anna");
    row("no tag, round", "(Online Round 2) Anna.WAgame", "Online Round 2", "Anna");
    row("no tag, no mode word", "Anna versus Ben.WAgame", "", "");
    odd("date and time only", "2001-10-09 20.15.33.WAgame", "2001-10-09", " 20.15.33", "", "");
    // Short names and names that do not start with a date.
    odd("short", "game.WAgame", "game.WAgam", "e", "", "");
    odd("short with mode word", "Quick.WAgame", "Quick.WAga", "me", "Quick", "");
    odd("empty", "", "", "", "", "");
    odd("not a date", "Copy of " + stamp + "[Online] Anna.WAgame", "Copy of 20", "01-10-09 ", "Online", "Anna");
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

void GamesCoreTest::formatDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    // Every format the chooser offers, as it shows them.
    const QStringList texts =
        QString::fromUtf8(
            "Tuesday, October 9th, 2001|Tuesday, October 9, 2001|October 9th, 2001|October 9, 2001|Oct 9th, 2001|"
            "Oct 9, 2001|9th October, 2001|9 October, 2001|9th Oct, 2001|9 Oct, 2001|Tuesday, Oct 9, 2001|"
            "Tue, Oct 9, 2001|Tue, Oct 9, 01|Oct 9, 01|09-10-2001|09/10/2001|09·10·2001|09•10•2001|09-10-01|09/10/01|"
            "09·10·01|09•10•01|9-10-2001|9/10/2001|9·10·2001|9•10•2001|9-10-01|9/10/01|9·10·01|9•10•01")
            .split(QLatin1Char('|'));
    for (int i = 0; i < 30; ++i)
        QTest::addRow("%d", i) << "2001-10-09" << i << texts.at(i);
    for (int i : {-1, 30, 1000})
        QTest::addRow("outside %d", i) << "2001-10-09" << i << "Tuesday, October 9, 2001";
    auto row = [](const char* tag, const QString& date, int index, const QString& expected) {
        QTest::newRow(tag) << date << index << expected;
    };
    row("1st, other weekday", "2001-10-01", 0, "Monday, October 1st, 2001");
    for (const QString& day : QStringLiteral("2nd 3rd 4th 11th 12th 13th 20th 21st 22nd 23rd 30th 31st").split(' '))
        QTest::addRow("%s", qPrintable(day)) << "2001-10-" + day.chopped(2) << 2 << "October " + day + ", 2001";
    row("two-digit year", "2009-01-05", 12, "Mon, Jan 5, 09");
    row("leap day", "2004-02-29", 14, "29-02-2004");
    // Texts that are not dates are shown as they are.
    row("blanks", "   ", 0, "");
    row("not a date", "Copy of 20", 0, "Copy of 20");
    row("no such day", "2001-02-30", 0, "2001-02-30");
    row("day first", "09-10-2001", 0, "09-10-2001");
    row("too many parts", "2001-10-09-1", 0, "2001-10-09-1");
    row("dots", "2001.10.09", 0, "Tuesday, October 9th, 2001");
    row("middle dots", QString::fromUtf8("2001·10·9"), 0, "Tuesday, October 9th, 2001");
}

void GamesCoreTest::formatDate()
{
    QFETCH(QString, date);
    QFETCH(int, index);
    QFETCH(QString, expected);
    QCOMPARE(formatGameDate(date, index), expected);
    // The date-format chooser shows the formats with this date.
    if (date == QLatin1String("2001-10-09") && index >= 0 && index < 30)
        QCOMPARE(GameDateFormatter().examples().value(index), expected);
}

void GamesCoreTest::localeNamesAndSeparators()
{
    const GameDateFormatter german(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(german.format(QDate(2001, 10, 9), 1), QStringLiteral("Dienstag, Oktober 9, 2001"));
    // The default locale is what the free functions use.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(formatGameDate(QDate(2001, 10, 9), 7), QStringLiteral("9 octobre, 2001"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(normalizeDateSeparators(QString::fromUtf8("a·b•c,d.e:f;g\u00ADh-i/j")),
             QStringLiteral("a b c d e f g h-i/j"));
}

void GamesCoreTest::modelRows()
{
    GamesTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QString a = stamp + "[Online] Anna, Ben.WAgame";
    const QString b = "2002-01-01 10.00.00 [Training] Cy.WAgame";
    const QString c = "2003-05-06 07.08.09 [Quick CPU] Dee.WAgame";
    model.setGames({{QString(), {a, b}},
                    {QStringLiteral("Cups"), {c}},
                    {QStringLiteral("Empty"), {}},
                    {QStringLiteral("Odd"), {"readme.WAgame", "x [Mission] Eve.WAgame"}}});
    const QList<QStringList> columns{{a, b, c, "readme.WAgame", "x [Mission] Eve.WAgame"},
                                     {"Tuesday, October 9th, 2001", "Tuesday, January 1st, 2002",
                                      "Tuesday, May 6th, 2003", "readme.WAg", "x [Mission"},
                                     {" 20.15.33", " 10.00.00", " 07.08.09", "ame", "] Eve.WAg"},
                                     {"Online", "Training", "Quick", "", "Mission"},
                                     {"Anna, Ben", "Cy", "Dee", "", "Eve"},
                                     {"Default", "Default", "Cups", "Odd", "Odd"}};
    for (int col = 0; col < int(columns.size()); ++col)
        QCOMPARE(column(model, col), columns.at(col));

    // Another date format re-formats the shown dates, and holds for the next fill.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setDateFormat(15);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(column(model, 1), QStringList({"09/10/2001", "01/01/2002", "06/05/2003", "readme.WAg", "x [Mission"}));
    model.setGames({{QString(), {"2002-03-04 10.00.00 [Online] A.WAgame"}}});
    QCOMPARE(column(model, 1), QStringList({"04/03/2002"}));
}

// Every column sorted against a plain stable sort of the shown texts; dates
// by the calendar (their texts put Monday before Wednesday), one day's games
// by their time, names without a date last.
void GamesCoreTest::modelSortMatchesTextOrder()
{
    QList<GameFolderFiles> folders{{QString(), {}}, {QStringLiteral("b"), {}}, {QStringLiteral("B"), {}}};
    // Names in three folders that share long beginnings and tie often.
    int i = 0;
    for (const char* stamp : {"2001-03-12 11.02.33 ", "2001-03-12 11.02.3 ", "2001-01-10 12.00.33 ", "odd "}) {
        for (const char* tag : {"[Online] ", "[Offline] ", "[Quick CPU] ", "[Online Round 3] ", "", "[Mission]"}) {
            for (const char* players :
                 {"Anna", "Anna, Ben", "anna", "Zoë", "Зоя", "", "Anna, Ben, Cy, Dee, Eve", "Anna, Ben, Cy, Dee, Ed"}) {
                const QString name = QString::fromUtf8(stamp) + tag + QString::fromUtf8(players);
                folders[i % 3].names << name + QStringLiteral(" %1.WAgame").arg(i % 50);
                ++i;
            }
        }
    }
    GamesTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setGames(folders);
    const QPersistentModelIndex kept = model.index(7, 0); // as the grid's selection
    const QString keptName = kept.data().toString();
    for (int sortColumn = 0; sortColumn < GamesTableModel::ColumnCount; ++sortColumn) {
        for (bool ascending : {true, false}) {
            // Some order other than the one sorted for.
            model.sort(sortColumn == GamesTableModel::DateColumn ? GamesTableModel::FileColumn
                                                                 : GamesTableModel::DateColumn,
                       Qt::AscendingOrder);
            std::vector<int> expected(size_t(model.rowCount()));
            std::iota(expected.begin(), expected.end(), 0);
            QStringList before = column(model, sortColumn);
            for (int r = 0; sortColumn == GamesTableModel::DateColumn && r < model.rowCount(); ++r) {
                const QString day = model.isoDate(r);
                before[r] = day.isEmpty() ? "~" + before[r] : day + model.text(r, GamesTableModel::TimeColumn);
            }
            const QStringList files = column(model, 0);
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return ascending ? before.at(a) < before.at(b) : before.at(b) < before.at(a);
            });
            model.sort(sortColumn, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
            for (int r = 0; r < model.rowCount(); ++r)
                QCOMPARE(model.fileName(r), files.at(expected[size_t(r)]));
        }
    }
    QCOMPARE(kept.data().toString(), keptName);
}

void GamesCoreTest::fileAction_data()
{
    // "copy|from|to|file", "move|from|to|file", "delete|folder|file", "view|folder|file" or "remove|folder";
    // folders are named as the windows list them, "" for Games itself.
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("before"); // under Games: a file holding its own path, "folder/" or "link->target"
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("notice");    // how the notice starts
    QTest::addColumn<QStringList>("after"); // as filesUnderGames() lists them
    using Fault = FaultyFileSystem::Fault;
    auto row = [](const char* tag, const QString& action, const QStringList& before, const QStringList& after,
                  const QString& notice = QString(), Fault fault = Fault::None) {
        QTest::newRow(tag) << action << before << int(fault) << notice << after;
    };
    // Only folders directly inside Games take a game.
    const QStringList tree{"Arena/g.WAgame", "notes.txt", "Cups/Old/", "../Elsewhere/"};
    row("to a folder", "move|Arena|Cups|g.WAgame", tree, {"Cups/g.WAgame=Arena/g.WAgame", "notes.txt"});
    row("to Default", "move|Arena||g.WAgame", tree, {"g.WAgame=Arena/g.WAgame", "notes.txt"});
    for (const char* folder : {"..", "../Elsewhere", "/tmp", "Cups/Old", "Gone", "notes.txt"}) {
        row(folder, QStringLiteral("move|Arena|%1|g.WAgame").arg(folder), tree, {"Arena/g.WAgame", "notes.txt"},
            QStringLiteral("There is no folder named '%1' in your Games folder.").arg(folder));
    }
    // A link to the game itself: nothing to copy, and a move must not delete the only copy.
    const QStringList linked{"g.WAgame", "Cups/", "Cups/g.WAgame->g.WAgame"};
    const QString already = "g.WAgame is already in the Cups folder! c('.'C)";
    row("move onto a link to it", "move||Cups|g.WAgame", linked, {"Cups/g.WAgame=g.WAgame", "g.WAgame"}, already);
    row("copy onto a link to it", "copy||Cups|g.WAgame", linked, {"Cups/g.WAgame=g.WAgame", "g.WAgame"}, already);
    // The game's own file system sees one name: the copy replaces the game there.
    const QStringList otherCase{"g.WAgame", "Cups/G.wagame"};
    row("copy, other letter case", "copy||Cups|g.WAgame", otherCase, {"Cups/G.wagame=g.WAgame", "g.WAgame"});
    row("move, other letter case", "move||Cups|g.WAgame", otherCase, {"Cups/G.wagame=g.WAgame"});
    // Disk is the user's link to another disk: managed there, like any folder.
    const QStringList disk{"g.WAgame", "../../Disk/d.WAgame", "../../Disk/d.log", "Disk->../../Disk"};
    row("delete in a linked folder", "delete|Disk|d.WAgame", disk, {"g.WAgame"});
    row("move into a linked folder", "move||Disk|g.WAgame", disk,
        {"../../Disk/d.WAgame", "../../Disk/d.log", "../../Disk/g.WAgame=g.WAgame"});
    // Only a complete copy lets the original go.
    row("move, disk full halfway", "move||Cups|g.WAgame", {"g.WAgame", "Cups/"}, {"g.WAgame"},
        "g.WAgame could not be moved to the Cups folder: the disk is full. =(", Fault::DiskFull);
    row("move, delete refused", "move||Cups|g.WAgame", {"g.WAgame", "Cups/"}, {"Cups/g.WAgame=g.WAgame", "g.WAgame"},
        "g.WAgame was copied to the Cups folder, but the original could not be deleted. =(", Fault::Remove);
    // The log goes with its game, and a replaced game's log goes with it.
    const QStringList withLog{"A/x.WAgame", "A/x.log", "B/"};
    row("copy with its log", "copy|A|B|x.WAgame", withLog,
        {"A/x.WAgame", "A/x.log", "B/x.WAgame=A/x.WAgame", "B/x.log=A/x.log"});
    row("move with its log", "move|A|B|x.WAgame", withLog, {"B/x.WAgame=A/x.WAgame", "B/x.log=A/x.log"});
    row("move, log in other case", "move|A|B|x.WAgame", {"A/x.WAgame", "A/x.LOG", "B/"},
        {"B/x.LOG=A/x.LOG", "B/x.WAgame=A/x.WAgame"});
    row("move onto a game with a log", "move|A|B|x.WAgame", {"A/x.WAgame", "A/x.log", "B/x.WAgame", "B/X.log"},
        {"B/X.log=A/x.log", "B/x.WAgame=A/x.WAgame"});
    row("copy without a log onto a game with one", "copy|A|B|x.WAgame", {"A/x.WAgame", "B/x.WAgame", "B/x.log"},
        {"A/x.WAgame", "B/x.WAgame=A/x.WAgame"});
    // Folders and games named on another system, with characters Windows
    // refuses, are worked on like any other.
    row("move to a folder with a colon", "move||Cup: 2|g.WAgame", {"g.WAgame", "Cup: 2/"},
        {"Cup: 2/g.WAgame=g.WAgame"});
    const QStringList odd{"Cup: 2/Anna: best?.WAgame", "Cup: 2/Anna: best?.log", "Cup: 2/y.log"};
    row("delete with its log", "delete|Cup: 2|Anna: best?.WAgame", odd, {"Cup: 2/y.log"});
    row("view with its log", "view|Cup: 2|Anna: best?.WAgame", odd,
        odd + QStringList{"Temp/Anna: best?.WAgame=Cup: 2/Anna: best?.WAgame",
                          "Temp/Anna: best?.log=Cup: 2/Anna: best?.log"});
    row("remove folder", "remove|Cup: 2", odd, {}, "Folder successfully deleted! <(^.^)>");
}

void GamesCoreTest::fileAction()
{
    QFETCH(QString, action);
    QFETCH(QStringList, before);
    QFETCH(int, fault);
    QFETCH(QString, notice);
    QFETCH(QStringList, after);
    TestUserFolder f;
    for (const QString& entry : before) {
        const qsizetype arrow = entry.indexOf("->");
        if (arrow > 0)
            QVERIFY(QFile::link(f.path("Games/" + entry.mid(arrow + 2)), f.path("Games/" + entry.left(arrow))));
        else if (entry.endsWith('/'))
            f.makeDir("Games/" + entry);
        else
            f.writeFile("Games/" + entry, entry.toUtf8());
    }
    const QStringList unchanged = filesUnderGames(f);
    const QStringList a = action.split('|');
    const QString root = f.path("Games"), temp = f.path("Games/Temp");
    FaultyFileSystem faulty{FaultyFileSystem::Fault(fault)};
    GameFileActions::Outcome outcome;
    if (a[0] == "delete")
        outcome = GameFileActions::deleteGame(root, a[1], a[2]);
    else if (a[0] == "remove")
        outcome = GameFileActions::removeFolder(root, a[1]);
    else if (a[0] == "view")
        QCOMPARE(GameFileActions::copyForViewing(root, a[1], a[2], temp, &outcome.notice), temp + '/' + a[2]);
    else
        outcome = GameFileActions::transfer(root, {a[3], a[1], a[2], a[0] == "move"}, temp);
    QVERIFY2(notice.isEmpty() ? outcome.notice.isEmpty() : outcome.notice.text.startsWith(notice),
             qPrintable(outcome.notice.text));
    after.sort();
    QCOMPARE(filesUnderGames(f), after);
    // The windows are rebuilt exactly when the disk changed.
    if (a[0] != "view")
        QCOMPARE(outcome.changed, after != unchanged);
}

void GamesCoreTest::checkedTime_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("time"); // "" when refused
    for (const char* good : {"0:00", "2:05", "125:59", "1:02:03", "12:00:00"})
        QTest::newRow(good) << QString(good) << QString(good);
    for (const char* bad : {"2:5", "1:60", "1:02:60", "1:60:00", "123:00:00", "2", "2:05.5", "-1:00", "a:bc", "1::05"})
        QTest::newRow(bad) << QString(bad) << QString();
}

// A time to play a replay from is m:ss or h:mm:ss.
void GamesCoreTest::checkedTime()
{
    QFETCH(QString, typed);
    QFETCH(QString, time);
    QCOMPARE(ReplayStarter::checkedTime(typed), time);
}

void GamesCoreTest::settingsKeepDateFormat()
{
    // A format kept is read back on the next opening (viewCloseAndReopen).
    GamesSettings::setDateFormat(30); // no such format
    QCOMPARE(GamesSettings::dateFormat(), 0);
}

void GamesCoreTest::walkListsWhatTheGridShows_data()
{
    // Steps under the User folder: "f:file", "d:folder", "p:FIFO",
    // "l:target>link", "r:folder>raw name" (the name's bytes as Latin-1).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("seen"); // folder:games:unshown names
    QTest::newRow("link back to Games") << QStringList{"f:Games/g.WAgame", "l:Games>Games/Loop"}
                                        << QStringList{":g.WAgame:0", "Loop::0"};
    QTest::newRow("case ignored in suffix and order")
        << QStringList{"f:Games/b.wagame", "f:Games/A.WAGAME", "f:Games/c.WAgameX", "f:Games/.h.WAgame"}
        << QStringList{":A.WAGAME,b.wagame:0"};
    // "_" sorts between digits and letters once case is ignored; the Kelvin
    // sign folds to "k", and a letter written in two halves folds whole.
    QTest::newRow("case-ignoring order beyond plain letters")
        << QStringList{"f:Games/kb.WAgame",        "f:Games/\u212Aa.WAgame", "f:Games/a.WAgame",
                       "f:Games/A.WAgame",         "f:Games/_b.WAgame",      "f:Games/9.WAgame",
                       "f:Games/\u00C9.WAgame",    "f:Games/f.WAgame",       "f:Games/\U00010401.WAgame",
                       "f:Games/\U00010428.WAgame"}
        << QStringList{":9.WAgame,_b.WAgame,A.WAgame,a.WAgame,f.WAgame,\u212Aa.WAgame,kb.WAgame,\u00C9.WAgame,"
                       "\U00010428.WAgame,\U00010401.WAgame:0"};
    QTest::newRow("folders in case order, links to them too")
        << QStringList{"f:Games/b/x.WAgame", "d:Games/A", "d:Other", "l:Other>Games/c", "d:Games/.hidden"}
        << QStringList{"::0", "A::0", "b:x.WAgame:0", "c::0"};
    QTest::newRow("a folder named as a game is a folder")
        << QStringList{"d:Games/d.WAgame"} << QStringList{"::0", "d.WAgame::0"};
    QTest::newRow("links to games, not broken ones nor pipes")
        << QStringList{"f:g.WAgame", "l:g.WAgame>Games/l.WAgame", "l:none>Games/broken.WAgame", "p:Games/p.WAgame"}
        << QStringList{":l.WAgame:0"};
    QTest::newRow("unreadable names counted per folder")
        << QStringList{"d:Games/u", "r:Games>\u00e9.WAgame", "r:Games/u>\u00ff", "r:Games/u>.\u00ff"}
        << QStringList{"::1", "u::1"};
}

// The walk gives what a listing of each folder gives: games by their suffix
// in any case, folders and links to them, and a count of the names that
// cannot be shown; never a pipe (that would block a read), a dangling link or
// a hidden name.
void GamesCoreTest::walkListsWhatTheGridShows()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, seen);
    TestUserFolder f;
    f.makeDir("Games");
    for (const QString& step : steps) {
        const QString arg = step.mid(2);
        const QStringList two = arg.split('>');
        if (step.startsWith("f:"))
            f.writeFile(arg);
        else if (step.startsWith("d:"))
            f.makeDir(arg);
        else if (step.startsWith("p:"))
            QCOMPARE(QProcess::execute("mkfifo", {f.path(arg)}), 0);
        else if (step.startsWith("l:"))
            QVERIFY(QFile::link(f.path(two.at(0)), f.path(two.at(1))));
        else
            QVERIFY(f.writeRawName(two.at(0), two.at(1).toLatin1()));
    }
    QStringList walked;
    for (const GameFolderFiles& folder : GamesTree::walk(f.path("Games")))
        walked << QStringLiteral("%1:%2:%3").arg(folder.folder, folder.names.join(',')).arg(folder.unshown);
    QCOMPARE(walked, seen);
}

void GamesCoreTest::fold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("folded");
    QTest::newRow("stroke L") << "Łukasz" << QByteArray("lukasz");
    QTest::newRow("stroke O") << "Ørjan" << QByteArray("orjan");
    QTest::newRow("ligatures and sharp s") << "Ærøskøbing Straße" << QByteArray("aeroskobing strasse");
    QTest::newRow("combining mark") << QString::fromUtf8("Zoe\u0308") << QByteArray("zoe");
    QTest::newRow("compatibility form") << QString::fromUtf8("\uFB01nal") << QByteArray("final");
    QTest::newRow("blanks") << "a\tb\u00A0c" << QByteArray("a b c");
    QTest::newRow("no latin equivalent") << "Ωμέγα" << QString("ωμεγα").toUtf8();
}

void GamesCoreTest::fold()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, folded);
    QCOMPARE(GamesSearchModel::fold(text), folded);
}

void GamesCoreTest::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown"); // the dates of the games shown, in grid order
    const QStringList all{"2001-10-09", "2019-09-16", "2001-10-10", "2020-02-29"};
    QTest::newRow("nothing typed") << "" << all;
    QTest::newRow("blanks only") << "   " << all;
    QTest::newRow("stroke letters") << "lukasz orjan" << QStringList{"2019-09-16"};
    QTest::newRow("typed with accents") << "ŁUKASZ" << QStringList{"2019-09-16"};
    QTest::newRow("case") << "ANNA" << QStringList{"2001-10-09", "2001-10-10"};
    QTest::newRow("every word") << "anna ben" << QStringList{"2001-10-09"};
    QTest::newRow("default folder") << "default" << QStringList{"2001-10-09"};
    QTest::newRow("folder and mode") << "league online" << QStringList{"2019-09-16", "2001-10-10"};
    QTest::newRow("iso date") << "2001-10-09" << QStringList{"2001-10-09"};
    QTest::newRow("date as shown") << "october 9th" << QStringList{"2001-10-09"};
    QTest::newRow("time") << "20.15" << QStringList{"2001-10-09", "2001-10-10"};
    QTest::newRow("words of two columns joined") << "bentuesday" << QStringList{};
    QTest::newRow("one word missing") << "anna nobody" << QStringList{};
}

void GamesCoreTest::search()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    GamesTableModel games;
    GamesSearchModel search(&games);
    QAbstractItemModelTester tester(&search, QAbstractItemModelTester::FailureReportingMode::QtTest);
    games.setGames(sampleGames());
    search.setSearchText(typed);
    QCOMPARE(column(search, GamesTableModel::FileColumn, 10), shown);
    QCOMPARE(search.shownCount(), int(shown.size()));

    // The sort underneath reorders what is shown; the search stays.
    search.sort(GamesTableModel::DateColumn, Qt::DescendingOrder);
    QStringList sorted = shown;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    QCOMPARE(column(search, GamesTableModel::FileColumn, 10), sorted);
}

void GamesCoreTest::typingLetterByLetter()
{
    // Each letter narrows the games the shorter text kept; erasing widens
    // again. Both must show what a fresh search for the same text shows.
    GamesTableModel games;
    GamesSearchModel search(&games);
    games.setGames(manyGames(700));
    games.sort(GamesTableModel::PlayersColumn, Qt::AscendingOrder);
    const QString typed = QStringLiteral("luk orj 201 -04");
    for (int length = 1; length <= typed.size(); ++length) {
        search.setSearchText(typed.left(length));
        QList<int> rows;
        for (int row = 0; row < search.rowCount(); ++row)
            rows << search.sourceRow(row);
        QCOMPARE(rows, expectedRows(games, typed.left(length)));
    }
    QVERIFY(search.rowCount() > 0);
    search.setSearchText(QStringLiteral("bene"));
    QCOMPARE(search.rowCount(), int(expectedRows(games, "bene").size()));
}

void GamesCoreTest::readLog_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("facts");
    const QString head = "2019-09-16 16:58:33 GMT | 3.8.1 (3.8.1.0) | ";
    const QStringList events{"[00:00:01.00] ••• Red (José) starts turn", "[00:00:09.52] [José] gl hf",
                             "[00:00:20.00] ••• Damage dealt: 45 to Blue (Łukasz)"};
    const QStringList twoTeams{"Red:    \"José\" as \"Los Toros\" [Local Player] [Host]",
                               "Blue:   \"Łukasz\" as \"Żubry\""};
    const QStringList end{"End of round 1", "", "Round time: 0:04:12.34", "Total game time elapsed: 0:05:01.00"};
    const QStringList awards{"", "Worm of the round: \"Boggy B\" (Los Toros)",
                             "Most damage with one shot: 142 - \"Spadge\" (Żubry)"};
    const QString awardFacts = "Worm of the round=\"Boggy B\" (Los Toros) Most damage with one shot=142 - "
                               "\"Spadge\" (Żubry) | ";

    QTest::newRow("round won, UTF-8")
        << gameLog(logHead + twoTeams + events + end + QStringList{"Los Toros wins the round."} + awards, true)
        << head +
               "Red:José/Los Toros[local,host] Blue:Łukasz/Żubry[] |  | round 1 round won by Los Toros | "
               "0:04:12.34/0:05:01.00 | " +
               awardFacts + "2 events, 1 messages";
    QTest::newRow("drawn, CPU teams, spectator host")
        << gameLog(logHead +
                       QStringList{"Green: \"Brainless\" [CPU 3]", "Yellow : \"Clever\"  [CPU 5] (extra)",
                                   "Spectator: \"Bob\" [Host]"} +
                       end + QStringList{"The round was drawn."},
                   false)
        << head + "Green:/Brainless[cpu3] Yellow:/Clever[cpu5] | :Bob/[host] | round 1 drawn | "
                  "0:04:12.34/0:05:01.00 |  | 0 events, 0 messages";
    QTest::newRow("lenient spacing")
        << gameLog(QStringList{"  game   started at 2020-01-02 03:04:05 GMT", "Game  Engine Version :  3.7.2",
                               "cyan:\"A\"as\"B\"[Local Player] [Wormage: 1]", "End of round 2",
                               "\"B\" wins the round!"},
                   true)
        << "2020-01-02 03:04:05 GMT | 3.7.2 | Cyan:A/B[local] |  | round 2 round won by B | / |  | "
           "0 events, 0 messages";
    QTest::newRow("truncated")
        << gameLog(logHead + twoTeams + QStringList{"[00:00:01.00] ••• Red (José) sta"}, false).chopped(2)
        << head + "Red:José/Los Toros[local,host] Blue:?ukasz/?ubry[] |  | round 0 open | / |  | 1 events, 0 messages";
    QTest::newRow("garbage") << QByteArray("\x00\xff\xfe\x81 no log here: at all\n[x] ]]\"\"", 25) << "text only";
    QTest::newRow("empty") << QByteArray() << "text only";
    // Shapes that a pattern trying each split of a line takes minutes over.
    const QByteArray blanks(200000, ' ');
    QTest::newRow("a, blanks, x") << "a" + blanks + "x"
                                  << "text only";
    QTest::newRow("winner before blanks") << "Anna" + blanks + "wins the match!\n"
                                          << " |  |  |  | round 0 match won by Anna | / |  | 0 events, 0 messages";
    QTest::newRow("blanks before the words") << QByteArray("\t wins the round")
                                             << " |  |  |  | round 0 round won by  | / |  | "
                                                "0 events, 0 messages";
    QTest::newRow("4 MB of brackets") << QByteArray(4 << 20, '[') << "text only";
}

void GamesCoreTest::readLog()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, facts);
    const GameLog log = GameLogParser::parse(bytes);
    QCOMPARE(summary(log), facts);
    QCOMPARE(log.text.size() > 0, !bytes.isEmpty());
}

// Teams with their totals, then turns as "team start-firstWeapon-end
// damage/kills weapons", from the log's events.
void GamesCoreTest::logStory_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("story");
    const QStringList twoTeams{"Red:    \"José\" as \"Los Toros\" [Local Player] [Host]",
                               "Blue:   \"Łukasz\" as \"Grenade (x)\"", "Spectator: \"Zed\""};
    QTest::newRow("two teams, self-damage, totals")
        << twoTeams +
               QStringList{
                   "[00:00:01.00] ••• Los Toros (José) starts turn",
                   "[00:00:05.10] ••• Los Toros (José) fires Grenade (5 sec, min bounce)",
                   "[00:00:06.00] [José] gl hf",
                   "[00:00:07.00] ••• Los Toros (José) uses Bungee",
                   "[00:00:20.00] ••• Los Toros (José) ends turn; time used: 19.00 sec turn, 3.00 sec retreat",
                   "[00:00:23.00] ••• Damage dealt: 90 (1 kill) to Grenade (x) (Łukasz), 14 to Los Toros (José)",
                   "[00:00:24.00] ••• Grenade (x) (Łukasz) starts turn",
                   "[00:00:25.00] ••• Grenade (x) (Łukasz) fires Shotgun",
                   "[00:00:26.00] ••• Grenade (x) (Łukasz) fires Shotgun",
                   "[00:00:30.00] ••• Grenade (x) (Łukasz) loses turn due to loss of control; time used: 6 sec",
                   "[00:00:31.00] ••• Damage dealt: 45 (2 kills) to Los Toros (José)",
                   "[00:20:01.50] ••• Sudden Death",
                   "[00:20:02.00] ••• Grenade (x) (Łukasz) starts turn",
                   "[00:20:03.00] ••• Grenade (x) (Łukasz) uses Skip Go",
                   "",
                   "Team time totals:",
                   "Los Toros (José):     Turn: 00:08:27.44, Retreat: 00:01:11.02, Total: 00:09:38.46, Turn count: 25",
                   "Grenade (x) (Łukasz): Turn: 00:00:07.00, Retreat: 00:00:00.00, Total: 00:00:07.00, Turn "
                   "count: 2",
                   "End of round 1",
                   "Total game time elapsed: Unknown",
                   "Los Toros wins the round."}
        << "Los Toros 25 00:08:27.44/00:01:11.02/00:09:38.46 90/1 Bungee=1,Grenade=1; Grenade (x) 2 "
           "00:00:07.00/00:00:00.00/00:00:07.00 45/2 Shotgun=2,Skip Go=1 | Los Toros 100-510-2000 90/1 Grenade,Bungee; "
           "Grenade (x) 2400-2500-3000 45/2 Shotgun,Shotgun; Grenade (x) 120200-120300--1 0/0 Skip Go | sudden death "
           "00:20:01.50 | 600 José: gl hf | Unknown";
    QTest::newRow("three teams, CPU, draw")
        << QStringList{"Red: \"Ann\" as \"A\"",
                       "Blue: \"Bob\" as \"B\"",
                       "Green: \"Brainless\" [CPU 3]",
                       "[0:00:01.00] ••• Brainless starts turn",
                       "[0:00:02.00] ••• Brainless fires Bazooka",
                       "[0:00:09.00] ••• Damage dealt: 30 to A (Ann), 20 (1 kill) to B (Bob), 5 to Brainless",
                       "[0:00:10.00] ••• A (Ann) starts turn",
                       "[0:00:11.00] ••• A (Ann) ends turn",
                       "[0:00:12.00] ••• Damage dealt: 7 to Nobody (Known)",
                       "The round was drawn."}
        << "A 1 // 0/0 ; B 0 // 0/0 ; Brainless 1 // 50/1 Bazooka=1 | Brainless 100-200--1 50/1 Bazooka; A "
           "1000--1-1100 0/0  | sudden death  |  | ";
}

void GamesCoreTest::logStory()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, story);
    const GameLog log = GameLogParser::parse(gameLog(logHead + lines, false));
    QStringList teams, turns, chat;
    for (const GameLogTeam& t : log.teams) {
        QStringList weapons;
        for (auto it = t.weapons.cbegin(); it != t.weapons.cend(); ++it)
            weapons << it.key() + '=' + QString::number(it.value());
        teams << QStringLiteral("%1 %2 %3/%4/%5 %6/%7 %8")
                     .arg(t.team)
                     .arg(t.turns)
                     .arg(t.turnTime, t.retreatTime, t.totalTime)
                     .arg(t.damageDealt)
                     .arg(t.kills)
                     .arg(weapons.join(','));
    }
    for (const GameLogTurn& t : log.turns)
        turns << QStringLiteral("%1 %2-%3-%4 %5/%6 %7")
                     .arg(log.teams.value(t.team).team)
                     .arg(t.start)
                     .arg(t.firstWeapon)
                     .arg(t.end)
                     .arg(t.damageDealt)
                     .arg(t.kills)
                     .arg(t.weapons.join(','));
    for (const GameLogChat& c : log.chat)
        chat << QStringLiteral("%1 %2: %3").arg(c.time).arg(c.player, c.text);
    QCOMPARE(teams.join("; ") + " | " + turns.join("; ") + " | sudden death " + log.suddenDeathAt + " | " +
                 chat.join("; ") + " | " + log.totalTime,
             story);
}

void GamesCoreTest::zipExportStopped_data()
{
    QTest::addColumn<QByteArray>("before"); // the archive's file before; empty: none
    QTest::newRow("no archive before") << QByteArray();
    QTest::newRow("an archive before") << QByteArray("old archive");
}

// Stopped halfway, an export leaves the disk as it was: no partial archive.
void GamesCoreTest::zipExportStopped()
{
    QFETCH(QByteArray, before);
    TestUserFolder f;
    QList<GamesZipExport::Game> games;
    for (const QString name : {"a.WAgame", "b.WAgame", "c.WAgame", "d.WAgame"}) {
        f.writeFile("Games/" + name, QByteArray(256 * 1024, name.at(0).toLatin1()));
        games << GamesZipExport::Game{QString(), name};
    }
    if (!before.isEmpty())
        f.writeFile("shared.zip", before);
    QList<int> seen;
    const GamesZipExport::Result result =
        GamesZipExport::write(f.path("Games"), games, f.path("shared.zip"), [&](int done, int total) {
            seen << done;
            return total == 4 && done < 2;
        });
    QVERIFY(result.cancelled && !result.written);
    QVERIFY(!seen.isEmpty() && seen.last() >= 2);
    QCOMPARE(f.exists("shared.zip"), !before.isEmpty());
    if (!before.isEmpty())
        QCOMPARE(f.read("shared.zip"), before);
    // No temporary file is left beside it either.
    QCOMPARE(QDir(f.path("")).entryList({"*shared*"}, QDir::Files | QDir::Hidden),
             before.isEmpty() ? QStringList() : QStringList{"shared.zip"});
}

QTEST_GUILESS_MAIN(GamesCoreTest)
#include "tst_games_core.moc"
