// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The shape of plain PCM audio: samples per second, channels and bits per
// sample. 8-bit samples are unsigned, wider ones signed little-endian, as in
// a WAV file.
struct PcmFormat {
    int rate = 11025;
    int channels = 1;
    int bits = 8;

    // Bytes of one sample frame (all channels).
    int alignment() const { return bits * channels / 8; }
    qint64 bytesPerSecond() const { return qint64(alignment()) * rate; }

    // The milliseconds that `bytes` last, to the nearest whole one (so that a
    // position converted to bytes and back stays the same).
    qint64 bytesToMs(qint64 bytes) const
    {
        const qint64 perSecond = bytesPerSecond();
        return perSecond > 0 ? (bytes * 1000 + perSecond / 2) / perSecond : 0;
    }
    // The byte offset of `ms`, rounded down to a whole frame.
    qint64 msToBytes(qint64 ms) const
    {
        const int align = alignment();
        if (align <= 0)
            return 0;
        const qint64 bytes = ms * bytesPerSecond() / 1000;
        return bytes - bytes % align;
    }

    bool operator==(const PcmFormat& o) const { return rate == o.rate && channels == o.channels && bits == o.bits; }
    bool operator!=(const PcmFormat& o) const { return !(*this == o); }
};
