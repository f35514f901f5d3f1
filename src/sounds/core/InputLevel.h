// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/PcmFormat.h"

#include <QByteArray>

// The level of the sound coming in while recording: the peak of the last
// 50 ms, and how long the input has been digital silence (every sample
// exactly zero, as from a muted or missing microphone).
class InputLevel {
public:
    static constexpr int kWindowMs = 50;

    void reset(const PcmFormat& format);
    void feed(const QByteArray& pcm);

    // The largest magnitude of the last 50 ms on a 16-bit scale (0..32768).
    int peak() const;
    // Milliseconds of digital silence up to the newest sample.
    qint64 silentMs() const { return m_format.rate > 0 ? m_silentFrames * 1000 / m_format.rate : 0; }

private:
    PcmFormat m_format;
    QByteArray m_recent; // the last 50 ms of whole frames
    qint64 m_silentFrames = 0;
};
