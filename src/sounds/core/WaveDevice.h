// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/AudioBackend.h"
#include "sounds/core/CommandDevice.h"
#include "sounds/core/InputLevel.h"
#include "sounds/core/PcmFormat.h"

#include <QString>
#include <memory>

class QTemporaryFile;

// How long a recording may grow. It stops by itself at the first limit it
// reaches, keeping what it has: at the size of the largest WAV file, or after
// the longest time.
struct RecordingLimits {
    quint64 fileBytes = 4ull << 30; // the WAV file that saving the recording makes
    qint64 ms = 30 * 60 * 1000;
};

// The recorder's wave-audio device: one recording under the alias "capture",
// written to a temporary file as it comes in (so that memory stays the same
// whatever its length), recorded from and played on an AudioBackend, and saved as
// a PCM WAV file. It understands exactly these command strings:
//
//   close all                              close capture
//   open new type waveaudio alias capture  seek capture to start
//   set capture alignment A bitspersample B samplespersec R channels C bytespersec S
//   record capture                         stop capture
//   save capture <file name>               play capture from <position>
//   set capture time format ms             set capture time format bytes
//   status capture mode|position|length|channels|bitspersample|samplespersec
//   status capture level|silence
//
// Numbers are plain decimal. File names may contain blanks. The mode is
// "stopped", "recording" or "playing"; positions and lengths are given in the
// time format set last (milliseconds after opening). While recording, the
// level is the peak of the last 50 ms on a 16-bit scale (0 to 32768) and the
// silence the milliseconds of digital silence up to now; both are 0 otherwise.
//
// The temporary file lives in `folder` (the system's temporary folder when
// empty) and goes when the recording does.
class WaveDevice : public CommandDevice {
public:
    explicit WaveDevice(std::unique_ptr<AudioBackend> backend, RecordingLimits limits = RecordingLimits(),
                        QString folder = QString());
    ~WaveDevice() override;

    int send(const QString& command, QByteArray* reply = nullptr) override;
    QString takeEndNotice() override;

private:
    enum class Mode { Stopped, Recording, Playing };
    // Why a recording ended without "stop capture".
    enum class End { None, InputLost, SizeLimit, TimeLimit, WriteFailed };

    int setFormat(const QStringList& numbers);
    int record();
    void stop();
    int play(qint64 from);
    int save(const QString& fileName);
    int status(const QString& item, QByteArray* reply);
    void close();
    void poll();
    void capture();
    void endRecording(End why);
    qint64 toUnits(qint64 bytes) const;

    std::unique_ptr<AudioBackend> m_backend;
    bool m_open = false;
    Mode m_mode = Mode::Stopped;
    PcmFormat m_format;
    RecordingLimits m_limits;
    QString m_folder;
    std::unique_ptr<QTemporaryFile> m_store; // the recording's samples; none before the first
    qint64 m_length = 0;                     // bytes in m_store
    qint64 m_capacity = 0;                   // bytes the recording may reach
    End m_capacityEnd = End::SizeLimit;      // the limit that m_capacity is
    End m_end = End::None;
    QString m_writeError;
    InputLevel m_level;
    qint64 m_position = 0;  // in bytes
    qint64 m_playStart = 0; // in bytes
    bool m_milliseconds = true;
};
