// SPDX-License-Identifier: GPL-3.0-or-later
// A sound file made into a sound byte, as the sound bank editor does with a
// file the user picks: decoded by libsndfile, converted with libsoxr and
// written as a WAV file in the bank's format.
//
// Input: a first byte that picks the kind of file (its low three bits: the
// bytes as they are, or after the signature of a WAV, FLAC, Ogg, MP3, AIFF
// or AU file, so that every decoder is reached early) and the editing (its
// next two bits: trim silence, normalise), then the file's bytes.

#include "FuzzSupport.h"

#include "sounds/core/SoundClip.h"
#include "sounds/core/WavFile.h"

#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const QByteArray signatures[] = {
        QByteArray(),
        QByteArray("RIFF\xff\xff\xff\x7fWAVEfmt ", 16),
        QByteArray("fLaC"),
        QByteArray("OggS"),
        QByteArray("ID3\x04\0\0\0\0\0\0", 10),
        QByteArray("FORM\0\0\xff\xff"
                   "AIFF",
                   12),
        QByteArray(".snd"),
        QByteArray("RIFF\xff\xff\xff\x7fWAVEfmt \x10\0\0\0\x01\0\x01\0", 24),
    };
    const QByteArray file = signatures[data[0] & 7] + FuzzSupport::bytes(data + 1, size - 1);
    SoundClip::Editing editing;
    editing.trimSilence = (data[0] & 8) != 0;
    editing.normalisePeak = (data[0] & 16) != 0;

    const QString source = FuzzSupport::writeScratchFile(QStringLiteral("clip"), file);
    const QString target = FuzzSupport::scratchFolder() + QStringLiteral("/Byte.wav");
    const PcmFormat bank{11025, 1, 16};
    QString error;
    if (SoundClip::store(source, target, bank, editing, &error)) {
        // The header and at most the longest sound byte at the bank's rate.
        const qint64 longest = 1024 + qint64(SoundClip::kMaxSeconds + 1) * bank.rate * 2;
        FuzzSupport::require(QFileInfo(target).size() <= longest, "a sound byte is no longer than allowed");
        QFile::remove(target);
    } else {
        FuzzSupport::require(!error.isEmpty(), "a refusal says why");
        FuzzSupport::require(!QFileInfo::exists(target), "a refusal leaves no file");
    }
    QFile::remove(source);
    return 0;
}
