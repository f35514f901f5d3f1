#include "common/core/BicubicResampler.h"

#include <stb_image_resize.h>

#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

namespace BicubicResampler {

namespace {

// About this many bytes of source are converted to the working format at a
// time. Each band costs stb a fixed set-up (its filter weights along the whole
// row), so bands are kept large enough for that to stay small next to the
// filtering itself.
constexpr qint64 bandBytes = 8 << 20;
constexpr int minBandRows = 16;

struct Layout {
    int channels;
    int alphaChannel;
    int flags;
};

Layout layoutFor(QImage::Format format)
{
    if (format == QImage::Format_RGBA8888_Premultiplied)
        return {4, 3, STBIR_FLAG_ALPHA_PREMULTIPLIED};
    return {3, STBIR_ALPHA_CHANNEL_NONE, 0};
}

// One stb call over 8-bit interleaved pixels. Along an axis whose size stays
// the same the box filter is used: at scale 1 it is the identity, and it
// touches a single source line where the cubic would read four.
bool resize(const uchar* in, QSize inSize, qsizetype inStride, uchar* out, QSize outSize, qsizetype outStride,
            const Layout& layout)
{
    const stbir_filter horizontal = inSize.width() == outSize.width() ? STBIR_FILTER_BOX : STBIR_FILTER_CATMULLROM;
    const stbir_filter vertical = inSize.height() == outSize.height() ? STBIR_FILTER_BOX : STBIR_FILTER_CATMULLROM;
    return stbir_resize(in, inSize.width(), inSize.height(), int(inStride), out, outSize.width(), outSize.height(),
                        int(outStride), STBIR_TYPE_UINT8, layout.channels, layout.alphaChannel, layout.flags,
                        STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, horizontal, vertical, STBIR_COLORSPACE_LINEAR,
                        nullptr) != 0;
}

// The colours of an indexed picture as pixels of the working format, for all
// 256 indexes. Indexes beyond the colour table read as Qt reads them: opaque
// black (transparent in a picture with alpha); an empty table is a grey ramp.
using Palette = std::array<std::array<uchar, 4>, 256>;

Palette paletteFor(const QImage& source, bool alpha)
{
    QList<QRgb> colors = source.colorTable();
    if (colors.isEmpty())
        for (int i = 0; i < 256; ++i)
            colors << qRgb(i, i, i);
    Palette palette{};
    for (int i = 0; i < 256; ++i) {
        const QRgb color =
            i < colors.size() ? (alpha ? qPremultiply(colors[i]) : colors[i]) : (alpha ? 0 : qRgb(0, 0, 0));
        palette[i] = {uchar(qRed(color)), uchar(qGreen(color)), uchar(qBlue(color)), uchar(qAlpha(color))};
    }
    return palette;
}

// Converts the rows [first, first + count) of `source` to the working format.
// Indexed pictures (the maps) are expanded through `palette` into `buffer`,
// which is allocated once and reused from band to band; other formats go
// through Qt's conversion.
class BandConverter {
public:
    BandConverter(const QImage& source, QImage::Format format)
        : m_source(source)
        , m_format(format)
        , m_indexed(source.format() == QImage::Format_Indexed8)
    {
        if (m_indexed)
            m_palette = paletteFor(source, format == QImage::Format_RGBA8888_Premultiplied);
    }

    // Null on failure (out of memory).
    QImage rows(int first, int count, int bandRows)
    {
        if (!m_indexed) {
            QImage rows(m_source.constScanLine(first), m_source.width(), count, m_source.bytesPerLine(),
                        m_source.format());
            if (m_source.format() == QImage::Format_Mono || m_source.format() == QImage::Format_MonoLSB)
                rows.setColorTable(m_source.colorTable());
            return rows.convertToFormat(m_format);
        }
        if (m_buffer.isNull()) {
            m_buffer = QImage(m_source.width(), bandRows, m_format);
            if (m_buffer.isNull())
                return {};
        }
        if (layoutFor(m_format).channels == 4)
            expand<4>(first, count);
        else
            expand<3>(first, count);
        // A view of the rows just filled; the buffer itself stays for the next band.
        return QImage(m_buffer.constBits(), m_buffer.width(), count, m_buffer.bytesPerLine(), m_format);
    }

private:
    template <int channels> void expand(int first, int count)
    {
        const int width = m_source.width();
        for (int y = 0; y < count; ++y) {
            const uchar* in = m_source.constScanLine(first + y);
            uchar* out = m_buffer.scanLine(y);
            for (int x = 0; x < width; ++x, out += channels)
                std::memcpy(out, m_palette[in[x]].data(), channels);
        }
    }

    const QImage& m_source;
    QImage::Format m_format;
    bool m_indexed;
    Palette m_palette{};
    QImage m_buffer;
};

// First pass: every row of `source` resampled to the width of `wide`, band by band.
bool resampleRows(const QImage& source, QImage& wide, int bandRows)
{
    const QImage::Format format = wide.format();
    const Layout layout = layoutFor(format);
    const int height = source.height();
    const int bands = (height + bandRows - 1) / bandRows;
    std::atomic<int> nextBand{0};
    std::atomic<bool> failed{false};

    auto work = [&] {
        BandConverter converter(source, format);
        for (int band = nextBand++; band < bands && !failed; band = nextBand++) {
            const int first = band * bandRows;
            const int count = std::min(bandRows, height - first);
            const QImage rows = converter.rows(first, count, bandRows);
            if (rows.isNull() || !resize(rows.constBits(), rows.size(), rows.bytesPerLine(), wide.scanLine(first),
                                         QSize(wide.width(), count), wide.bytesPerLine(), layout))
                failed = true;
        }
    };

    std::thread helper;
    if (bands > 1 && QThread::idealThreadCount() > 1) {
        try {
            helper = std::thread(work);
        } catch (const std::system_error&) {
            // No second thread to be had: this one does all the bands.
        }
    }
    work();
    if (helper.joinable())
        helper.join();
    return !failed;
}

// Band height for `source`: about bandBytes of working pixels, and at most
// half the picture, so that two threads share the work.
int bandRowsFor(const QImage& source, int channels)
{
    const qint64 rowBytes = qint64(source.width()) * channels;
    const int half = (source.height() + 1) / 2;
    return int(std::clamp<qint64>(std::min<qint64>(bandBytes / rowBytes, half), minBandRows, source.height()));
}

} // namespace

QImage::Format workingFormat(const QImage& source)
{
    return source.hasAlphaChannel() ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGB888;
}

int workingBytesPerPixel(const QImage& source)
{
    return layoutFor(workingFormat(source)).channels;
}

qint64 workingBytes(QSize sourceSize, QSize size, int bytesPerPixel)
{
    // The intermediate picture (target width, source height) plus one band
    // being converted by each of two threads.
    const qint64 wide = qint64(size.width()) * sourceSize.height() * bytesPerPixel;
    const qint64 band = std::max<qint64>(bandBytes, qint64(sourceSize.width()) * minBandRows * bytesPerPixel);
    return wide + 2 * band;
}

QImage resample(const QImage& source, QSize size, int bandRows)
{
    if (source.isNull() || size.isEmpty())
        return {};
    const QImage::Format format = workingFormat(source);
    if (size == source.size())
        return source.convertToFormat(format);
    const Layout layout = layoutFor(format);

    if (bandRows <= 0)
        bandRows = bandRowsFor(source, layout.channels);

    // First pass: along the rows (or just the conversion when the width stays).
    QImage wide;
    if (size.width() == source.width()) {
        wide = source.convertToFormat(format);
        if (wide.isNull())
            return {};
    } else {
        wide = QImage(size.width(), source.height(), format);
        if (wide.isNull() || !resampleRows(source, wide, bandRows))
            return {};
    }
    if (size.height() == source.height())
        return wide;

    // Second pass: along the columns.
    QImage result(size, format);
    if (result.isNull() ||
        !resize(wide.constBits(), wide.size(), wide.bytesPerLine(), result.bits(), size, result.bytesPerLine(), layout))
        return {};
    return result;
}

} // namespace BicubicResampler
