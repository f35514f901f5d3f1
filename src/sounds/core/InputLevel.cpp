// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/InputLevel.h"

#include <QtEndian>
#include <cstdlib>

namespace {

// One sample's magnitude on a 16-bit scale.
int magnitude(const char* sample, int bytes)
{
    if (bytes == 1)
        return std::abs(int(quint8(*sample)) - 128) * 256;
    // Wider samples: their top two bytes carry the value.
    return std::abs(int(qFromLittleEndian<qint16>(sample + bytes - 2)));
}

} // namespace

void InputLevel::reset(const PcmFormat& format)
{
    m_format = format;
    m_recent.clear();
    m_silentFrames = 0;
}

void InputLevel::feed(const QByteArray& pcm)
{
    const int align = m_format.alignment();
    const int bytes = m_format.bits / 8;
    if (align <= 0 || bytes <= 0)
        return;
    const qint64 frames = pcm.size() / align;
    for (qint64 f = 0; f < frames; ++f) {
        bool silent = true;
        for (int c = 0; c < m_format.channels && silent; ++c)
            silent = magnitude(pcm.constData() + f * align + c * bytes, bytes) == 0;
        m_silentFrames = silent ? m_silentFrames + 1 : 0;
    }
    m_recent.append(pcm.constData(), int(frames * align));
    const qint64 keep = qMax<qint64>(align, m_format.msToBytes(kWindowMs));
    if (m_recent.size() > keep)
        m_recent.remove(0, int(m_recent.size() - keep));
}

int InputLevel::peak() const
{
    const int bytes = m_format.bits / 8;
    int top = 0;
    for (int i = 0; bytes > 0 && i + bytes <= m_recent.size(); i += bytes)
        top = qMax(top, magnitude(m_recent.constData() + i, bytes));
    return top;
}
