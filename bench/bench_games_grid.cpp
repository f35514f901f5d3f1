// SPDX-License-Identifier: GPL-3.0-or-later
// The games grid with 100,000 recorded games in 50 folders: listing the
// folders, parsing the names, formatting the dates and filling the model;
// sorting by each column; the model's memory. `find GAMES -iname '*.wagame' |
// sort` on the same tree is the floor that the listing is compared with.
//
// Usage: bench_games_grid [Google Benchmark options]
// A summary with medians, the memory and the ratio to the floor follows the
// benchmark table.

#include "GamesBenchTree.h"
#include "games/core/GamesTableModel.h"
#include "games/core/GamesTree.h"

#include <QElapsedTimer>
#include <QLocale>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int gameCount = 100000;
constexpr int folderCount = 50;

GamesBenchTree* tree = nullptr;
QList<GameFolderFiles>* walked = nullptr;

QString findCommand()
{
    return QStringLiteral("find '%1' -iname '*.wagame' | sort > /dev/null").arg(tree->gamesRoot());
}

void runFind()
{
    if (std::system(findCommand().toLocal8Bit().constData()) != 0)
        std::fprintf(stderr, "find failed\n");
}

void BM_Walk(benchmark::State& state)
{
    for (auto _ : state) {
        QList<GameFolderFiles> w = GamesTree::walk(tree->gamesRoot());
        benchmark::DoNotOptimize(w);
    }
    state.counters["games"] = double(gameCount);
}

// Parsing, date formatting and filling, from names already listed.
void BM_Fill(benchmark::State& state)
{
    for (auto _ : state) {
        auto model = std::make_unique<GamesTableModel>();
        model->setGames(*walked);
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

// What the games window does at its first fill: list every folder, then fill.
void BM_WalkAndFill(benchmark::State& state)
{
    for (auto _ : state) {
        auto model = std::make_unique<GamesTableModel>();
        model->setGames(GamesTree::walk(tree->gamesRoot()));
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

// Sorting one column of a grid whose rows are in another column's order.
void BM_Sort(benchmark::State& state)
{
    const int column = int(state.range(0));
    GamesTableModel model;
    model.setGames(*walked);
    const int scramble =
        column == GamesTableModel::PlayersColumn ? GamesTableModel::TimeColumn : GamesTableModel::PlayersColumn;
    bool descending = false;
    for (auto _ : state) {
        state.PauseTiming();
        model.sort(scramble, Qt::AscendingOrder);
        state.ResumeTiming();
        model.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        descending = !descending;
    }
    state.SetLabel(GamesTableModel::header(column).isEmpty() ? "File name"
                                                             : GamesTableModel::header(column).toStdString());
}

void BM_FindFloor(benchmark::State& state)
{
    for (auto _ : state)
        runFind();
}

BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_WalkAndFill)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Sort)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FindFloor)->Unit(benchmark::kMillisecond)->MinTime(1.0);

double heapBytes()
{
#if defined(__GLIBC__)
    return double(mallinfo2().uordblks);
#else
    return 0;
#endif
}

template <class F> double medianMs(int runs, F f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void summary()
{
    const int runs = 9;
    const double find = medianMs(runs, runFind);
    const double walk = medianMs(runs, [] { benchmark::DoNotOptimize(GamesTree::walk(tree->gamesRoot())); });
    const double fill = medianMs(runs, [] {
        GamesTableModel model;
        model.setGames(*walked);
    });
    const double walkAndFill = medianMs(runs, [] {
        GamesTableModel model;
        model.setGames(GamesTree::walk(tree->gamesRoot()));
    });

    // The model's own memory: names, places of their parts, dates, modes,
    // folders; measured with the listing already freed.
    const double before = heapBytes();
    auto model = std::make_unique<GamesTableModel>();
    model->setGames(GamesTree::walk(tree->gamesRoot()));
    const double modelBytes = heapBytes() - before;

    std::printf("\nSummary, %d games in %d folders (median of %d runs)\n", model->rowCount(), folderCount, runs);
    std::printf("  find | sort (floor)            %8.1f ms\n", find);
    std::printf("  listing the folders            %8.1f ms  (%.2f x the floor)\n", walk, walk / find);
    std::printf("  parse + format + fill          %8.1f ms  (target < 300 ms)\n", fill);
    std::printf("  listing + parse + format + fill%8.1f ms  (%.2f x the floor)\n", walkAndFill, walkAndFill / find);
    for (int column = 0; column < GamesTableModel::ColumnCount; ++column) {
        const int scramble =
            column == GamesTableModel::PlayersColumn ? GamesTableModel::TimeColumn : GamesTableModel::PlayersColumn;
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            model->sort(scramble, Qt::AscendingOrder);
            QElapsedTimer t;
            t.start();
            model->sort(column, i % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        const QString name = column == 0 ? QStringLiteral("File name") : GamesTableModel::header(column);
        std::printf("  sort %-26s%8.1f ms  (target < 150 ms)\n", qPrintable(name), ms[ms.size() / 2]);
    }
    if (modelBytes > 0)
        std::printf("  model memory                   %8.1f MB  (target < 80 MB)\n", modelBytes / (1024.0 * 1024.0));
}

} // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::fprintf(stderr, "Making %d games in %d folders...\n", gameCount, folderCount);
    GamesBenchTree games(gameCount, folderCount);
    if (!games.isValid())
        return 1;
    tree = &games;
    QList<GameFolderFiles> listing = GamesTree::walk(games.gamesRoot());
    walked = &listing;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    return 0;
}
