// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/PcmFormat.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>

// The sound hardware behind the wave device: captures PCM from an input and
// plays PCM on an output, both running in real time. The device polls it
// whenever it is asked for its state; nothing here blocks.
class AudioBackend {
public:
    enum class Result { Ok, NoDevice, Failed };

    virtual ~AudioBackend() = default;

    // Starts capturing in `format`. `detail` receives a reason on failure.
    virtual Result startCapture(const PcmFormat& format, QString* detail = nullptr) = 0;
    // Whole frames captured since the previous call. A backend may hand them
    // out a piece at a time (no piece larger than a few seconds of sound):
    // the caller asks again until it gets nothing.
    virtual QByteArray takeCaptured() = 0;
    // True from a successful start until stopCapture(), or until the input
    // went away (unplugged, sound server gone).
    virtual bool isCapturing() = 0;
    // Stops capturing; frames not yet taken are dropped.
    virtual void stopCapture() = 0;

    // Starts playing `pcm` (in `format`), open for reading, from its current
    // position to its end; it is read as the sound goes out, so that a long
    // recording plays from its file.
    virtual Result startPlayback(const PcmFormat& format, std::unique_ptr<QIODevice> pcm,
                                 QString* detail = nullptr) = 0;
    // Bytes of the played data that have been played so far.
    virtual qint64 playedBytes() = 0;
    // True until the data has been played to its end or playback was stopped.
    virtual bool isPlaying() = 0;
    virtual void stopPlayback() = 0;
};
