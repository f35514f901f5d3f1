#include "imaging/IndexedPngReader.h"

#include <QtEndian>

#include <png.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstring>

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

// The bytes libpng reads from, through readData().
struct Source {
    const QByteArray& bytes;
    size_t offset = 0;
};

void readData(png_structp png, png_bytep out, size_t length)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > size_t(source->bytes.size()) - source->offset)
        png_error(png, "cut short");
    std::memcpy(out, source->bytes.constData() + source->offset, length);
    source->offset += length;
}

} // namespace

struct IndexedPngReader::State {
    Source source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool spent = false;
    int rowsRead = 0;
    QSize size;
    QList<QRgb> colors;

    explicit State(const QByteArray& bytes)
        : source{bytes}
    {
    }
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

bool readInfo(png_structp png, png_infop info, Header& header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType, &header.interlace,
                 nullptr, nullptr);
    if (header.colorType != PNG_COLOR_TYPE_PALETTE || header.interlace != PNG_INTERLACE_NONE || header.bitDepth < 2)
        return false;
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
    return colorType == PNG_COLOR_TYPE_PALETTE && interlace == PNG_INTERLACE_NONE &&
           (bitDepth == 2 || bitDepth == 4 || bitDepth == 8);
}

IndexedPngReader::IndexedPngReader(const QByteArray& bytes)
    : m_state(std::make_unique<State>(bytes))
{
    m_state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (m_state->png)
        m_state->info = png_create_info_struct(m_state->png);
    if (!m_state->png || !m_state->info) {
        m_state->spent = true;
        return;
    }
    png_set_read_fn(m_state->png, &m_state->source, readData);
}

IndexedPngReader::~IndexedPngReader()
{
    if (m_state->png)
        png_destroy_read_struct(&m_state->png, m_state->info ? &m_state->info : nullptr, nullptr);
}

bool IndexedPngReader::readHeader()
{
    if (m_state->spent || !canRead(m_state->source.bytes))
        return false;
    Header header;
    if (!readInfo(m_state->png, m_state->info, header) || header.width == 0 || header.height == 0 ||
        header.width > png_uint_32(INT_MAX) || header.height > png_uint_32(INT_MAX)) {
        m_state->spent = true;
        return false;
    }
    m_state->size = QSize(int(header.width), int(header.height));
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

bool IndexedPngReader::readRows(uchar* rows, qsizetype bytesPerLine, int count)
{
    if (m_state->spent || m_state->size.isEmpty() || bytesPerLine < m_state->size.width() || count < 0 ||
        count > m_state->size.height() - m_state->rowsRead)
        return false;
    if (!readRowsGuarded(m_state->png, rows, bytesPerLine, count)) {
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

bool IndexedPngReader::finish()
{
    if (m_state->spent || m_state->size.isEmpty())
        return false;
    m_state->spent = true; // nothing can be read after the end
    return readEndGuarded(m_state->png);
}
