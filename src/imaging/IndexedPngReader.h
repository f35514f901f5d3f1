#pragma once

#include <QByteArray>
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
// Only non-interlaced palette pictures of 2, 4 or 8 bits per pixel are read
// (canRead()); every other picture is left to QImageReader. The bytes must be
// free of chunks a decoder refuses (PngChunks::stripForeignChunks) and must
// outlive the reader. Reentrant: no state is shared between readers.
class IndexedPngReader {
public:
    // True when `bytes` start like a PNG whose header announces a picture
    // this reader decodes. Looks at the header only.
    static bool canRead(const QByteArray& bytes);

    explicit IndexedPngReader(const QByteArray& bytes);
    ~IndexedPngReader();
    IndexedPngReader(const IndexedPngReader&) = delete;
    IndexedPngReader& operator=(const IndexedPngReader&) = delete;

    // Reads the chunks before the pixel data. False when they are damaged or
    // the picture is not one canRead() accepts.
    bool readHeader();
    // Valid after readHeader().
    QSize size() const;
    QList<QRgb> colorTable() const;

    // Decodes the next `count` rows into `rows`, one row every `bytesPerLine`
    // bytes (at least the width). False when the data is damaged or cut
    // short; the reader is then spent and every later call fails.
    bool readRows(uchar* rows, qsizetype bytesPerLine, int count);
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
    struct State;
    std::unique_ptr<State> m_state;
};
