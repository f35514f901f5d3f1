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
    QByteArray h;
    h.reserve(44);
    h.append("RIFF", 4);
    // An odd data chunk is followed by a pad byte, which the RIFF size counts.
    put32(h, 36 + dataBytes + (dataBytes & 1));
    h.append("WAVE", 4);
    h.append("fmt ", 4);
    put32(h, 16);
    put16(h, 1); // PCM
    put16(h, quint16(format.channels));
    put32(h, quint32(format.rate));
    put32(h, quint32(format.bytesPerSecond()));
    put16(h, quint16(format.alignment()));
    put16(h, quint16(format.bits));
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
