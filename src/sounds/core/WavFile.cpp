// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/WavFile.h"

#include "common/core/SafeFile.h"

#include <QBuffer>
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
// The piece of samples copied at a time.
constexpr qint64 kCopyBytes = 1 << 20;

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}
} // namespace

int headerBytes(const PcmFormat& format)
{
    return format.channels > 2 ? 68 : 44;
}

quint64 maxDataBytes(const PcmFormat& format, quint64 fileLimit)
{
    const quint64 limit = qMin(fileLimit, kMaxFileBytes);
    const quint64 head = quint64(headerBytes(format));
    const quint64 align = quint64(qMax(1, format.alignment()));
    if (limit <= head)
        return 0;
    quint64 data = (limit - head) / align * align;
    // Odd data is followed by a pad byte, which has to fit as well.
    if (data % 2 != 0 && data + 1 > limit - head)
        data -= align;
    return data;
}

QByteArray header(const PcmFormat& format, quint64 dataBytes)
{
    // Mono and stereo take the plain 16-byte PCM format chunk. More channels
    // need the extensible form, whose sub-format names PCM and whose channel
    // mask 0 says that the channels are not tied to particular speakers.
    const bool extensible = format.channels > 2;
    const quint32 fmtBytes = extensible ? 40 : 16;
    const quint32 data = quint32(qMin<quint64>(dataBytes, maxDataBytes(format)));
    QByteArray h;
    h.reserve(int(20 + fmtBytes + 8));
    h.append("RIFF", 4);
    // An odd data chunk is followed by a pad byte, which the RIFF size counts.
    put32(h, 4 + (8 + fmtBytes) + 8 + data + (data & 1));
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
    put32(h, data);
    return h;
}

bool write(const QString& path, const PcmFormat& format, const QByteArray& pcm, QString* error)
{
    QBuffer buffer;
    buffer.setData(pcm);
    buffer.open(QIODevice::ReadOnly);
    return write(path, format, buffer, quint64(pcm.size()), error);
}

bool write(const QString& path, const PcmFormat& format, QIODevice& pcm, quint64 bytes, QString* error)
{
    if (bytes > maxDataBytes(format))
        return fail(error, QStringLiteral("the recording is too long for a WAV file, which holds at most 4 GiB"));
    // Written beside `path` and renamed into place once on the disk.
    FileOps::SafeFile file(path);
    if (!file.open())
        return fail(error, file.errorString());
    bool ok = file.write(header(format, bytes));
    QByteArray piece;
    for (quint64 left = bytes; ok && left > 0;) {
        piece = pcm.read(qint64(qMin<quint64>(left, kCopyBytes)));
        if (piece.isEmpty())
            return fail(error,
                        pcm.errorString().isEmpty() ? QStringLiteral("the recording ended early") : pcm.errorString());
        ok = file.write(piece);
        left -= quint64(piece.size());
    }
    if (ok && bytes % 2 != 0)
        ok = file.write(QByteArray(1, '\0'));
    if (!ok || !file.commit())
        return fail(error, file.errorString());
    return true;
}

} // namespace WavFile
