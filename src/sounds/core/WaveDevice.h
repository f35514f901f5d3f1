#pragma once

#include "sounds/core/AudioBackend.h"
#include "sounds/core/CommandDevice.h"
#include "sounds/core/InputLevel.h"
#include "sounds/core/PcmFormat.h"

#include <memory>

// The recorder's wave-audio device: one recording held in memory under the
// alias "capture", recorded from and played on an AudioBackend, and saved as
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
class WaveDevice : public CommandDevice {
public:
    explicit WaveDevice(std::unique_ptr<AudioBackend> backend);
    ~WaveDevice() override;

    int send(const QString& command, QByteArray* reply = nullptr) override;

private:
    enum class Mode { Stopped, Recording, Playing };

    int setFormat(const QStringList& numbers);
    int record();
    void stop();
    int play(qint64 from);
    int save(const QString& fileName);
    int status(const QString& item, QByteArray* reply);
    void close();
    void poll();
    qint64 toUnits(qint64 bytes) const;

    std::unique_ptr<AudioBackend> m_backend;
    bool m_open = false;
    Mode m_mode = Mode::Stopped;
    PcmFormat m_format;
    QByteArray m_data;
    InputLevel m_level;
    qint64 m_position = 0;  // in bytes
    qint64 m_playStart = 0; // in bytes
    bool m_milliseconds = true;
};
