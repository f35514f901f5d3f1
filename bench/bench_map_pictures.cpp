// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures view of the map manager over a folder of 1,000 maps of
// 1920 x 696 (indexed PNGs with the game's level chunk, as the game saves
// them), from switching the view on until every thumbnail is in the list:
// - with an empty thumbnail cache (every thumbnail made and written);
// - with a full cache (every thumbnail read back);
// each with the longest time the window's event loop did not answer
// ("stall_ms", sampled by a 1 ms timer). The floors, measured in the same run:
// inflating one map's pixel data, and reading the maps' bytes and the
// thumbnails' bytes raw, one thread.
//
// Usage: bench_map_pictures [Google Benchmark options]. Runs headless.

#include "common/ui/WindowNames.h"
#include "maps/core/MapThumbnails.h"
#include "maps/ui/MapsWindow.h"
#include "shell/ui/Application.h"
#include "support/TestMaps.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <ctime>
#include <libdeflate.h>
#include <vector>

namespace {

constexpr int mapCount = 1000;

QTemporaryDir* scratch = nullptr;

QString userFolder()
{
    return scratch->filePath(QStringLiteral("Worms Armageddon/User"));
}

// Each run with an empty cache gets a cache of its own: deleting the last
// run's thousand files first would leave the file system with a thousand
// just-freed inodes to step over, which no user's first visit meets.
int cacheRun = 0;

QString cacheHome()
{
    return scratch->filePath(QStringLiteral("cache-%1").arg(cacheRun));
}

QString cacheFolder()
{
    return cacheHome() + QStringLiteral("/thumbnails");
}

void newCache()
{
    ++cacheRun;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome()));
}

void makeMaps()
{
    const QString root = userFolder() + QStringLiteral("/SavedLevels");
    QDir().mkpath(root);
    const QByteArray map = TestMaps::levelMapPng(TestMaps::sampleMap(QSize(1920, 696)));
    for (int i = 0; i < mapCount; ++i) {
        QFile f(root + QStringLiteral("/Map %1.png").arg(i, 4, 10, QLatin1Char('0')));
        if (f.open(QIODevice::WriteOnly))
            f.write(map);
    }
}

qint64 readAllRaw(const QString& folder)
{
    qint64 total = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            total += f.readAll().size();
    }
    return total;
}

// Opens the map manager, switches the pictures view on, and runs the event
// loop until every thumbnail is in; the seconds that took, and the longest
// stall of the loop in milliseconds.
std::pair<double, double> fillPictures(benchmark::State& state)
{
    AppOptions options;
    options.userFolder = userFolder();
    Application app(options);
    auto* window = qobject_cast<MapsWindow*>(app.window(WindowNames::Maps));
    auto* toggle = window->findChild<QAbstractButton*>(QStringLiteral("cmdPictures"));
    if (!window || !toggle) {
        state.SkipWithError("no pictures view");
        return {0, 0};
    }
    window->show();
    while (window->previewPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (toggle->isChecked())
        toggle->click(); // start from the list of names

    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });

    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticker.start();
    toggle->click();
    // Sleeps until the next event, as the program's own loop does (with a
    // time limit, processEvents() would poll and take a core from the workers).
    while (window->thumbnailsPending() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // the last icons drawn
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    ticker.stop();
    toggle->click(); // back to names, for the next run
    while (window->previewPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return {seconds, double(longest) / 1e6};
}

void BM_PicturesEmptyCache(benchmark::State& state)
{
    double stall = 0;
    for (auto _ : state) {
        newCache();
        const auto [seconds, longest] = fillPictures(state);
        state.SetIterationTime(seconds);
        stall = std::max(stall, longest);
    }
    state.counters["stall_ms"] = stall;
    state.counters["thumbnails"] =
        double(QDir(cacheFolder() + QStringLiteral("/normal")).entryList(QDir::Files).size());
}
BENCHMARK(BM_PicturesEmptyCache)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_PicturesFullCache(benchmark::State& state)
{
    double stall = 0;
    for (auto _ : state) {
        const auto [seconds, longest] = fillPictures(state);
        state.SetIterationTime(seconds);
        stall = std::max(stall, longest);
    }
    state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_PicturesFullCache)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// One thumbnail made (decoded, scaled, encoded and written) on this thread.
void BM_MakeOneThumbnail(benchmark::State& state)
{
    const QString map = userFolder() + QStringLiteral("/SavedLevels/Map 0000.png");
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        QFile::remove(MapThumbnails::cachePath(map, MapThumbnails::Size::Normal));
        bool made = false;
        benchmark::DoNotOptimize(MapThumbnails::thumbnail(map, MapThumbnails::Size::Normal, &made));
        if (!made)
            state.SkipWithError("no thumbnail made");
    }
    // Every thread's processor time, the scaler's helper thread included.
    state.counters["process_cpu_ms"] =
        benchmark::Counter(double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC / double(state.iterations()));
}
BENCHMARK(BM_MakeOneThumbnail)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The floor of making one: inflating the map's pixel data in one piece,
// nothing else (no filters undone, no colours looked up).
void BM_FloorInflateOneMap(benchmark::State& state)
{
    QFile f(userFolder() + QStringLiteral("/SavedLevels/Map 0000.png"));
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    QByteArray stream;
    for (qsizetype at = 8; bytes.size() - at >= 12;) {
        const qsizetype length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (bytes.mid(at + 4, 4) == "IDAT")
            stream += bytes.mid(at + 8, length);
        at += 12 + length;
    }
    std::vector<uchar> rows(size_t(1921) * 696);
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        if (libdeflate_zlib_decompress(inflater, stream.constData(), size_t(stream.size()), rows.data(), rows.size(),
                                       nullptr) != LIBDEFLATE_SUCCESS)
            state.SkipWithError("the map did not inflate");
        benchmark::DoNotOptimize(rows.data());
    }
    libdeflate_free_decompressor(inflater);
}
BENCHMARK(BM_FloorInflateOneMap)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_FloorReadMapsRaw(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readAllRaw(userFolder() + QStringLiteral("/SavedLevels")));
}
BENCHMARK(BM_FloorReadMapsRaw)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_FloorReadThumbnailsRaw(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readAllRaw(cacheFolder() + QStringLiteral("/normal")));
}
BENCHMARK(BM_FloorReadThumbnailsRaw)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    scratch = &dir;
    newCache();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    QApplication application(argc, argv);
    makeMaps();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
