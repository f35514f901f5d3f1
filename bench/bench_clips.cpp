// SPDX-License-Identifier: GPL-3.0-or-later
// A clip of a fake game that writes 640 x 480 frames at about the game's
// pace: how long after the last frame each clip is done, the pace of the
// game and of the encoding, and the peak resident memory; a long clip made as
// fast as the frames can be written shows that memory does not grow with the
// length. Beside them, `ffmpeg -i video_%06d.png` on the same frames, once
// they all exist, as the floor.
//
//   bench_clips [frames=250] [long frames=1500]
#include "clips/core/ClipMaker.h"
#include "common/core/WindowsPath.h"
#include "support/FakeLauncher.h"
#include "support/TestFolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const QString kReplay = QStringLiteral("Games/2024-01-02 10.00.00 [Offline] A, B.WAgame");
const QString kCapture = QStringLiteral("Capture/2024-01-02 10.00.00 [Offline] A, B");

// The peak resident memory of this process so far, in MB.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

struct Measured {
    double seconds = 0;
    double peakMb = 0;
    double cpuSeconds = 0;
    bool ok = false;
};

// Runs a program to its end in `folder`, with its own time and peak memory.
Measured runMeasured(const QStringList& command, const QString& folder)
{
    std::vector<QByteArray> bytes;
    for (const QString& part : command)
        bytes.push_back(part.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& part : bytes)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    const QByteArray where = QFile::encodeName(folder);
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(where.constData()) == 0)
            execvp(argv[0], argv.data());
        _exit(127);
    }
    Measured result;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        result.seconds = clock.elapsed() / 1000.0;
        result.peakMb = usage.ru_maxrss / 1024.0;
        result.cpuSeconds =
            usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return result;
}

struct ClipRun {
    bool ok = false;
    QString error;
    double gameSeconds = 0; // first start to last frame written
    double lagSeconds = 0;  // last frame written to clip done
    double cpuSeconds = 0;  // of this process, the encoding's threads
    qint64 bytes = 0;
};

ClipRun makeClip(const QString& extension, int frames, int delayMs)
{
    TestUserFolder folder;
    folder.writeGameFile(QStringLiteral("WA.exe"));
    QTemporaryDir out;
    const QString lastFrameFile = out.filePath(QStringLiteral("last-frame"));
    qputenv("QUILLANE_FAKE_GAME_USER", folder.user().toLocal8Bit());
    qputenv("QUILLANE_FAKE_GAME_DELAY", QByteArray::number(delayMs));
    qputenv("QUILLANE_FAKE_GAME_LAST", lastFrameFile.toLocal8Bit());
    FakeLauncher launcher;
    launcher.programs = {{QStringLiteral("wine"), QStringLiteral(QUILLANE_FAKE_GAME)}};
    ClipMaker maker(launcher);
    maker.pathLookup().setWinepathLocator([] { return QString(); });
    ClipRequest request;
    request.replayPath = folder.writeFile(kReplay);
    request.from = 0;
    request.to = frames * 4; // at 25 frames per second
    request.fps = 25;
    request.outPath = out.filePath(QStringLiteral("clip.") + extension);

    ClipRun run;
    QEventLoop loop;
    qint64 doneAt = 0;
    QObject::connect(&maker, &ClipMaker::finished, &loop, [&] {
        doneAt = QDateTime::currentMSecsSinceEpoch();
        run.ok = true;
        loop.quit();
    });
    QObject::connect(&maker, &ClipMaker::failed, &loop, [&](const QString& message) {
        run.error = message;
        loop.quit();
    });
    const qint64 startedAt = QDateTime::currentMSecsSinceEpoch();
    const double cpuBefore = cpuSeconds();
    maker.start(GameInstall::make(GameInstall::Kind::Folder, folder.user()), request);
    loop.exec();
    run.cpuSeconds = cpuSeconds() - cpuBefore;
    QFile last(lastFrameFile);
    if (run.ok && last.open(QIODevice::ReadOnly)) {
        const qint64 lastFrameAt = last.readAll().toLongLong();
        run.gameSeconds = (lastFrameAt - startedAt) / 1000.0;
        run.lagSeconds = (doneAt - lastFrameAt) / 1000.0;
    }
    run.bytes = QFileInfo(request.outPath).size();
    return run;
}

void report(const char* what, int frames, const ClipRun& run)
{
    if (!run.ok) {
        std::printf("%-34s FAILED: %s\n", what, qPrintable(run.error));
        return;
    }
    std::printf("%-34s game %5.2f s (%5.1f frames/s), done %5.2f s after the last frame, encoding %5.2f s of CPU, "
                "%7.0f kB, peak so far %6.1f MB\n",
                what, run.gameSeconds, frames / run.gameSeconds, run.lagSeconds, run.cpuSeconds, run.bytes / 1024.0,
                peakMb());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int frames = app.arguments().value(1, QStringLiteral("250")).toInt();
    const int longFrames = app.arguments().value(2, QStringLiteral("1500")).toInt();
    double load[1] = {0};
    getloadavg(load, 1);
    std::printf("%d frames of 640 x 480 at 25 frames per second; load average %.1f; peak memory at start %.1f MB\n",
                frames, load[0], peakMb());

    // The floor: the same fake game's frames, then the ffmpeg program on them.
    {
        TestUserFolder folder;
        const QString replay = folder.writeFile(kReplay);
        const QString end = QStringLiteral("00:00:%1.%2")
                                .arg(frames * 4 / 100, 2, 10, QLatin1Char('0'))
                                .arg(frames * 4 % 100, 2, 10, QLatin1Char('0'));
        qputenv("QUILLANE_FAKE_GAME_USER", folder.user().toLocal8Bit());
        qputenv("QUILLANE_FAKE_GAME_DELAY", "0");
        qunsetenv("QUILLANE_FAKE_GAME_LAST");
        const Measured game = runMeasured({QStringLiteral(QUILLANE_FAKE_GAME), QStringLiteral("/getvideo"), replay,
                                           QStringLiteral("25"), QStringLiteral("00:00:00.00"), end,
                                           QStringLiteral("640"), QStringLiteral("480"), QStringLiteral("/quiet")},
                                          folder.user());
        std::printf("%-34s %5.2f s for all frames as fast as it can\n", "fake game", game.seconds);
        const QString capture = folder.path(kCapture);
        for (const char* codec : {"libx264", "libvpx-vp9", "gif"}) {
            QStringList command = {
                QStringLiteral("ffmpeg"),    QStringLiteral("-nostdin"), QStringLiteral("-y"),
                QStringLiteral("-loglevel"), QStringLiteral("error"),    QStringLiteral("-framerate"),
                QStringLiteral("25"),        QStringLiteral("-i"),       QStringLiteral("video_%06d.png"),
                QStringLiteral("-c:v"),      QLatin1String(codec)};
            QString out = QStringLiteral("floor.gif");
            if (QLatin1String(codec) == QLatin1String("libx264")) {
                command << QStringLiteral("-preset") << QStringLiteral("veryfast") << QStringLiteral("-pix_fmt")
                        << QStringLiteral("yuv420p") << QStringLiteral("-movflags") << QStringLiteral("+faststart");
                out = QStringLiteral("floor.mp4");
            } else if (QLatin1String(codec) == QLatin1String("libvpx-vp9")) {
                command << QStringLiteral("-deadline") << QStringLiteral("realtime") << QStringLiteral("-cpu-used")
                        << QStringLiteral("8") << QStringLiteral("-row-mt") << QStringLiteral("1");
                out = QStringLiteral("floor.webm");
            }
            const Measured floor = runMeasured(command << out, capture);
            std::printf("%-34s %5.2f s after the last frame, %5.2f s of CPU, %7.0f kB, peak %6.1f MB%s\n",
                        qPrintable(QStringLiteral("ffmpeg -i video_%06d.png -> ") + out.section('.', 1)), floor.seconds,
                        floor.cpuSeconds, QFileInfo(capture + QLatin1Char('/') + out).size() / 1024.0, floor.peakMb,
                        floor.ok ? "" : " (FAILED)");
        }
    }

    // The clips, with the game writing a frame about every 40 ms.
    report("clip mp4 at the game's pace", frames, makeClip(QStringLiteral("mp4"), frames, 25));
    report("clip webm at the game's pace", frames, makeClip(QStringLiteral("webm"), frames, 25));
    report("clip gif at the game's pace", frames, makeClip(QStringLiteral("gif"), frames, 25));
    const double before = peakMb();
    report(qPrintable(QStringLiteral("clip mp4 of %1 frames, no pause").arg(longFrames)), longFrames,
           makeClip(QStringLiteral("mp4"), longFrames, 0));
    std::printf("peak memory: %.1f MB before the long clip, %.1f MB after it (floor: under 150 MB)\n", before,
                peakMb());
    return 0;
}
