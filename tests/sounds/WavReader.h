#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Reads back the fields of a PCM WAV file's header, as a player of the file
// would see them: the RIFF and format fields, the extension of the extensible
// format when the format chunk has one, and the data chunk after it.
struct WavHeader {
    bool valid = false;
    QByteArray riff, wave, fmt, dataTag;
    quint32 riffSize = 0, fmtSize = 0, rate = 0, byteRate = 0, dataSize = 0;
    quint16 audioFormat = 0, channels = 0, blockAlign = 0, bits = 0;
    // The extensible format's extension: its size, valid bits, channel mask, sub-format.
    quint16 extensionSize = 0, validBits = 0;
    quint32 channelMask = 0;
    QByteArray subFormat;
    qint64 fileSize = 0;
    QByteArray data;

    static WavHeader parse(const QByteArray& file)
    {
        WavHeader h;
        h.fileSize = file.size();
        if (file.size() < 36)
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
        if (h.fmtSize >= 40 && file.size() >= 60) {
            h.extensionSize = qFromLittleEndian<quint16>(p + 36);
            h.validBits = qFromLittleEndian<quint16>(p + 38);
            h.channelMask = qFromLittleEndian<quint32>(p + 40);
            h.subFormat = file.mid(44, 16);
        }
        const qint64 dataChunk = 20 + qint64(h.fmtSize);
        if (file.size() < dataChunk + 8)
            return h;
        h.dataTag = file.mid(int(dataChunk), 4);
        h.dataSize = qFromLittleEndian<quint32>(p + dataChunk + 4);
        h.data = file.mid(int(dataChunk + 8), int(h.dataSize));
        h.valid = true;
        return h;
    }

    // The header's fields in file order, then the file's size:
    // "RIFF 44136 WAVE fmt  16 1 1 11025 22050 2 16 data 44100, 44144 bytes";
    // the extensible format's extension follows the bits per sample.
    QString summary() const
    {
        QString extension;
        if (fmtSize >= 40)
            extension =
                QString::asprintf(" %u %u %u %s", extensionSize, validBits, channelMask, subFormat.toHex().constData());
        return QString::asprintf("%s %u %s %s %u %u %u %u %u %u %u", riff.constData(), riffSize, wave.constData(),
                                 fmt.constData(), fmtSize, audioFormat, channels, rate, byteRate, blockAlign, bits) +
               extension + QString::asprintf(" %s %u, %lld bytes", dataTag.constData(), dataSize, fileSize);
    }
};
