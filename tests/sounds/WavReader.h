#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Reads back the fields of a PCM WAV file's 44-byte header, as a player of
// the file would see them.
struct WavHeader {
    bool valid = false;
    QByteArray riff, wave, fmt, dataTag;
    quint32 riffSize = 0, fmtSize = 0, rate = 0, byteRate = 0, dataSize = 0;
    quint16 audioFormat = 0, channels = 0, blockAlign = 0, bits = 0;
    qint64 fileSize = 0;
    QByteArray data;

    static WavHeader parse(const QByteArray& file)
    {
        WavHeader h;
        h.fileSize = file.size();
        if (file.size() < 44)
            return h;
        const char* p = file.constData();
        h.riff = file.mid(0, 4);
        h.riffSize = qFromLittleEndian<quint32>(p + 4);
        h.wave = file.mid(8, 4);
        h.fmt = file.mid(12, 4);
        h.fmtSize = qFromLittleEndian<quint32>(p + 16);
        h.audioFormat = qFromLittleEndian<quint16>(p + 20);
        h.channels = qFromLittleEndian<quint16>(p + 22);
        h.rate = qFromLittleEndian<quint32>(p + 24);
        h.byteRate = qFromLittleEndian<quint32>(p + 28);
        h.blockAlign = qFromLittleEndian<quint16>(p + 32);
        h.bits = qFromLittleEndian<quint16>(p + 34);
        h.dataTag = file.mid(36, 4);
        h.dataSize = qFromLittleEndian<quint32>(p + 40);
        h.data = file.mid(44, int(h.dataSize));
        h.valid = true;
        return h;
    }

    // The header's fields in file order, then the file's size:
    // "RIFF 44136 WAVE fmt  16 1 1 11025 22050 2 16 data 44100, 44144 bytes".
    QString summary() const
    {
        return QString::asprintf("%s %u %s %s %u %u %u %u %u %u %u %s %u, %lld bytes", riff.constData(), riffSize,
                                 wave.constData(), fmt.constData(), fmtSize, audioFormat, channels, rate, byteRate,
                                 blockAlign, bits, dataTag.constData(), dataSize, fileSize);
    }
};
