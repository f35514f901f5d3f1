// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/AudioBackend.h"

#include <QElapsedTimer>
#include <functional>

// A sound card made of arithmetic: capturing yields a sine tone in the
// requested format at the pace of a clock, and playing consumes the data at
// that pace. The clock can be replaced, so that a test decides how much time
// has passed.
class SyntheticBackend : public AudioBackend {
public:
    struct Options {
        bool hasInput = true;
        bool hasOutput = true;
        double toneHz = 440.0;
        // Milliseconds since some start; a real monotonic clock when empty.
        std::function<qint64()> clock;
    };

    explicit SyntheticBackend(Options setup);

    Options options; // a test may change them at any time

    Result startCapture(const PcmFormat& format, QString* detail = nullptr) override;
    QByteArray takeCaptured() override;
    bool isCapturing() override { return m_capturing; }
    void stopCapture() override
    {
        m_capturing = false;
        m_pendingAfterLoss.clear();
    }
    // The input goes away in the middle of a recording: what was captured
    // until now stays available, nothing more comes.
    void loseInput();

    Result startPlayback(const PcmFormat& format, std::unique_ptr<QIODevice> pcm, QString* detail = nullptr) override;
    qint64 playedBytes() override;
    bool isPlaying() override
    {
        playedBytes();
        return m_playing;
    }
    void stopPlayback() override
    {
        playedBytes();
        m_playing = false;
    }

    // `frames` sample frames of the tone in `format`, starting at frame `first`.
    static QByteArray tone(const PcmFormat& format, qint64 first, qint64 frames, double hz = 440.0);

private:
    qint64 now() const { return options.clock ? options.clock() : m_timer.elapsed(); }
    // tone() makes 8- and 16-bit samples only, the two depths the device takes.
    static Result usable(bool present, const PcmFormat& format)
    {
        const bool makable = (format.bits == 8 || format.bits == 16) && format.alignment() > 0 && format.rate > 0;
        return !present ? Result::NoDevice : makable ? Result::Ok : Result::Failed;
    }

    QElapsedTimer m_timer;

    bool m_capturing = false;
    PcmFormat m_captureFormat;
    qint64 m_captureStart = 0;
    qint64 m_framesDelivered = 0;
    QByteArray m_pendingAfterLoss;

    bool m_playing = false;
    PcmFormat m_playFormat;
    qint64 m_playStart = 0;
    qint64 m_playSize = 0;
    qint64 m_played = 0;
};
