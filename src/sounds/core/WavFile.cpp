#include "sounds/core/WavFile.h"

#include <QSaveFile>
#include <QtEndian>

namespace WavFile {

namespace {
void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
} // namespace

QByteArray header(const PcmFormat& format, quint32 dataBytes)
{
    // Mono and stereo take the plain 16-byte PCM format chunk. More channels
    // need the extensible form, whose sub-format names PCM and whose channel
    // mask 0 says that the channels are not tied to particular speakers.
    const bool extensible = format.channels > 2;
    const quint32 fmtBytes = extensible ? 40 : 16;
    QByteArray h;
    h.reserve(int(20 + fmtBytes + 8));
    h.append("RIFF", 4);
    // An odd data chunk is followed by a pad byte, which the RIFF size counts.
    put32(h, 4 + (8 + fmtBytes) + 8 + dataBytes + (dataBytes & 1));
    h.append("WAVE", 4);
    h.append("fmt ", 4);
    put32(h, fmtBytes);
    put16(h, extensible ? 0xFFFE : 1); // WAVE_FORMAT_EXTENSIBLE or PCM
    put16(h, quint16(format.channels));
    put32(h, quint32(format.rate));
    put32(h, quint32(format.bytesPerSecond()));
    put16(h, quint16(format.alignment()));
    put16(h, quint16(format.bits));
    if (extensible) {
        put16(h, 22);                   // bytes of the extension that follow
        put16(h, quint16(format.bits)); // valid bits per sample
        put32(h, 0);                    // channel mask
        // KSDATAFORMAT_SUBTYPE_PCM: 00000001-0000-0010-8000-00aa00389b71
        h.append("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
    }
    h.append("data", 4);
    put32(h, dataBytes);
    return h;
}

bool write(const QString& path, const PcmFormat& format, const QByteArray& pcm, QString* error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray bytes = header(format, quint32(pcm.size()));
    bytes.append(pcm);
    if (pcm.size() % 2 != 0)
        bytes.append('\0');
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace WavFile
