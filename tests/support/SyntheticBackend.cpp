// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SyntheticBackend.h"

#include <QtEndian>
#include <cmath>
#include <utility>

SyntheticBackend::SyntheticBackend(Options setup)
    : options(std::move(setup))
{
    m_timer.start();
}

AudioBackend::Result SyntheticBackend::startCapture(const PcmFormat& format, QString*)
{
    stopCapture();
    if (const Result result = usable(options.hasInput, format); result != Result::Ok)
        return result;
    m_capturing = true;
    m_captureFormat = format;
    m_captureStart = now();
    m_framesDelivered = 0;
    return Result::Ok;
}

QByteArray SyntheticBackend::takeCaptured()
{
    if (!m_capturing)
        return std::exchange(m_pendingAfterLoss, QByteArray());
    const qint64 due = (now() - m_captureStart) * m_captureFormat.rate / 1000;
    if (due <= m_framesDelivered)
        return QByteArray();
    // At most a second a call, however far the clock moved.
    const qint64 frames = qMin<qint64>(due - m_framesDelivered, m_captureFormat.rate);
    QByteArray data = tone(m_captureFormat, m_framesDelivered, frames, options.toneHz);
    m_framesDelivered += frames;
    return data;
}

void SyntheticBackend::loseInput()
{
    for (QByteArray piece = takeCaptured(); !piece.isEmpty(); piece = takeCaptured())
        m_pendingAfterLoss += piece;
    m_capturing = false;
    options.hasInput = false;
}

AudioBackend::Result SyntheticBackend::startPlayback(const PcmFormat& format, std::unique_ptr<QIODevice> pcm, QString*)
{
    stopPlayback();
    if (const Result result = usable(options.hasOutput, format); result != Result::Ok)
        return result;
    m_playing = true;
    m_playFormat = format;
    m_playStart = now();
    m_playSize = pcm ? pcm->size() - pcm->pos() : 0;
    m_played = 0;
    return Result::Ok;
}

qint64 SyntheticBackend::playedBytes()
{
    if (m_playing) {
        m_played = qMin(m_playSize, m_playFormat.msToBytes(now() - m_playStart));
        if (m_played >= m_playSize)
            m_playing = false;
    }
    return m_played;
}

QByteArray SyntheticBackend::tone(const PcmFormat& format, qint64 first, qint64 frames, double hz)
{
    // 8-bit samples are unsigned, 16-bit ones signed little-endian.
    QByteArray data(qsizetype(frames * format.alignment()), Qt::Uninitialized);
    char* out = data.data();
    const double step = 2.0 * 3.14159265358979323846 * hz / format.rate;
    for (qint64 f = 0; f < frames; ++f) {
        const double v = 0.5 * std::sin(step * double(first + f));
        for (int c = 0; c < format.channels; ++c, out += format.bits / 8) {
            if (format.bits == 8)
                *out = char(quint8(128 + std::lround(v * 127)));
            else
                qToLittleEndian<qint16>(qint16(std::lround(v * 32767)), out);
        }
    }
    return data;
}
