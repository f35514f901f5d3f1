#include "games/core/GameLog.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesTableModel.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTest>

namespace {

// A few games whose texts differ in the ways a search must see through.
QList<GameFolderFiles> sampleGames()
{
    return {{QString(), {"2001-10-09 20.15.33 [Offline] Anna, Ben.WAgame"}},
            {"League",
             {"2019-09-16 16.58.33 [Online] Łukasz, Ørjan.WAgame",
              "2001-10-10 20.15.33 [Online Round 2] anna vs Straße.WAgame"}},
            {"Cup Ränking", {"2020-02-29 09.00.00 [Training] Zoë.WAgame"}}};
}

QStringList shownFiles(const GamesSearchModel& search)
{
    QStringList files;
    for (int row = 0; row < search.rowCount(); ++row)
        files << search.index(row, GamesTableModel::FileColumn).data().toString().left(10);
    return files;
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
    return QStringList{log.startedAt,
                       log.engineVersion,
                       teams.join(' '),
                       spectators.join(' '),
                       QStringLiteral("round %1 ").arg(log.round) + outcomes[int(log.outcome)] + log.winner,
                       log.roundTime + '/' + log.totalTime,
                       awards.join(' '),
                       QStringLiteral("%1 events, %2 messages").arg(log.events).arg(log.messages)}
        .join(QStringLiteral(" | "));
}

const QStringList logHead{"Game Started at 2019-09-16 16:58:33 GMT",
                          "Game ID: \"5823\"",
                          "Game Engine Version: 3.8.1 (3.8.1.0)",
                          "File Format Version: 3.8.1 - 3.8.1",
                          "Exported with Version: 3.8.1",
                          ""};

} // namespace

class GamesReplaysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void fold_data();
    void fold();
    void search_data();
    void search();
    void typingLetterByLetter();
    void selectionFollowsItsGame();
    void readLog_data();
    void readLog();
};

void GamesReplaysTest::fold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("folded");
    QTest::newRow("case") << "AnNa" << QByteArray("anna");
    QTest::newRow("stroke L") << "Łukasz" << QByteArray("lukasz");
    QTest::newRow("stroke O") << "Ørjan" << QByteArray("orjan");
    QTest::newRow("ligatures and sharp s") << "Ærøskøbing Straße" << QByteArray("aeroskobing strasse");
    QTest::newRow("combining mark") << QString::fromUtf8("Zoe\u0308") << QByteArray("zoe");
    QTest::newRow("compatibility form") << QString::fromUtf8("\uFB01nal") << QByteArray("final");
    QTest::newRow("blanks") << "a\tb\u00A0c" << QByteArray("a b c");
    QTest::newRow("no latin equivalent") << "Ωμέγα" << QString("ωμεγα").toUtf8();
}

void GamesReplaysTest::fold()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, folded);
    QCOMPARE(GamesSearchModel::fold(text), folded);
}

void GamesReplaysTest::search_data()
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
    QTest::newRow("word order free") << "ben anna" << QStringList{"2001-10-09"};
    QTest::newRow("sharp s") << "strasse" << QStringList{"2001-10-10"};
    QTest::newRow("accent in a folder") << "ranking" << QStringList{"2020-02-29"};
    QTest::newRow("default folder") << "default" << QStringList{"2001-10-09"};
    QTest::newRow("folder and mode") << "league online" << QStringList{"2019-09-16", "2001-10-10"};
    QTest::newRow("round mode") << "round" << QStringList{"2001-10-10"};
    QTest::newRow("iso date") << "2001-10-09" << QStringList{"2001-10-09"};
    QTest::newRow("iso month") << "2001-10" << QStringList{"2001-10-09", "2001-10-10"};
    QTest::newRow("date as shown") << "october 9th" << QStringList{"2001-10-09"};
    QTest::newRow("weekday as shown") << "wednesday" << QStringList{"2001-10-10"};
    QTest::newRow("time") << "20.15" << QStringList{"2001-10-09", "2001-10-10"};
    QTest::newRow("words of two columns joined") << "bentuesday" << QStringList{};
    QTest::newRow("one word missing") << "anna nobody" << QStringList{};
}

void GamesReplaysTest::search()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    GamesTableModel games;
    GamesSearchModel search(&games);
    QAbstractItemModelTester tester(&search, QAbstractItemModelTester::FailureReportingMode::QtTest);
    games.setGames(sampleGames());
    search.setSearchText(typed);
    QCOMPARE(shownFiles(search), shown);
    QCOMPARE(search.shownCount(), int(shown.size()));
    QCOMPARE(search.totalCount(), 4);

    // The sort underneath reorders what is shown; the search stays.
    search.sort(GamesTableModel::DateColumn, Qt::DescendingOrder);
    QStringList sorted = shown;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    QCOMPARE(shownFiles(search), sorted);

    // Clearing the box brings every game back.
    search.setSearchText(QString());
    QCOMPARE(search.rowCount(), 4);
}

void GamesReplaysTest::typingLetterByLetter()
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

void GamesReplaysTest::selectionFollowsItsGame()
{
    GamesTableModel games;
    GamesSearchModel search(&games);
    games.setGames(sampleGames());
    QItemSelectionModel selection(&search);
    const auto select = [&](int row) {
        selection.setCurrentIndex(search.index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    const auto selectedDate = [&] {
        const QModelIndexList rows = selection.selectedRows(GamesTableModel::FileColumn);
        return rows.size() == 1 && selection.currentIndex().row() == rows.first().row()
                   ? rows.first().data().toString().left(10)
                   : QStringLiteral("<none>");
    };

    select(2); // 2001-10-10, anna vs Straße
    search.setSearchText(QStringLiteral("anna"));
    QCOMPARE(selectedDate(), QStringLiteral("2001-10-10"));
    search.sort(GamesTableModel::PlayersColumn, Qt::DescendingOrder);
    QCOMPARE(selectedDate(), QStringLiteral("2001-10-10"));
    search.setSearchText(QStringLiteral("ben"));
    QCOMPARE(selectedDate(), QStringLiteral("<none>"));
    QVERIFY(!selection.currentIndex().isValid());
    // Widening again does not bring a selection back by itself.
    search.setSearchText(QString());
    QCOMPARE(selectedDate(), QStringLiteral("<none>"));
}

void GamesReplaysTest::readLog_data()
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
    QTest::newRow("match won, Windows-1252")
        << gameLog(logHead + QStringList{"Red: \"José\" as \"Los Toros\" [Local Player]"} + events + end +
                       QStringList{"Los Toros wins the round.", "Los Toros wins the match!"},
                   false)
        << head + "Red:José/Los Toros[local] |  | round 1 match won by Los Toros | 0:04:12.34/0:05:01.00 |  | "
                  "2 events, 1 messages";
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
}

void GamesReplaysTest::readLog()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, facts);
    const GameLog log = GameLogParser::parse(bytes);
    QCOMPARE(summary(log), facts);
    QCOMPARE(log.text.size() > 0, !bytes.isEmpty());
}

QTEST_GUILESS_MAIN(GamesReplaysTest)
#include "tst_games_replays.moc"
