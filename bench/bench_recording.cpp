// SPDX-License-Identifier: GPL-3.0-or-later
// A long recording at the largest format, on the synthetic sound card whose
// clock moves 200 ms per status poll, as the recorder window's tick polls:
// the time it takes, the peak resident memory, and the WAV file it saves.
//
//   bench_recording [minutes=20] [folder=system temporary folder]
#include "sounds/core/WaveDevice.h"
#include "support/SyntheticBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <cstdio>

namespace {

// A line of /proc/self/status, in kB: "VmHWM" is the peak resident memory.
qint64 statusKb(const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int code(CommandDevice& device, const QString& command)
{
    QByteArray reply = CommandDevice::blankBuffer();
    return device.send(command, &reply);
}

QString ask(CommandDevice& device, const QString& command)
{
    QByteArray reply = CommandDevice::blankBuffer();
    const int code = device.send(command, &reply);
    return code == CommandDevice::Ok ? CommandDevice::replyText(reply) : QStringLiteral("error %1").arg(code);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 minutes = args.value(1, QStringLiteral("20")).toLongLong();
    const QString folder = args.value(2, QDir::tempPath());

    qint64 now = 0;
    SyntheticBackend::Options options;
    options.clock = [&now] { return now; };
    WaveDevice device(std::make_unique<SyntheticBackend>(options), RecordingLimits(), folder);
    for (const char* command : {"open new type waveaudio alias capture",
                                "set capture alignment 16 bitspersample 16 samplespersec 192000 channels 8 "
                                "bytespersec 3072000",
                                "set capture time format bytes", "record capture"})
        std::printf("%s: %s\n", command, qPrintable(QString::number(code(device, QLatin1String(command)))));
    QElapsedTimer timer;
    timer.start();
    const qint64 startKb = statusKb("VmRSS");
    while (now < minutes * 60000 && ask(device, QStringLiteral("status capture mode")) == QLatin1String("recording"))
        now += 200;
    const qint64 recordMs = timer.elapsed();
    std::printf("after %lld s on the clock: %s, %s bytes, %lld ms; resident %lld kB at the start, peak %lld kB\n",
                now / 1000, qPrintable(ask(device, QStringLiteral("status capture mode"))),
                qPrintable(ask(device, QStringLiteral("status capture length"))), recordMs, startKb, statusKb("VmHWM"));
    std::printf("notice: %s\n", qPrintable(device.takeEndNotice()));
    code(device, QStringLiteral("stop capture"));
    const QString wav = QDir(folder).filePath(QStringLiteral("bench_recording.wav"));
    timer.restart();
    const int saved = code(device, QStringLiteral("save capture ") + wav);
    std::printf("save: %d in %lld ms", saved, timer.elapsed());
    QFile file(wav);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(68);
        std::printf(", %lld bytes, RIFF size %u, data size %u", file.size(),
                    qFromLittleEndian<quint32>(head.data() + 4), qFromLittleEndian<quint32>(head.data() + 64));
    }
    std::printf("; peak resident %lld kB\n", statusKb("VmHWM"));
    QFile::remove(wav);
    return 0;
}
