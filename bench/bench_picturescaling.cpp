// SPDX-License-Identifier: GPL-3.0-or-later
// Times the map preview's rendering (a map stretched to 777 x 265 with the
// bicubic filter) against ImageMagick's Catmull-Rom resize of the same
// picture, and measures how close the two results are (PSNR) and how much
// memory the rendering of a large map takes.
//
//   bench_picturescaling [--runs N] [--convert PATH] [--keep DIR]
//   bench_picturescaling --largest [DIR]
//
// Each size is run N times (default 7), ours and ImageMagick alternating, and
// the median and the fastest run are reported. ImageMagick is timed as a whole
// process (start, decoding, resizing, encoding), the way a program would call
// it; ours is one loadPictureResized() call (reading, decoding, resizing).
//
// --largest previews maps of the largest size the game takes (16384 x 16384,
// interlaced and not), each in a fresh process, and prints time and peak
// memory beside the floor: only decoding the same file's rows.

#include "imaging/IndexedPngReader.h"
#include "imaging/PictureScaling.h"
#include "support/TestMaps.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const QSize previewSize(777, 265);

struct Options {
    int runs = 7;
    QString convert;
    QString keep;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double psnr(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            const double d = double(p[i]) - double(q[i]);
            sum += d * d;
        }
    }
    const double mse = sum / (double(x.width()) * x.height() * 3);
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

QImage renderPreview(const QString& file)
{
    const PictureScaling::PictureResult result =
        PictureScaling::loadPictureResized(file, previewSize, Qt::white, false);
    if (!result.ok())
        std::fprintf(stderr, "%s\n", qPrintable(result.error().description));
    return result.picture();
}

double timeOurs(const QString& file, QImage* out)
{
    QElapsedTimer timer;
    timer.start();
    QImage picture = renderPreview(file);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (out)
        *out = picture;
    return picture.isNull() ? -1 : ms;
}

double timeImageMagick(const QString& convert, const QString& in, const QString& out)
{
    QProcess process;
    const QStringList arguments{in,
                                QStringLiteral("-filter"),
                                QStringLiteral("Catrom"),
                                QStringLiteral("-resize"),
                                QStringLiteral("%1x%2!").arg(previewSize.width()).arg(previewSize.height()),
                                out};
    QElapsedTimer timer;
    timer.start();
    process.start(convert, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "ImageMagick failed: %s\n", process.readAllStandardError().constData());
        return -1;
    }
    return timer.nsecsElapsed() / 1e6;
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 where there is none.
long statusKib(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// In a child process of its own: one rendering, then the resident size before
// it, the peak and the time in ms. (The peak is the process's high-water mark,
// which a fresh process starts anew; getrusage's figure would include the
// parent's.)
int peakMode(const QString& file)
{
    const long before = statusKib("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const QImage picture = renderPreview(file);
    const double ms = timer.nsecsElapsed() / 1e6;
    const long peak = statusKib("VmHWM");
    std::printf("%ld %ld %.1f\n", before, peak, ms);
    return picture.isNull() || peak < 0 ? 1 : 0;
}

// The floor of --largest, in a child process of its own: the map's rows only
// decoded, as stored, one at a time; printed as peakMode() does.
int decodeMode(const QString& file)
{
    const long before = statusKib("VmRSS");
    QElapsedTimer timer;
    timer.start();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    IndexedPngReader reader(in, IndexedPngReader::Rows::Stored);
    if (!reader.readHeader())
        return 1;
    std::vector<uchar> row(static_cast<size_t>(reader.size().width()));
    int width = 0;
    while (reader.readStoredRow(row.data(), &width)) {
    }
    const bool read = reader.finish();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%ld %ld %.1f\n", before, statusKib("VmHWM"), ms);
    return read ? 0 : 1;
}

struct Measured {
    long before = -1; // KiB resident before the work
    long peak = -1;   // KiB resident at the most
    double ms = -1;
};

// One rendering (`mode` "--peak") or decoding ("--decode") in a fresh process.
Measured measureChild(const QString& file, const QString& mode = QStringLiteral("--peak"))
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {mode, file});
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        return {};
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    if (fields.size() < 3)
        return {};
    return {fields[0].toLong(), fields[1].toLong(), fields[2].toDouble()};
}

// Peak resident memory of one rendering in a fresh process: {before, peak} in KiB.
std::pair<long, long> measurePeak(const QString& file)
{
    const Measured m = measureChild(file);
    return {m.before, m.peak};
}

// --largest: maps of 16384 x 16384, interlaced and not, previewed against
// only decoding them.
int largestMode(const QString& dir)
{
    const QSize size(16384, 16384);
    // Bands of four colours, 64 pixels wide, shifted from row to row: runs the
    // compressor shortens, while every pixel still has to be decoded.
    const auto fill = [size](int y, uchar* row) {
        for (int x = 0; x < size.width(); ++x)
            row[x] = uchar(((x + y / 8) >> 6) & 3);
    };
    const QList<QRgb> colours{qRgb(20, 40, 160), qRgb(90, 160, 60), qRgb(140, 100, 60), qRgba(255, 255, 255, 0)};
    std::printf("Maps of %dx%d previewed at %dx%d, each in a fresh process\n", size.width(), size.height(),
                previewSize.width(), previewSize.height());
    for (const bool interlaced : {false, true}) {
        const QString file =
            dir + (interlaced ? QStringLiteral("/largest-interlaced.png") : QStringLiteral("/largest.png"));
        if (!TestMaps::writeLargeMap(file, size, colours, interlaced, fill))
            return 1;
        const Measured preview = measureChild(file);
        const Measured floor = measureChild(file, QStringLiteral("--decode"));
        if (preview.peak < 0 || floor.peak < 0)
            return 1;
        std::printf("%-16s (%5.1f MB file)  preview %7.1f ms, peak %6.1f MiB   "
                    "decoding only %7.1f ms, peak %6.1f MiB\n",
                    interlaced ? "interlaced" : "not interlaced", QFileInfo(file).size() / 1e6, preview.ms,
                    preview.peak / 1024.0, floor.ms, floor.peak / 1024.0);
    }
    return 0;
}

// ImageMagick's own peak resident memory through /usr/bin/time, in KiB (-1 when unavailable).
long imageMagickPeak(const QString& convert, const QString& in, const QString& out)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/time")))
        return -1;
    QProcess process;
    process.start(QStringLiteral("/usr/bin/time"),
                  {QStringLiteral("-f"), QStringLiteral("%M"), convert, in, QStringLiteral("-filter"),
                   QStringLiteral("Catrom"), QStringLiteral("-resize"), QStringLiteral("777x265!"), out});
    if (!process.waitForFinished(120000))
        return -1;
    const QList<QByteArray> lines = process.readAllStandardError().trimmed().split('\n');
    return lines.isEmpty() ? -1 : lines.last().trimmed().toLong();
}

QString findConvert()
{
    // The real program, not a wrapper script that may stand in front of it on the PATH.
    QString found = QStandardPaths::findExecutable(QStringLiteral("convert"), {QStringLiteral("/usr/bin")});
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("convert"));
    return found;
}

bool runCase(const Options& options, const QString& dir, QSize size, bool reportMemory)
{
    const QString tag = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    const QImage map = TestMaps::sampleMap(size);
    const QString levelFile = TestMaps::writeBytes(dir + QStringLiteral("/map-") + tag + QStringLiteral(".png"),
                                                   TestMaps::levelMapPng(map, "w2lv"));
    const QString plainFile =
        TestMaps::writeBytes(dir + QStringLiteral("/plain-") + tag + QStringLiteral(".png"), TestMaps::pngBytes(map));
    const QString imOut = dir + QStringLiteral("/im-") + tag + QStringLiteral(".png");

    QImage ours;
    if (timeOurs(levelFile, &ours) < 0 || timeImageMagick(options.convert, plainFile, imOut) < 0)
        return false; // the first runs also warm the caches
    std::vector<double> oursMs;
    std::vector<double> imMs;
    for (int i = 0; i < options.runs; ++i) {
        oursMs.push_back(timeOurs(levelFile, nullptr));
        imMs.push_back(timeImageMagick(options.convert, plainFile, imOut));
    }
    if (*std::min_element(oursMs.begin(), oursMs.end()) < 0 || *std::min_element(imMs.begin(), imMs.end()) < 0)
        return false;
    ours.save(dir + QStringLiteral("/ours-") + tag + QStringLiteral(".png"));
    const double quality = psnr(ours, QImage(imOut));
    const double oursMedian = median(oursMs);
    const double imMedian = median(imMs);

    std::printf("%-10s  ours %8.1f ms (fastest %7.1f)   ImageMagick %8.1f ms (fastest %7.1f)   "
                "ImageMagick/ours %5.2f   PSNR %6.2f dB\n",
                qPrintable(tag), oursMedian, *std::min_element(oursMs.begin(), oursMs.end()), imMedian,
                *std::min_element(imMs.begin(), imMs.end()), imMedian / oursMedian, quality);
    if (reportMemory) {
        const auto [before, peak] = measurePeak(levelFile);
        const long imPeak = imageMagickPeak(options.convert, plainFile, imOut);
        if (peak > 0)
            std::printf("%-10s  peak resident memory: ours %.1f MiB (%.1f MiB before the call, %.1f MiB for it)",
                        qPrintable(tag), peak / 1024.0, before / 1024.0, (peak - before) / 1024.0);
        if (imPeak > 0)
            std::printf(", ImageMagick %.1f MiB", imPeak / 1024.0);
        std::printf("\n");
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--peak"))
        return peakMode(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--decode"))
        return decodeMode(args[2]);
    if (args.size() >= 2 && args[1] == QLatin1String("--largest")) {
        QTemporaryDir temp;
        const QString dir = args.size() >= 3 ? args[2] : temp.path();
        QDir().mkpath(dir);
        return largestMode(dir);
    }

    Options options;
    options.convert = findConvert();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            options.runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--convert"))
            options.convert = args[i + 1];
        else if (args[i] == QLatin1String("--keep"))
            options.keep = args[i + 1];
    }
    if (options.convert.isEmpty()) {
        std::fprintf(stderr, "ImageMagick's convert was not found\n");
        return 1;
    }

    QTemporaryDir temp;
    const QString dir = options.keep.isEmpty() ? temp.path() : options.keep;
    QDir().mkpath(dir);
    std::printf("Map stretched to %dx%d, %d runs each, median; ImageMagick: %s\n", previewSize.width(),
                previewSize.height(), options.runs, qPrintable(options.convert));
    const bool ok = runCase(options, dir, QSize(1920, 696), false) && runCase(options, dir, QSize(8000, 3000), true);
    return ok ? 0 : 1;
}
