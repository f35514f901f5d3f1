// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <cmath>
#include <sndfile.h>
#include <vector>

// Sound files for tests, written by libsndfile itself.
namespace SoundFiles {

// `seconds` of a sine tone at `hz` with peak `amplitude` (0 gives silence),
// the same on every channel, appended to `samples`.
inline void addTone(std::vector<float>& samples, int rate, int channels, double seconds, double amplitude,
                    double hz = 440.0)
{
    const long frames = std::lround(seconds * rate);
    for (long f = 0; f < frames; ++f) {
        const float v = float(amplitude * std::sin(2.0 * 3.14159265358979323846 * hz * double(f) / rate));
        for (int c = 0; c < channels; ++c)
            samples.push_back(v);
    }
}

// Writes interleaved samples as a file of libsndfile's `format`
// (SF_FORMAT_FLAC | SF_FORMAT_PCM_16 ...). False when libsndfile refuses.
inline bool write(const QString& path, int format, int rate, int channels, const std::vector<float>& samples)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = sf_count_t(samples.size()) / channels;
    const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

} // namespace SoundFiles
