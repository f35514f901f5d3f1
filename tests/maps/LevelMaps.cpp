#include "LevelMaps.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace LevelMaps {

namespace {

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += type + data;
    QByteArray crc(4, Qt::Uninitialized);
    qToBigEndian<quint32>(crc32(type + data), crc.data());
    return out + crc;
}

} // namespace

QByteArray png(QSize size, const QColor& colour, const QByteArray& chunkType, const QByteArray& levelData)
{
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), colour.rgb()});
    image.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    // Signature (8) + IHDR (4 length + 4 type + 13 data + 4 CRC) = 33 bytes.
    bytes.insert(33, chunk(chunkType, levelData));
    return bytes;
}

bool hasLevelChunk(const QByteArray& bytes, const QByteArray& chunkType, const QByteArray& levelData)
{
    return bytes.contains(chunk(chunkType, levelData));
}

} // namespace LevelMaps
