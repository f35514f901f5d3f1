// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestMaps.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

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
    for (int i = 0; i < 96; ++i) // land, light bricks
        palette << qRgb(150 + (i * 37) % 100, 100 + (i * 53) % 80, 40 + (i * 11) % 50);
    for (int i = 0; i < 96; ++i) // land, dark bricks and grass
        palette << qRgb(40 + (i * 29) % 60, 60 + (i * 43) % 120, 20 + (i * 13) % 40);
    map.setColorTable(palette);
    QRandomGenerator random(20240611);
    const int w = size.width();
    const int h = size.height();
    // Caves: sky showing through round holes in the land.
    struct Cave {
        double x, y, r;
    };
    QList<Cave> caves;
    for (int i = 0; i < 12; ++i)
        caves.append({random.bounded(double(w)), h * (0.6 + random.bounded(0.35)), h * (0.03 + random.bounded(0.07))});
    for (int y = 0; y < h; ++y) {
        uchar* line = map.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double ground = h * (0.55 + 0.2 * std::sin(x * 6.0 / w) + 0.08 * std::sin(x * 37.0 / w));
            bool sky = y < ground;
            for (const Cave& cave : caves)
                sky = sky || (x - cave.x) * (x - cave.x) + (y - cave.y) * (y - cave.y) < cave.r * cave.r;
            if (sky) {
                line[x] = uchar(y * 63 / h);
                continue;
            }
            // Bricks of about 1/160 of the width, with a little noise in each.
            const int brickW = std::max(4, w / 160);
            const int brickH = std::max(3, brickW * 2 / 3);
            const int row = y / brickH;
            const int column = (x + (row % 2) * brickW / 2) / brickW;
            const bool mortar = y % brickH == 0 || (x + (row % 2) * brickW / 2) % brickW == 0;
            const int base = mortar || (row + column) % 3 == 0 ? 160 : 64;
            line[x] = uchar(base + (row * 7 + column * 13) % 80 + random.bounded(16));
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

namespace {

// `row` (packed pixels) with PNG filter `type` applied against `up`.
QByteArray filtered(const QByteArray& row, const QByteArray& up, int type)
{
    QByteArray out(1, char(type));
    for (qsizetype x = 0; x < row.size(); ++x) {
        const int left = x > 0 ? uchar(row[x - 1]) : 0, above = uchar(up[x]), aboveLeft = x > 0 ? uchar(up[x - 1]) : 0;
        const int p = left + above - aboveLeft;
        const int pa = std::abs(p - left), pb = std::abs(p - above), pc = std::abs(p - aboveLeft);
        const int predicted[] = {0, left, above, (left + above) / 2,
                                 pa <= pb && pa <= pc ? left : (pb <= pc ? above : aboveLeft)};
        out += char(uchar(row[x]) - predicted[type]);
    }
    return out;
}

} // namespace

QByteArray palettePng(const QImage& indexed, int bitDepth, int filter)
{
    QByteArray header = bigEndian(quint32(indexed.width())) + bigEndian(quint32(indexed.height()));
    header += char(bitDepth);
    header += char(3);             // colour type: palette
    header += QByteArray(3, '\0'); // deflate, adaptive filtering, not interlaced
    QByteArray palette;
    QByteArray alphas;
    int lastTranslucent = -1;
    const QList<QRgb> colors = indexed.colorTable();
    for (int i = 0; i < colors.size(); ++i) {
        palette += char(qRed(colors[i]));
        palette += char(qGreen(colors[i]));
        palette += char(qBlue(colors[i]));
        alphas += char(qAlpha(colors[i]));
        if (qAlpha(colors[i]) != 255)
            lastTranslucent = i;
    }
    QByteArray raw;
    const int perByte = 8 / bitDepth;
    QByteArray up(indexed.width() / perByte + 1, '\0');
    for (int y = 0; y < indexed.height(); ++y) {
        QByteArray row;
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); x += perByte) {
            uchar packed = 0;
            for (int k = 0; k < perByte; ++k)
                packed |= uchar((x + k < indexed.width() ? line[x + k] : 0) << (8 - bitDepth * (k + 1)));
            row += char(packed);
        }
        raw += filtered(row, up, filter >= 0 ? filter : y % 5);
        up = row;
    }
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += chunk("IHDR", header) + chunk("PLTE", palette);
    if (lastTranslucent >= 0)
        png += chunk("tRNS", alphas.left(lastTranslucent + 1));
    return png + chunk("IDAT", qCompress(raw).mid(4)) + chunk("IEND", {}); // qCompress puts the length first
}

QByteArray interlacedPng(const QImage& indexed)
{
    const QByteArray plain = palettePng(indexed, 8);
    QByteArray header = plain.mid(16, 13);
    header[12] = 1;
    constexpr int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    QByteArray raw;
    for (const auto& p : passes) {
        if (p[0] >= indexed.width())
            continue; // a pass with no columns has no rows either
        for (int y = p[1]; y < indexed.height(); y += p[3]) {
            raw += '\0';
            for (int x = p[0]; x < indexed.width(); x += p[2])
                raw += char(indexed.pixelIndex(x, y));
        }
    }
    const qsizetype idat = plain.indexOf("IDAT") - 4;
    return plain.left(8) + chunk("IHDR", header) + plain.mid(33, idat - 33) + chunk("IDAT", qCompress(raw).mid(4)) +
           chunk("IEND", {});
}

QByteArray levelData(bool cavern, int water, int objects, int bridges, int places)
{
    QByteArray data(40, '\0');
    qToLittleEndian<quint32>(cavern ? 1 : 0, data.data() + 8);
    qToLittleEndian<quint32>(quint32(objects), data.data() + 20);
    qToLittleEndian<quint32>(quint32(bridges), data.data() + 24);
    qToLittleEndian<quint32>(quint32(water), data.data() + 28);
    if (places >= 0)
        data.append(char(places));
    return data;
}

QByteArray levelMapPng(const QImage& image, const QByteArray& type)
{
    return withChunkAfterHeader(pngBytes(image), type, levelData(false, 0, 0, 0));
}

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

bool writeLargeMap(const QString& path, QSize size, const QList<QRgb>& colours, bool interlaced,
                   const std::function<void(int y, uchar* row)>& fillRow)
{
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    for (const QRgb c : colours) {
        palette.push_back({png_byte(qRed(c)), png_byte(qGreen(c)), png_byte(qBlue(c))});
        alphas.push_back(png_byte(qAlpha(c)));
    }
    std::vector<uchar> row(static_cast<size_t>(size.width()));
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const auto fail = [&] {
        png_destroy_write_struct(&png, &info);
        if (out)
            std::fclose(out);
        return false;
    };
    if (!out || !info)
        return fail();
    if (setjmp(png_jmpbuf(png))) // libpng's errors land here; nothing below has a destructor
        return fail();
    png_init_io(png, out);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(size.width()), png_uint_32(size.height()), 8, PNG_COLOR_TYPE_PALETTE,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    png_write_info(png, info);
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass)
        for (int y = 0; y < size.height(); ++y) {
            fillRow(y, row.data());
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

} // namespace TestMaps
