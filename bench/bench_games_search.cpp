// SPDX-License-Identifier: GPL-3.0-or-later
// The search box of the games grid over 100,000 games: the time from a
// keystroke to the narrowed model, letter by letter through a word, beside
// `grep -i -F` of the same text over a file of the same 100,000 names in the
// same run; and the memory that the search adds to the grid.
//
// Usage: bench_games_search [Google Benchmark options]
// A summary with medians, the ratio to the floor and the memory follows the
// benchmark table.

#include "GamesBenchTree.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesTableModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int gameCount = 100000;
constexpr int folderCount = 50;
// Typed letter by letter: a player's name, then two words.
const QString word = QStringLiteral("banana");
const QString words = QStringLiteral("zoe online 2019");

QList<GameFolderFiles> games;
QString namesFile;

QList<GameFolderFiles> makeGames()
{
    const QStringList names = GamesBenchTree::names(gameCount, 2024);
    QList<GameFolderFiles> folders(folderCount);
    for (int f = 1; f < folderCount; ++f)
        folders[f].folder = QStringLiteral("Folder %1").arg(f, 2, 10, QLatin1Char('0'));
    for (int i = 0; i < names.size(); ++i)
        folders[i % folderCount].names << names.at(i);
    for (GameFolderFiles& f : folders)
        std::sort(f.names.begin(), f.names.end());
    return folders;
}

void runGrep(const QString& text)
{
    const QString command = QStringLiteral("grep -i -F -c -- '%1' '%2' > /dev/null").arg(text, namesFile);
    if (std::system(command.toLocal8Bit().constData()) < 0)
        std::fprintf(stderr, "grep failed\n");
}

// Types `text` letter by letter into the search and back to empty; the time
// of each keystroke that adds a letter goes into `ms`.
void typeInto(GamesSearchModel& search, const QString& text, std::vector<double>* ms)
{
    for (int length = 1; length <= text.size(); ++length) {
        QElapsedTimer t;
        t.start();
        search.setSearchText(text.left(length));
        benchmark::DoNotOptimize(search.rowCount());
        if (ms)
            ms->push_back(double(t.nsecsElapsed()) / 1e6);
    }
    search.setSearchText(QString());
}

void BM_TypeWord(benchmark::State& state)
{
    GamesTableModel model;
    model.setGames(games);
    GamesSearchModel search(&model);
    typeInto(search, word, nullptr); // folds the texts once
    for (auto _ : state)
        typeInto(search, word, nullptr);
    state.counters["keystrokes"] = double(word.size());
}

void BM_GrepFloor(benchmark::State& state)
{
    for (auto _ : state) {
        for (int length = 1; length <= word.size(); ++length)
            runGrep(word.left(length));
    }
    state.counters["keystrokes"] = double(word.size());
}

BENCHMARK(BM_TypeWord)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GrepFloor)->Unit(benchmark::kMillisecond)->MinTime(1.0);

double heapBytes()
{
#if defined(__GLIBC__)
    return double(mallinfo2().uordblks);
#else
    return 0;
#endif
}

double median(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0 : ms[ms.size() / 2];
}

void summary()
{
    const int runs = 9;
    GamesTableModel model;
    model.setGames(games);
    model.sort(GamesTableModel::PlayersColumn, Qt::AscendingOrder);

    const double before = heapBytes();
    GamesSearchModel search(&model);
    // The texts are folded in slices between events once the games are there:
    // the whole time, and the longest the event loop waits for one slice.
    QElapsedTimer foldTimer;
    foldTimer.start();
    double longestSlice = 0;
    while (!search.keysReady()) {
        QElapsedTimer slice;
        slice.start();
        QCoreApplication::processEvents();
        longestSlice = std::max(longestSlice, double(slice.nsecsElapsed()) / 1e6);
    }
    const double folding = double(foldTimer.nsecsElapsed()) / 1e6;
    QElapsedTimer firstTimer;
    firstTimer.start();
    search.setSearchText(word.left(1));
    const double first = double(firstTimer.nsecsElapsed()) / 1e6;
    const double searchBytes = heapBytes() - before;
    search.setSearchText(QString());

    std::vector<double> typed, typedWords, grep;
    for (int i = 0; i < runs; ++i) {
        typeInto(search, word, &typed);
        typeInto(search, words, &typedWords);
        for (int length = 1; length <= word.size(); ++length) {
            QElapsedTimer t;
            t.start();
            runGrep(word.left(length));
            grep.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    search.setSearchText(word);
    const int found = search.rowCount();

    const double ours = median(typed);
    const double floor = median(grep);
    std::printf("\nSummary, %d games in %d folders, typing \"%s\" letter by letter (median of %zu keystrokes)\n",
                model.rowCount(), folderCount, qPrintable(word), typed.size());
    std::printf("  grep -i -F over the names (floor) %8.2f ms\n", floor);
    std::printf("  keystroke to narrowed model       %8.2f ms  (%.2f x the floor; target <= 16 ms, aim <= 2 x)\n", ours,
                ours / floor);
    std::printf("  \"%s\" letter by letter          %8.2f ms\n", qPrintable(words), median(typedWords));
    std::printf("  folding the texts after the fill  %8.2f ms  (longest event-loop stall %.2f ms; target <= 50 ms)\n",
                folding, longestSlice);
    std::printf("  first keystroke                   %8.2f ms  (target <= 16 ms)\n", first);
    std::printf("  games found for \"%s\"          %8d\n", qPrintable(word), found);
    if (searchBytes > 0)
        std::printf("  memory added by the search        %8.2f MB  (target <= 10 MB)\n",
                    searchBytes / (1024.0 * 1024.0));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    games = makeGames();
    namesFile = dir.filePath(QStringLiteral("names.txt"));
    QFile file(namesFile);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    for (const GameFolderFiles& f : std::as_const(games)) {
        for (const QString& name : f.names)
            file.write(name.toUtf8() + '\n');
    }
    file.close();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    return 0;
}
