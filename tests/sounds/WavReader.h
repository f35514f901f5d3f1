// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtEndian>

// Reads back a PCM WAV file's header as a player of the file would see it.
// `summary` lists the fields in file order, then the file's size:
// "RIFF 44136 WAVE fmt  16 1 1 11025 22050 2 16 data 44100, 44144 bytes";
// the extensible format's extension (its size, valid bits, channel mask and
// sub-format) follows the bits per sample.
struct WavHeader {
    quint16 audioFormat = 0, channels = 0, bits = 0;
    quint32 rate = 0, dataSize = 0;
    QByteArray data;
    QString summary;

    // `fileSize`: the size of the whole file when `file` holds only its start.
    static WavHeader parse(const QByteArray& file, qint64 fileSize = -1)
    {
        WavHeader h;
        const char* p = file.constData();
        const qint64 dataChunk = file.size() < 36 ? 0 : 20 + qint64(qFromLittleEndian<quint32>(p + 16));
        if (dataChunk == 0 || file.size() < dataChunk + 8)
            return h;
        QStringList f;
        qint64 at = 0;
        // 'T' is four letters, 'X' sixteen bytes in hex, '2' and '4' a number of that many bytes.
        const auto read = [&](const char* layout) {
            for (; *layout; ++layout) {
                const int size = *layout == 'T' ? 4 : *layout == 'X' ? 16 : *layout - '0';
                const quint32 n = size == 2 ? qFromLittleEndian<quint16>(p + at) : qFromLittleEndian<quint32>(p + at);
                f << (*layout == 'T'   ? QString::fromLatin1(file.mid(at, 4))
                      : *layout == 'X' ? QString::fromLatin1(file.mid(at, 16).toHex())
                                       : QString::number(n));
                at += size;
            }
        };
        read(dataChunk >= 60 ? "T4TT4224422224X" : "T4TT4224422");
        at = dataChunk;
        read("T4");
        h.audioFormat = quint16(f[5].toUInt());
        h.channels = quint16(f[6].toUInt());
        h.rate = f[7].toUInt();
        h.bits = quint16(f[10].toUInt());
        h.dataSize = f.last().toUInt();
        h.data = file.mid(at, h.dataSize);
        h.summary = f.join(' ') + QStringLiteral(", %1 bytes").arg(fileSize < 0 ? file.size() : fileSize);
        return h;
    }
};
