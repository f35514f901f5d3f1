// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/PcmFormat.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Sound files of any kind made into sound bytes: read with libsndfile (WAV in
// any PCM or float format, FLAC, Ogg Vorbis, Opus, MP3 and the rest it
// knows), converted to the bank's rate and channels with libsoxr, optionally
// trimmed and normalised, and written as a standard PCM WAV file.
namespace SoundClip {

// Changes made to a clip on its way into a bank; none by default.
struct Editing {
    bool trimSilence = false;   // cut leading and trailing silence below kSilenceDbfs
    bool normalisePeak = false; // scale so that the loudest sample reaches kPeakDbfs
    bool any() const { return trimSilence || normalisePeak; }
};

constexpr double kSilenceDbfs = -45.0;
constexpr double kPeakDbfs = -1.0;
// Longer files are refused: the game's sound bytes are a few seconds long,
// and a whole album chosen by mistake must not fill the memory.
constexpr int kMaxSeconds = 60;
// Files declaring a rate outside these are refused: no sound is made so.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 768000;

// Interleaved samples in [-1, 1].
struct Audio {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
    qint64 frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
};

// Reads a sound file of at most kMaxSeconds. On failure `error` names the
// file and says why.
bool decode(const QString& path, Audio* out, QString* error = nullptr);

// Reads a sound file as a stream and converts it on the way, as convert()
// does, so that the memory taken is that of the result: at most kMaxSeconds
// at `rate`, whatever the file declares.
bool decodeAs(const QString& path, int rate, int channels, Audio* out, QString* error = nullptr);

// The same sound at `rate` samples per second with `channels` channels: more
// channels are mixed down to mono by their average, mono is repeated on every
// channel, other counts take the source channels in turn.
Audio convert(const Audio& in, int rate, int channels);

// Cuts the frames before the first and after the last sample at or above
// `thresholdDbfs`. A clip that is silent throughout is left as it is.
void trimSilence(Audio& audio, double thresholdDbfs = kSilenceDbfs);
// Scales the clip so that its peak is `peakDbfs`. A silent clip stays silent.
void normalisePeak(Audio& audio, double peakDbfs = kPeakDbfs);
// The largest magnitude of any sample, in dBFS (-infinity for silence).
double peakDbfs(const Audio& audio);

// The samples as PCM of `bits` (8: unsigned, 16: signed little-endian).
QByteArray toPcm(const Audio& audio, int bits);

// True when `path` is a PCM WAV file in exactly `format`.
bool isWavIn(const QString& path, const PcmFormat& format);

// True for the formats the recorder can make and the game can play.
bool isBankFormat(const PcmFormat& format);

// Makes `target` a sound byte in `format` from the sound file `source`. A WAV
// already in that format, with no editing asked for, is copied byte for byte;
// anything else is decoded, converted, edited and written as PCM WAV. The
// target is replaced only once the new file is complete; on failure nothing
// changes and `error` says why, naming the source.
bool store(const QString& source, const QString& target, const PcmFormat& format, const Editing& editing,
           QString* error = nullptr);

// The file dialog filter for the files decode() reads ("|"-separated pairs).
QString fileFilter();

} // namespace SoundClip
