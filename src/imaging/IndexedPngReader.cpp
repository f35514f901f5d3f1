// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/IndexedPngReader.h"

#include "imaging/PngChunks.h"

#include <QtEndian>

#include <libdeflate.h>
#include <png.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

// libpng reports errors by longjmp back to the setjmp of the call that failed.
// The functions below that call setjmp hold only plain values and pointers
// while libpng runs, so that the jump never skips a C++ destructor; anything
// with a destructor is built after libpng has returned.

namespace {

constexpr int headerEnd = 8 + 4 + 4 + 13; // signature, IHDR length and type, IHDR data

// Silent handlers: a damaged picture is an ordinary outcome here, reported by
// the return values, not on the console.
[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// The bytes libpng reads from, through readData(): bytes in memory, or a
// device read as a stream that steps over the chunks a decoder refuses.
struct Source {
    const QByteArray* bytes = nullptr;
    size_t offset = 0;
    QIODevice* device = nullptr;
    QByteArray pending;    // a signature or chunk header still to hand over
    qint64 passing = 0;    // bytes of the current chunk's data and CRC still to hand over
    bool signature = true; // the signature is still to come

    bool fromDevice(uchar* out, size_t length)
    {
        while (length > 0) {
            if (!pending.isEmpty()) {
                const size_t n = std::min(length, size_t(pending.size()));
                std::memcpy(out, pending.constData(), n);
                pending.remove(0, qsizetype(n));
                out += n;
                length -= n;
            } else if (passing > 0) {
                const qint64 n =
                    device->read(reinterpret_cast<char*>(out), qint64(std::min<quint64>(length, quint64(passing))));
                if (n <= 0)
                    return false;
                passing -= n;
                out += n;
                length -= size_t(n);
            } else if (signature) {
                pending = device->read(8);
                signature = false;
                if (pending.size() != 8)
                    return false;
            } else {
                QByteArray head = device->read(8);
                if (head.size() != 8)
                    return false;
                const quint32 dataLength = qFromBigEndian<quint32>(head.constData());
                if (dataLength > 0x7fffffffU)
                    return false;
                // A type that is no chunk's is left to libpng, which gives up on it.
                const char* type = head.constData() + 4;
                if (PngChunks::isNamed(type) && PngChunks::isForeignType(type)) {
                    if (device->skip(qint64(dataLength) + 4) != qint64(dataLength) + 4)
                        return false;
                    continue;
                }
                pending = std::move(head);
                passing = qint64(dataLength) + 4;
            }
        }
        return true;
    }
};

void readData(png_structp png, png_bytep out, size_t length)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (source->device) {
        if (!source->fromDevice(out, length))
            png_error(png, "cut short");
        return;
    }
    if (length > size_t(source->bytes->size()) - source->offset)
        png_error(png, "cut short");
    std::memcpy(out, source->bytes->constData() + source->offset, length);
    source->offset += length;
}

// The zlib stream that the run of IDAT chunks of `bytes` holds, each chunk's
// CRC checked: false when a chunk is damaged or cut short, or there is none.
bool imageData(const QByteArray& bytes, QByteArray& stream)
{
    qsizetype at = 8;
    bool inData = false;
    while (bytes.size() - at >= 12) {
        const char* chunk = bytes.constData() + at;
        const quint32 length = qFromBigEndian<quint32>(chunk);
        if (length > quint64(bytes.size() - at - 12))
            return false;
        const bool isData = std::memcmp(chunk + 4, "IDAT", 4) == 0;
        if (!isData && inData)
            return true;
        if (isData) {
            const auto* typed = reinterpret_cast<const uchar*>(chunk + 4);
            if (libdeflate_crc32(0, typed, size_t(length) + 4) != qFromBigEndian<quint32>(chunk + 8 + length))
                return false;
            stream.append(chunk + 8, qsizetype(length));
            inData = true;
        }
        at += 12 + qsizetype(length);
    }
    return inData;
}

int paeth(int left, int up, int upLeft)
{
    const int p = left + up - upLeft;
    const int toLeft = std::abs(p - left), toUp = std::abs(p - up), toUpLeft = std::abs(p - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return left;
    return toUp <= toUpLeft ? up : upLeft;
}

// Undoes the PNG filter of each row of `data` in place: rows of a filter
// byte and `rowBytes` bytes, one byte per pixel step (palette pictures).
// False on a filter type that does not exist.
bool unfilter(uchar* data, qsizetype rowBytes, int rows)
{
    const std::vector<uchar> zeros(size_t(rowBytes), 0);
    const uchar* up = zeros.data();
    for (int y = 0; y < rows; ++y) {
        uchar* row = data + y * (rowBytes + 1) + 1;
        switch (row[-1]) {
        case 0:
            break;
        case 1:
            for (qsizetype x = 1; x < rowBytes; ++x)
                row[x] = uchar(row[x] + row[x - 1]);
            break;
        case 2:
            for (qsizetype x = 0; x < rowBytes; ++x)
                row[x] = uchar(row[x] + up[x]);
            break;
        case 3:
            row[0] = uchar(row[0] + up[0] / 2);
            for (qsizetype x = 1; x < rowBytes; ++x)
                row[x] = uchar(row[x] + (row[x - 1] + up[x]) / 2);
            break;
        case 4:
            row[0] = uchar(row[0] + up[0]);
            for (qsizetype x = 1; x < rowBytes; ++x)
                row[x] = uchar(row[x] + paeth(row[x - 1], up[x], up[x - 1]));
            break;
        default:
            return false;
        }
        up = row;
    }
    return true;
}

// Puts `colors` into one index per byte, as readRows() gives them.
void unpack(const uchar* packed, uchar* out, int width, int bitDepth, int colors)
{
    if (bitDepth == 8) {
        std::memcpy(out, packed, size_t(width));
    } else {
        const int perByte = 8 / bitDepth, mask = (1 << bitDepth) - 1;
        for (int x = 0; x < width; ++x)
            out[x] = uchar(packed[x / perByte] >> (8 - bitDepth * (x % perByte + 1)) & mask);
    }
    if (colors < 256) {
        for (int x = 0; x < width; ++x)
            out[x] = out[x] < colors ? out[x] : 0;
    }
}

} // namespace

struct IndexedPngReader::State {
    Source source;
    Rows mode = Rows::Picture;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool spent = false;
    int rowsRead = 0;
    int bitDepth = 0;
    bool interlaced = false;
    QSize size;
    QList<QRgb> colors;
    // Rows::Stored: the pass being read and the rows read of it.
    int pass = 0;
    int passRow = 0;
};

namespace {

// What readHeader() learns from libpng, in plain values.
struct Header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    png_colorp palette = nullptr;
    int paletteSize = 0;
    png_bytep alphas = nullptr;
    int alphaCount = 0;
};

bool readInfo(png_structp png, png_infop info, Header& header, bool storedRows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType, &header.interlace,
                 nullptr, nullptr);
    if (header.colorType != PNG_COLOR_TYPE_PALETTE || header.bitDepth < 2)
        return false;
    if (header.interlace == PNG_INTERLACE_ADAM7 && !storedRows)
        png_set_interlace_handling(png); // whole rows, once every pass has been read
    if (png_get_PLTE(png, info, &header.palette, &header.paletteSize) == 0)
        return false;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_get_tRNS(png, info, &header.alphas, &header.alphaCount, nullptr);
    if (header.bitDepth < 8)
        png_set_packing(png); // one index per byte, as in Format_Indexed8
    png_read_update_info(png, info);
    return true;
}

bool readRowsGuarded(png_structp png, uchar* rows, qsizetype bytesPerLine, int count)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int i = 0; i < count; ++i)
        png_read_row(png, rows + i * bytesPerLine, nullptr);
    return true;
}

bool readRowGuarded(png_structp png, uchar* row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, row, nullptr);
    return true;
}

bool readEndGuarded(png_structp png)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_end(png, nullptr);
    return true;
}

} // namespace

bool IndexedPngReader::canRead(const QByteArray& bytes)
{
    if (bytes.size() < headerEnd || std::memcmp(bytes.constData(), "\x89PNG\r\n\x1a\n", 8) != 0 ||
        std::memcmp(bytes.constData() + 12, "IHDR", 4) != 0 || qFromBigEndian<quint32>(bytes.constData() + 8) != 13)
        return false;
    const auto byteAt = [&bytes](int i) { return uchar(bytes.at(i)); };
    const int bitDepth = byteAt(24);
    const int colorType = byteAt(25);
    const int interlace = byteAt(28);
    return colorType == PNG_COLOR_TYPE_PALETTE &&
           (interlace == PNG_INTERLACE_NONE || interlace == PNG_INTERLACE_ADAM7) &&
           (bitDepth == 2 || bitDepth == 4 || bitDepth == 8);
}

IndexedPngReader::IndexedPngReader(const QByteArray& bytes, Rows rows)
    : m_state(std::make_unique<State>())
{
    m_state->source.bytes = &bytes;
    m_state->mode = rows;
    start();
}

IndexedPngReader::IndexedPngReader(QIODevice& device, Rows rows)
    : m_state(std::make_unique<State>())
{
    m_state->source.device = &device;
    m_state->mode = rows;
    start();
}

void IndexedPngReader::start()
{
    m_state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (m_state->png)
        m_state->info = png_create_info_struct(m_state->png);
    if (!m_state->png || !m_state->info) {
        m_state->spent = true;
        return;
    }
    png_set_read_fn(m_state->png, &m_state->source, readData);
    // Only the header, palette, tRNS and pixel data are used here: every
    // other chunk is stepped over unread. Read, a text chunk gets a buffer of
    // its declared length first, so a few bytes that declare one of a
    // gigabyte would cost a gigabyte and seconds before failing.
    static const png_byte unused[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0"
                                     "sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(m_state->png, PNG_HANDLE_CHUNK_NEVER, unused, int(sizeof unused / 5));
    // Every IDAT chunk's CRC already guards the compressed bytes; the zlib
    // stream's own Adler-32 over the decoded bytes would only check them a
    // second time, at a tenth of the decoding time.
    png_set_option(m_state->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
}

IndexedPngReader::~IndexedPngReader()
{
    if (m_state->png)
        png_destroy_read_struct(&m_state->png, m_state->info ? &m_state->info : nullptr, nullptr);
}

bool IndexedPngReader::readHeader()
{
    const QByteArray start =
        m_state->source.device ? m_state->source.device->peek(headerEnd) : m_state->source.bytes->left(headerEnd);
    if (m_state->spent || !canRead(start))
        return false;
    Header header;
    if (!readInfo(m_state->png, m_state->info, header, m_state->mode == Rows::Stored) || header.width == 0 ||
        header.height == 0 || header.width > png_uint_32(INT_MAX) || header.height > png_uint_32(INT_MAX)) {
        m_state->spent = true;
        return false;
    }
    m_state->size = QSize(int(header.width), int(header.height));
    m_state->bitDepth = header.bitDepth;
    m_state->interlaced = header.interlace == PNG_INTERLACE_ADAM7;
    // The colour table as Qt's PNG reader builds it: one entry per palette
    // colour, with the alpha of tRNS where it gives one.
    m_state->colors.clear();
    m_state->colors.reserve(header.paletteSize);
    const int alphaCount = header.alphas ? std::min(header.alphaCount, header.paletteSize) : 0;
    for (int i = 0; i < header.paletteSize; ++i) {
        const png_color& c = header.palette[i];
        m_state->colors << qRgba(c.red, c.green, c.blue, i < alphaCount ? header.alphas[i] : 0xff);
    }
    return true;
}

QSize IndexedPngReader::size() const
{
    return m_state->size;
}

QList<QRgb> IndexedPngReader::colorTable() const
{
    return m_state->colors;
}

bool IndexedPngReader::interlaced() const
{
    return m_state->interlaced;
}

bool IndexedPngReader::readStoredRow(uchar* row, int* width, Placement* placement)
{
    State& st = *m_state;
    if (st.spent || st.size.isEmpty() || st.mode != Rows::Stored)
        return false;
    const png_uint_32 w = png_uint_32(st.size.width()), h = png_uint_32(st.size.height());
    // The pass and row next, past the passes an image this small leaves empty.
    png_uint_32 cols = w, rows = h;
    for (;;) {
        if (st.interlaced) {
            if (st.pass >= 7)
                return false;
            cols = PNG_PASS_COLS(w, st.pass);
            rows = PNG_PASS_ROWS(h, st.pass);
        } else if (st.pass > 0) {
            return false;
        }
        if (cols > 0 && png_uint_32(st.passRow) < rows)
            break;
        ++st.pass;
        st.passRow = 0;
    }
    if (!readRowGuarded(st.png, row)) {
        st.spent = true;
        return false;
    }
    if (placement) {
        if (st.interlaced) {
            const int pass = st.pass;
            placement->y = int(PNG_ROW_FROM_PASS_ROW(png_uint_32(st.passRow), pass));
            placement->firstX = int(PNG_COL_FROM_PASS_COL(0, pass));
            placement->stepX = int(PNG_COL_FROM_PASS_COL(1, pass)) - placement->firstX;
        } else {
            *placement = {st.passRow, 0, 1};
        }
    }
    ++st.passRow;
    *width = int(cols);
    const int colors = int(st.colors.size());
    for (int x = 0; colors < 256 && x < *width; ++x)
        row[x] = row[x] < colors ? row[x] : 0;
    return true;
}

bool IndexedPngReader::readRows(uchar* rows, qsizetype bytesPerLine, int count)
{
    if (m_state->spent || m_state->size.isEmpty() || bytesPerLine < m_state->size.width() || count < 0 ||
        count > m_state->size.height() - m_state->rowsRead || m_state->mode != Rows::Picture)
        return false;
    // An interlaced picture's rows are complete only after its last pass.
    const bool whole = m_state->rowsRead == 0 && count == m_state->size.height();
    if (m_state->interlaced && !whole)
        return false;
    if (m_state->interlaced) {
        std::memset(rows, 0, size_t(bytesPerLine) * size_t(count));
        for (int pass = 0; pass < 7; ++pass) {
            if (!readRowsGuarded(m_state->png, rows, bytesPerLine, count)) {
                m_state->spent = true;
                return false;
            }
        }
    } else if (!readRowsGuarded(m_state->png, rows, bytesPerLine, count)) {
        m_state->spent = true;
        return false;
    }
    m_state->rowsRead += count;
    // Qt's reader sets indexes that have no colour to 0; so does this one.
    const int colors = int(m_state->colors.size());
    if (colors < 256) {
        for (int y = 0; y < count; ++y) {
            uchar* row = rows + y * bytesPerLine;
            for (int x = 0; x < m_state->size.width(); ++x)
                row[x] = row[x] < colors ? row[x] : 0;
        }
    }
    return true;
}

bool IndexedPngReader::readAllRows(uchar* rows, qsizetype bytesPerLine)
{
    if (m_state->spent || m_state->size.isEmpty() || bytesPerLine < m_state->size.width() || m_state->rowsRead > 0)
        return false;
    const int width = m_state->size.width(), height = m_state->size.height();
    const qsizetype rowBytes = (qsizetype(width) * m_state->bitDepth + 7) / 8;
    const qint64 inflated = qint64(rowBytes + 1) * height;
    QByteArray stream;
    if (inflated <= wholeLimit && !m_state->interlaced && m_state->source.bytes &&
        imageData(*m_state->source.bytes, stream)) {
        std::vector<uchar> data(static_cast<size_t>(inflated));
        libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
        const bool inflatedWhole =
            inflater && libdeflate_zlib_decompress(inflater, stream.constData(), size_t(stream.size()), data.data(),
                                                   data.size(), nullptr) == LIBDEFLATE_SUCCESS;
        if (inflater)
            libdeflate_free_decompressor(inflater);
        if (inflatedWhole && unfilter(data.data(), rowBytes, height)) {
            const int colors = int(m_state->colors.size());
            for (int y = 0; y < height; ++y)
                unpack(data.data() + y * (rowBytes + 1) + 1, rows + y * bytesPerLine, width, m_state->bitDepth, colors);
            m_state->rowsRead = height;
            m_state->spent = true;
            return true;
        }
    }
    // What the one-piece decoding refuses, libpng decides on.
    const bool read = readRows(rows, bytesPerLine, height);
    m_state->spent = true;
    return read;
}

bool IndexedPngReader::finish()
{
    if (m_state->spent || m_state->size.isEmpty())
        return false;
    m_state->spent = true; // nothing can be read after the end
    return readEndGuarded(m_state->png);
}
