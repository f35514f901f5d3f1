// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/AudioBackend.h"

#include <QAudioDevice>
#include <QByteArray>
#include <memory>

class QAudioSink;
class QAudioSource;
class CaptureStore;

// The sound card through Qt Multimedia: QAudioSource records from an input
// device, QAudioSink plays on an output device. Devices are looked up afresh
// for every start (a microphone plugged in later is found) and chosen by id:
// the one asked for, else the system's default (for inputs, the sound
// server's default source: see AudioInputs), else the first there is.
class QtAudioBackend : public AudioBackend {
public:
    // An empty input id means the microphone chosen in the recorder settings
    // (RecorderSettings::readMicrophone()), or the system's default input
    // when none is chosen or it is gone; an empty output id means the
    // system's default output.
    explicit QtAudioBackend(QByteArray inputId = QByteArray(), QByteArray outputId = QByteArray());
    ~QtAudioBackend() override;

    Result startCapture(const PcmFormat& format, QString* detail = nullptr) override;
    QByteArray takeCaptured() override;
    bool isCapturing() override;
    void stopCapture() override;

    Result startPlayback(const PcmFormat& format, std::unique_ptr<QIODevice> pcm, QString* detail = nullptr) override;
    qint64 playedBytes() override;
    bool isPlaying() override;
    void stopPlayback() override;

    // The device that a start would use now; a null device when there is none.
    QAudioDevice inputDevice() const;
    QAudioDevice outputDevice() const;

    // On Linux, selects Qt's GStreamer media backend unless the user chose
    // one: the FFmpeg backend crashes when no sound server is running. Call
    // before the first Qt Multimedia object is made.
    static void preferSafeMediaBackend();

private:
    QByteArray m_inputId;
    QByteArray m_outputId;

    PcmFormat m_captureFormat;
    std::unique_ptr<QAudioSource> m_source;
    std::unique_ptr<CaptureStore> m_store;

    PcmFormat m_playFormat;
    std::unique_ptr<QAudioSink> m_sink;
    std::unique_ptr<QIODevice> m_playSource;
    qint64 m_playSize = 0;
    bool m_playing = false;
};
