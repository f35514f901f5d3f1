#pragma once

#include "sounds/core/PcmFormat.h"

#include <QByteArray>
#include <QString>

// Standard RIFF WAVE files with uncompressed PCM, the kind the game plays.
namespace WavFile {

// The header of a PCM WAV file holding `dataBytes` bytes of samples: 44
// bytes for mono and stereo, 68 (the extensible format) for more channels.
QByteArray header(const PcmFormat& format, quint32 dataBytes);

// Writes `pcm` as a WAV file. The file appears only once it is complete; on
// failure an existing file of that name is left as it was and `error`
// receives a reason.
bool write(const QString& path, const PcmFormat& format, const QByteArray& pcm, QString* error = nullptr);

} // namespace WavFile
