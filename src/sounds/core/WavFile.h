// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/PcmFormat.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Standard RIFF WAVE files with uncompressed PCM, the kind the game plays.
// Their sizes are 32-bit fields: a file never passes 4 GiB.
namespace WavFile {

// The largest WAV file, in bytes.
constexpr quint64 kMaxFileBytes = quint64(1) << 32;

// The bytes of the header for `format`: 44 for mono and stereo, 68 (the
// extensible format) for more channels.
int headerBytes(const PcmFormat& format);

// The most sample bytes a WAV file of `format` can hold in `fileLimit` bytes
// (at most kMaxFileBytes): whole frames, with the header and the pad byte
// that follows odd data.
quint64 maxDataBytes(const PcmFormat& format, quint64 fileLimit = kMaxFileBytes);

// The header of a PCM WAV file holding `dataBytes` bytes of samples, which
// must not exceed maxDataBytes(format).
QByteArray header(const PcmFormat& format, quint64 dataBytes);

// Writes `pcm` as a WAV file. The file appears only once it is complete; on
// failure an existing file of that name is left as it was and `error`
// receives a reason.
bool write(const QString& path, const PcmFormat& format, const QByteArray& pcm, QString* error = nullptr);

// The same with the samples read from `pcm`: `bytes` bytes from its current
// position, copied a piece at a time, so that a recording of any length
// never has to be in memory whole.
bool write(const QString& path, const PcmFormat& format, QIODevice& pcm, quint64 bytes, QString* error = nullptr);

} // namespace WavFile
