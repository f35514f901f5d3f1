// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/CommandDevice.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "support/SyntheticBackend.h"

#include <QHash>
#include <QStringList>

// A command device for tests: records every command string, fails the
// commands it is told to fail, answers scripted status texts, and passes
// everything else on to a real device (or answers 0 when it has none).
class DeviceProbe : public CommandDevice {
public:
    explicit DeviceProbe(CommandDevice* inner = nullptr)
        : m_inner(inner)
    {
    }

    QStringList sent;
    // Command start → error code ("save capture " fails every save).
    QHash<QString, int> failing;
    // Exact command → answers, taken in order; the last one stays.
    QHash<QString, QStringList> answers;

    int send(const QString& command, QByteArray* reply = nullptr) override
    {
        sent.append(command);
        for (auto it = failing.cbegin(); it != failing.cend(); ++it) {
            if (command.startsWith(it.key()))
                return it.value();
        }
        if (answers.contains(command)) {
            QStringList& list = answers[command];
            const QString answer = list.size() > 1 ? list.takeFirst() : list.value(0);
            return writeReply(reply, answer);
        }
        return m_inner ? m_inner->send(command, reply) : Ok;
    }
    QString takeEndNotice() override { return m_inner ? m_inner->takeEndNotice() : QString(); }

private:
    CommandDevice* m_inner;
};

// The code a command answers, sent with a reply buffer as the recorder does.
inline int code(CommandDevice& device, const QString& command)
{
    QByteArray buffer = CommandDevice::blankBuffer();
    return device.send(command, &buffer);
}

// The reply text of a status command, or "error <code>" when it failed.
inline QString ask(CommandDevice& device, const QString& command)
{
    QByteArray buffer = CommandDevice::blankBuffer();
    const int result = device.send(command, &buffer);
    return result == 0 ? CommandDevice::replyText(buffer) : QStringLiteral("error %1").arg(result);
}

// A wave device on a synthetic sound card whose clock the test moves.
struct SyntheticDevice {
    qint64 now = 0; // the sound card's clock, in milliseconds
    SyntheticBackend* backend = nullptr;
    std::unique_ptr<WaveDevice> device;

    explicit SyntheticDevice(RecordingLimits limits = RecordingLimits())
    {
        SyntheticBackend::Options options;
        options.clock = [this] { return now; };
        auto b = std::make_unique<SyntheticBackend>(options);
        backend = b.get();
        device = std::make_unique<WaveDevice>(std::move(b), limits);
    }

    // Records `ms` milliseconds in the recorder's format; false when the recording did not start.
    bool record(WaveRecorder& recorder, int ms)
    {
        recorder.openCaptureDevice();
        recorder.applyRecordingFormat();
        const bool started = recorder.startRecording();
        now += ms;
        recorder.stopRecording();
        return started;
    }
};
