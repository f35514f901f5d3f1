// SPDX-License-Identifier: GPL-3.0-or-later
// The map manager's two figures:
// - the preview of an 8000 x 3000 map (an indexed PNG with the game's level
//   chunk, as the game saves it), drawn at the preview box's size (777 x 265);
// - refilling the window (folder list and map list, RefreshMapView) for a
//   folder holding 10,000 maps and 20 sub-folders;
// - how long the window waits for the preview worker when it closes while
//   that map is being drawn (the worker gives the picture up).
//
// Usage: bench_maps [Google Benchmark options]. Runs headless.

#include "common/ui/WindowNames.h"
#include "maps/core/MapPreview.h"
#include "maps/ui/MapsWindow.h"
#include "shell/ui/Application.h"
#include "support/TestMaps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int mapCount = 10000;
constexpr int folderCount = 20;

QTemporaryDir* scratch = nullptr;

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void BM_PreviewLargeMap(benchmark::State& state)
{
    const QString file = writeFile(scratch->filePath(QStringLiteral("Large.png")),
                                   TestMaps::levelMapPng(TestMaps::sampleMap(QSize(8000, 3000))));
    for (auto _ : state) {
        const QImage picture = MapPreview::render(file, QSize(777, 265));
        if (picture.isNull())
            state.SkipWithError("the map did not load");
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_PreviewLargeMap)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_CloseWhileDrawingLargeMap(benchmark::State& state)
{
    const QString file = writeFile(scratch->filePath(QStringLiteral("Large.png")),
                                   TestMaps::levelMapPng(TestMaps::sampleMap(QSize(8000, 3000))));
    for (auto _ : state) {
        auto loader = std::make_unique<MapPreviewLoader>();
        loader->request(file, QSize(777, 265));
        QThread::msleep(20); // well into the drawing
        QElapsedTimer timer;
        timer.start();
        loader.reset();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_CloseWhileDrawingLargeMap)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_RefreshTenThousandMaps(benchmark::State& state)
{
    const QString user = scratch->filePath(QStringLiteral("Worms Armageddon/User"));
    const QString root = user + QStringLiteral("/SavedLevels");
    QDir().mkpath(root);
    const QByteArray map = TestMaps::levelMapPng(TestMaps::sampleMap(QSize(640, 240)));
    for (int i = 0; i < mapCount; ++i)
        writeFile(root + QStringLiteral("/Map %1.png").arg(i, 5, 10, QLatin1Char('0')), map);
    for (int i = 0; i < folderCount; ++i)
        QDir().mkpath(root + QStringLiteral("/Folder %1").arg(i));

    AppOptions options;
    options.userFolder = user;
    Application app(options);
    auto* window = qobject_cast<MapsWindow*>(app.window(WindowNames::Maps));
    auto* list = window->findChild<QListWidget*>(QStringLiteral("List1"));
    for (auto _ : state) {
        window->refreshMapView();
        if (list->count() != mapCount)
            state.SkipWithError("not every map was listed");
    }
    state.counters["maps"] = double(list->count());
    // Let the preview of the first map finish before the window goes.
    while (window->previewPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
BENCHMARK(BM_RefreshTenThousandMaps)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    scratch = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
