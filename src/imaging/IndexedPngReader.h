// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QRgb>
#include <QSize>

#include <memory>

// Decodes palette PNG pictures (the form the game saves its maps in) row by
// row through libpng, so that the rows decoded so far can be used while the
// rest is still being decoded. Pixels and colours come out exactly as Qt's own
// PNG reader gives them for such files: one palette index per byte, as in
// QImage::Format_Indexed8, and a colour table made of PLTE with the alpha
// values of tRNS; indexes the palette has no colour for read as 0.
//
// Only palette pictures of 2, 4 or 8 bits per pixel are read (canRead());
// every other picture is left to QImageReader. An interlaced picture is read
// whole at once (readRows() of all its rows), or pass by pass as stored
// (readStoredRow()) where the order of the pixels does not matter. The bytes
// must be free of chunks a decoder refuses (PngChunks::stripForeignChunks)
// and must outlive the reader; a device is read as a stream, those chunks
// stepped over as they come, so that a file of any size is never held whole.
// Reentrant: no state is shared between readers.
class IndexedPngReader {
public:
    // True when `bytes` start like a PNG whose header announces a picture
    // this reader decodes. Looks at the header only.
    static bool canRead(const QByteArray& bytes);

    // How the rows come: as the picture's rows, or as stored in the file
    // (for an interlaced picture, the rows of each pass in turn).
    enum class Rows { Picture, Stored };

    explicit IndexedPngReader(const QByteArray& bytes, Rows rows = Rows::Picture);
    // Reads from `device`, at its start, as a stream; it must outlive the reader.
    explicit IndexedPngReader(QIODevice& device, Rows rows = Rows::Picture);
    ~IndexedPngReader();
    IndexedPngReader(const IndexedPngReader&) = delete;
    IndexedPngReader& operator=(const IndexedPngReader&) = delete;

    // Reads the chunks before the pixel data. False when they are damaged or
    // the picture is not one canRead() accepts.
    bool readHeader();
    // Valid after readHeader().
    QSize size() const;
    QList<QRgb> colorTable() const;
    bool interlaced() const;

    // Decodes the next `count` rows into `rows`, one row every `bytesPerLine`
    // bytes (at least the width); an interlaced picture only all at once.
    // False when the data is damaged or cut short; the reader is then spent
    // and every later call fails.
    bool readRows(uchar* rows, qsizetype bytesPerLine, int count);
    // Where the pixels of a row as stored belong in the picture: pixel i of
    // it is at (firstX + i * stepX, y).
    struct Placement {
        int y = 0;
        int firstX = 0;
        int stepX = 1;
    };
    // With Rows::Stored: decodes the next row as stored into `row` (room for
    // the picture's width), sets `width` to its pixels and, when given,
    // `placement` to where they belong; false at the end (then finish()) or
    // when the data is damaged or cut short.
    bool readStoredRow(uchar* row, int* width, Placement* placement = nullptr);
    // Decodes all the rows (none may have been read yet) into `rows`, as
    // readRows() would, but inflates the pixel data in one piece with
    // libdeflate, several times faster than row by row; a picture whose data
    // that refuses (or one of over `wholeLimit` bytes of it) is read row by
    // row instead, so the outcome is always readRows()'s. The reader is spent
    // afterwards: finish() fails.
    bool readAllRows(uchar* rows, qsizetype bytesPerLine);
    static constexpr qint64 wholeLimit = qint64(64) << 20;
    // Reads what follows the pixel data up to IEND; false when that is
    // damaged or missing.
    bool finish();

private:
    void start();

    struct State;
    std::unique_ptr<State> m_state;
};
