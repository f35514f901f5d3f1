// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

// Map pictures as the game writes them, for tests and benchmarks: 8-bit
// indexed PNG files that carry the game's level chunk ("w2lv" or "waLV")
// between IHDR and PLTE.
namespace TestMaps {

// An indexed map of `size`: a sky gradient over a textured landscape, drawn
// from a fixed seed so that every run sees the same pixels.
QImage sampleMap(QSize size);

// `image` encoded as PNG.
QByteArray pngBytes(const QImage& image);

// A complete PNG chunk: length, type, data and CRC.
QByteArray chunk(const QByteArray& type, const QByteArray& data);

// `png` with the size in its header replaced by `width` x `height` (CRC
// fixed), the pixel data left as it is: a picture that claims to be larger
// than it is.
QByteArray withDeclaredSize(const QByteArray& png, quint32 width, quint32 height);

// `png` with a chunk of `type` and `data` (with its CRC) inserted right after
// IHDR; empty when `png` does not start with a signature and IHDR.
QByteArray withChunkAfterHeader(const QByteArray& png, const QByteArray& type, const QByteArray& data);

// `indexed` (Format_Indexed8, every index below 2^bitDepth) encoded by hand
// as a palette PNG of `bitDepth` bits (1, 2, 4 or 8) per pixel: PLTE from its
// colour table, tRNS when a colour is not opaque, one IDAT, IEND.
// `filter` is the PNG filter type of every row (0 to 4), or -1 for each row
// a different one in turn.
QByteArray palettePng(const QImage& indexed, int bitDepth, int filter = 0);
// The same at 8 bits per pixel, interlaced (Adam7), no filter.
QByteArray interlacedPng(const QImage& indexed);

// The game's level description with the cavern flag, water level, object and bridge
// percentages set and the rest zero; with the 41st byte (worm places) when
// `places` is not negative.
QByteArray levelData(bool cavern, int water, int objects, int bridges, int places = -1);

// `png` with the game's level chunk of `type` (an island, all else zero)
// inserted after IHDR.
QByteArray levelMapPng(const QImage& image, const QByteArray& type = QByteArrayLiteral("w2lv"));

// Writes `bytes` to `path` (folders created); the path.
QString writeBytes(const QString& path, const QByteArray& bytes);

// Writes to `path` through libpng a palette map of `size` (8 bits) with
// `colours`, interlaced when asked, row by row: `fillRow(y, row)` gives row y
// (again for each pass). Runs of one index keep even the largest map small.
bool writeLargeMap(const QString& path, QSize size, const QList<QRgb>& colours, bool interlaced,
                   const std::function<void(int y, uchar* row)>& fillRow);

} // namespace TestMaps
