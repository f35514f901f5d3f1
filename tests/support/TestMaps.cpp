#include "support/TestMaps.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <cmath>

namespace TestMaps {

namespace {

constexpr int headerEnd = 8 + 4 + 4 + 13 + 4; // signature, then IHDR: length, type, data, CRC

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray out(4, '\0');
    qToBigEndian(value, out.data());
    return out;
}

} // namespace

QImage sampleMap(QSize size)
{
    QImage map(size, QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < 64; ++i) // sky, dark blue to light
        palette << qRgb(20 + i, 40 + 2 * i, 90 + 2 * i);
    for (int i = 0; i < 192; ++i) // land: browns and greens
        palette << qRgb(60 + (i * 37) % 140, 40 + (i * 53) % 120, 20 + (i * 11) % 60);
    map.setColorTable(palette);
    QRandomGenerator random(20240611);
    const int w = size.width();
    const int h = size.height();
    for (int y = 0; y < h; ++y) {
        uchar* line = map.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double ground = h * (0.55 + 0.2 * std::sin(x * 6.0 / w) + 0.08 * std::sin(x * 37.0 / w));
            if (y < ground)
                line[x] = uchar(y * 63 / h);
            else
                line[x] = uchar(64 + ((x / 9 + y / 6) % 96) + random.bounded(32));
        }
    }
    return map;
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

QByteArray withDeclaredSize(const QByteArray& png, quint32 width, quint32 height)
{
    if (png.size() < headerEnd || png.mid(12, 4) != "IHDR")
        return {};
    const QByteArray header = bigEndian(width) + bigEndian(height) + png.mid(24, 5);
    return png.left(8) + chunk("IHDR", header) + png.mid(headerEnd);
}

QByteArray withChunkAfterHeader(const QByteArray& png, const QByteArray& type, const QByteArray& data)
{
    if (png.size() < headerEnd || png.mid(12, 4) != "IHDR")
        return {};
    return png.left(headerEnd) + chunk(type, data) + png.mid(headerEnd);
}

QByteArray levelData()
{
    QByteArray data;
    for (int i = 0; i < 40; ++i)
        data.append(char((i * 29 + 7) & 0xFF));
    return data;
}

QByteArray levelMapPng(const QImage& image, const QByteArray& type)
{
    return withChunkAfterHeader(pngBytes(image), type, levelData());
}

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace TestMaps
