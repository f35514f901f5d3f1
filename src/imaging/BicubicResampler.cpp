// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BicubicResampler.h"

#include "common/core/Parallel.h"

#include <zimg.h>

#include <QThread>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <new>

namespace BicubicResampler {

void RowProgress::publish(int rows)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (rows > m_rows.load(std::memory_order_relaxed))
            m_rows.store(rows, std::memory_order_release);
    }
    m_changed.notify_all();
}

void RowProgress::abandon()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
}

bool RowProgress::waitFor(int row)
{
    if (row < m_rows.load(std::memory_order_acquire))
        return true;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return row < m_rows.load(std::memory_order_acquire) || m_abandoned; });
    return row < m_rows.load(std::memory_order_acquire);
}

namespace {

// zimg reads and writes rows at 32-byte aligned addresses and strides (64-byte
// when it uses 512-bit instructions).
constexpr qsizetype alignment = 64;

// Strips are at least this many rows of the result high, so that the rows
// they share in the source (the reach of the filter) stay few next to their
// own.
constexpr int minStripRows = 16;

// Strips of the result while the source is being filled. The helper thread
// takes them one after the other as their rows arrive; once the calling
// thread has filled the source, it takes those left. The smaller the strips,
// the less is left for the end, but each costs a filter set-up and the rows
// it shares with its neighbours. For a large map (decoding takes about as long
// as resampling there), the preview took 94 ms with 2 strips, 89 with 3, 84
// with 6 and 82 with 8 on a 2-core machine.
constexpr int stripsWhileFilling = 6;

qsizetype alignUp(qsizetype bytes)
{
    return (bytes + alignment - 1) / alignment * alignment;
}

// The bytes the threads of one call may still allocate.
class MemoryBudget {
public:
    explicit MemoryBudget(qint64 limit)
        : m_left(limit > 0 ? limit : std::numeric_limits<qint64>::max())
    {
    }

    bool take(qint64 bytes)
    {
        qint64 left = m_left.load();
        do {
            if (bytes > left)
                return false;
        } while (!m_left.compare_exchange_weak(left, left - bytes));
        return true;
    }

private:
    std::atomic<qint64> m_left;
};

// A buffer aligned for zimg that grows on demand, within the budget.
class AlignedBuffer {
public:
    // At least `bytes` aligned bytes; nullptr when the budget or the memory
    // is exhausted.
    uchar* reserve(qsizetype bytes, MemoryBudget& budget)
    {
        if (bytes > m_capacity) {
            const qsizetype allocation = bytes + alignment;
            m_storage.reset(); // the old buffer goes before the new one comes
            m_capacity = 0;
            if (!budget.take(allocation - m_charged))
                return nullptr;
            m_charged = allocation;
            m_storage.reset(new (std::nothrow) uchar[size_t(allocation)]);
            if (!m_storage)
                return nullptr;
            m_capacity = bytes;
        }
        const auto address = reinterpret_cast<quintptr>(m_storage.get());
        return m_storage.get() + (alignment - address % alignment) % alignment;
    }

private:
    std::unique_ptr<uchar[]> m_storage;
    qsizetype m_capacity = 0;
    qsizetype m_charged = 0;
};

// The colours of an indexed picture as premultiplied (with alpha) or plain
// RGBA bytes, for all 256 indexes. Indexes beyond the colour table read as Qt
// reads them: opaque black (transparent in a picture with alpha); an empty
// table is a grey ramp.
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

// Formats whose rows are split into zimg's planes here, a few at a time; other
// formats are first converted as a whole by Qt.
bool unpacksDirectly(QImage::Format format)
{
    return format == QImage::Format_Indexed8 || format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// The rows of a source picture, split into red, green, blue (and alpha)
// planes, premultiplied when there is alpha.
class SourceRows {
public:
    SourceRows(const QImage& source, bool alpha)
        : m_bits(source.constBits())
        , m_stride(source.bytesPerLine())
        , m_format(source.format())
        , m_alpha(alpha)
    {
        if (m_format == QImage::Format_Indexed8)
            m_palette = paletteFor(source, alpha);
    }

    void unpack(int row, unsigned left, unsigned right, uchar* const planes[4]) const
    {
        const uchar* line = m_bits + row * m_stride;
        if (m_format == QImage::Format_Indexed8) {
            if (m_alpha)
                expand<true>(line, left, right, planes);
            else
                expand<false>(line, left, right, planes);
            return;
        }
        const auto* pixels = reinterpret_cast<const QRgb*>(line);
        const bool premultiply = m_format == QImage::Format_ARGB32 && m_alpha;
        for (unsigned x = left; x < right; ++x) {
            const QRgb pixel = premultiply ? qPremultiply(pixels[x]) : pixels[x];
            planes[0][x] = uchar(qRed(pixel));
            planes[1][x] = uchar(qGreen(pixel));
            planes[2][x] = uchar(qBlue(pixel));
            if (m_alpha)
                planes[3][x] = uchar(qAlpha(pixel));
        }
    }

private:
    template <bool alpha> void expand(const uchar* indexes, unsigned left, unsigned right, uchar* const planes[4]) const
    {
        uchar* red = planes[0];
        uchar* green = planes[1];
        uchar* blue = planes[2];
        uchar* opacity = planes[3];
        for (unsigned x = left; x < right; ++x) {
            const std::array<uchar, 4>& color = m_palette[indexes[x]];
            red[x] = color[0];
            green[x] = color[1];
            blue[x] = color[2];
            if constexpr (alpha)
                opacity[x] = color[3];
        }
    }

    const uchar* m_bits;
    qsizetype m_stride;
    QImage::Format m_format;
    bool m_alpha;
    Palette m_palette{};
};

// One horizontal strip of the result and the source rows it reads.
struct Strip {
    int first;       // first row of the result
    int count;       // rows of the result
    int sourceFirst; // first source row read
    int sourceCount; // source rows read
    double top;      // where the strip starts in the source, counted from sourceFirst
    double height;   // how many source rows it spans
};

Strip stripOf(int index, int strips, QSize sourceSize, QSize size)
{
    const int first = int(qint64(size.height()) * index / strips);
    const int last = int(qint64(size.height()) * (index + 1) / strips);
    const double top = double(sourceSize.height()) * first / size.height();
    const double bottom = double(sourceSize.height()) * last / size.height();
    // The cubic reaches two pixels either way, widened by the reduction
    // factor; two rows more leave room for rounding. Within that reach a strip
    // sees the same rows as the whole picture would, so it computes the same
    // pixels.
    const double scale = std::max(1.0, double(sourceSize.height()) / size.height());
    const int reach = int(std::ceil(2 * scale)) + 2;
    const int sourceFirst = std::max(0, int(std::floor(top)) - reach);
    const int sourceLast = std::min(sourceSize.height(), int(std::ceil(bottom)) + reach);
    return {first, last - first, sourceFirst, sourceLast - sourceFirst, top - sourceFirst, bottom - top};
}

// What the threads of one call share.
struct Job {
    const SourceRows& rows;
    QSize sourceSize;
    QSize size;
    bool alpha;
    RowProgress* progress; // null when every source row is there
    const std::function<bool()>& cancelled;
    uchar* resultBits;
    qsizetype resultStride;
    MemoryBudget& budget;
};

struct GraphDeleter {
    void operator()(zimg_filter_graph* graph) const { zimg_filter_graph_free(graph); }
};
using Graph = std::unique_ptr<zimg_filter_graph, GraphDeleter>;

zimg_image_format planarFormat(QSize size, bool alpha)
{
    zimg_image_format format;
    zimg_image_format_default(&format, ZIMG_API_VERSION);
    format.width = unsigned(size.width());
    format.height = unsigned(size.height());
    format.pixel_type = ZIMG_PIXEL_BYTE;
    format.color_family = ZIMG_COLOR_RGB;
    format.pixel_range = ZIMG_RANGE_FULL;
    format.depth = 8;
    format.alpha = alpha ? ZIMG_ALPHA_PREMULTIPLIED : ZIMG_ALPHA_NONE;
    return format;
}

// Resamples strips on one thread, reusing its buffers from strip to strip.
class StripRunner {
public:
    explicit StripRunner(const Job& job)
        : m_job(job)
        , m_planes(job.alpha ? 4 : 3)
    {
    }

    bool run(const Strip& strip)
    {
        m_strip = strip;
        zimg_image_format in = planarFormat(QSize(m_job.sourceSize.width(), strip.sourceCount), m_job.alpha);
        in.active_region.left = 0;
        in.active_region.width = m_job.sourceSize.width();
        in.active_region.top = strip.top;
        in.active_region.height = strip.height;
        const zimg_image_format out = planarFormat(QSize(m_job.size.width(), strip.count), m_job.alpha);
        zimg_graph_builder_params params;
        zimg_graph_builder_params_default(&params, ZIMG_API_VERSION);
        params.resample_filter = ZIMG_RESIZE_BICUBIC;
        params.filter_param_a = 0.0; // b: no blur
        params.filter_param_b = 0.5; // c: Catmull-Rom
        const Graph graph(zimg_filter_graph_build(&in, &out, &params));
        size_t tmpBytes = 0;
        unsigned inLines = 0;
        unsigned outLines = 0;
        if (!graph || zimg_filter_graph_get_tmp_size(graph.get(), &tmpBytes) != ZIMG_ERROR_SUCCESS ||
            zimg_filter_graph_get_input_buffering(graph.get(), &inLines) != ZIMG_ERROR_SUCCESS ||
            zimg_filter_graph_get_output_buffering(graph.get(), &outLines) != ZIMG_ERROR_SUCCESS)
            return false;

        // Ring buffers of a power-of-two number of rows (or whole planes when
        // zimg asks for all rows), one per plane, then zimg's own scratch.
        m_inMask = zimg_select_buffer_mask(inLines);
        m_outMask = zimg_select_buffer_mask(outLines);
        const qsizetype inRows = m_inMask == ZIMG_BUFFER_MAX ? strip.sourceCount : qsizetype(m_inMask) + 1;
        const qsizetype outRows = m_outMask == ZIMG_BUFFER_MAX ? strip.count : qsizetype(m_outMask) + 1;
        m_inStride = alignUp(m_job.sourceSize.width());
        m_outStride = alignUp(m_job.size.width());
        const qsizetype inBytes = m_inStride * inRows;
        const qsizetype outBytes = m_outStride * outRows;
        uchar* memory = m_buffer.reserve(m_planes * (inBytes + outBytes) + alignUp(qsizetype(tmpBytes)), m_job.budget);
        if (!memory)
            return false;

        zimg_image_buffer_const source{};
        zimg_image_buffer target{};
        source.version = ZIMG_API_VERSION;
        target.version = ZIMG_API_VERSION;
        for (int p = 0; p < m_planes; ++p) {
            m_in[p] = memory + p * inBytes;
            m_out[p] = memory + m_planes * inBytes + p * outBytes;
            source.plane[p] = {m_in[p], m_inStride, m_inMask};
            target.plane[p] = {m_out[p], m_outStride, m_outMask};
        }
        void* scratch = memory + m_planes * (inBytes + outBytes);
        return zimg_filter_graph_process(graph.get(), &source, &target, scratch, unpackRow, this, packRow, this) ==
               ZIMG_ERROR_SUCCESS;
    }

private:
    // zimg asks for source row `i` of the strip, columns [left, right).
    static int unpackRow(void* user, unsigned i, unsigned left, unsigned right)
    {
        auto* self = static_cast<StripRunner*>(user);
        const int row = self->m_strip.sourceFirst + int(i);
        if (self->m_job.cancelled && self->m_job.cancelled())
            return 1;
        if (self->m_job.progress && !self->m_job.progress->waitFor(row))
            return 1;
        const qsizetype offset = qsizetype(i & self->m_inMask) * self->m_inStride;
        uchar* const planes[4] = {self->m_in[0] + offset, self->m_in[1] + offset, self->m_in[2] + offset,
                                  self->m_planes == 4 ? self->m_in[3] + offset : nullptr};
        self->m_job.rows.unpack(row, left, right, planes);
        return 0;
    }

    // zimg has written row `i` of the strip, columns [left, right).
    static int packRow(void* user, unsigned i, unsigned left, unsigned right)
    {
        auto* self = static_cast<StripRunner*>(user);
        const qsizetype offset = qsizetype(i & self->m_outMask) * self->m_outStride;
        const uchar* red = self->m_out[0] + offset;
        const uchar* green = self->m_out[1] + offset;
        const uchar* blue = self->m_out[2] + offset;
        auto* line = reinterpret_cast<QRgb*>(self->m_job.resultBits +
                                             qsizetype(self->m_strip.first + int(i)) * self->m_job.resultStride);
        if (self->m_planes == 3) {
            for (unsigned x = left; x < right; ++x)
                line[x] = qRgb(red[x], green[x], blue[x]);
            return 0;
        }
        // The cubic's overshoot can leave a colour above its alpha, which is
        // no premultiplied colour at all; it is cut back to the alpha.
        const uchar* opacity = self->m_out[3] + offset;
        for (unsigned x = left; x < right; ++x) {
            const uchar a = opacity[x];
            line[x] = qRgba(std::min(red[x], a), std::min(green[x], a), std::min(blue[x], a), a);
        }
        return 0;
    }

    const Job& m_job;
    const int m_planes;
    AlignedBuffer m_buffer;
    Strip m_strip{};
    uchar* m_in[4] = {};
    uchar* m_out[4] = {};
    qsizetype m_inStride = 0;
    qsizetype m_outStride = 0;
    unsigned m_inMask = 0;
    unsigned m_outMask = 0;
};

int stripCount(const Options& options, QSize size, bool filling)
{
    if (options.strips > 0)
        return std::min(options.strips, size.height());
    if (QThread::idealThreadCount() < 2)
        return 1;
    return std::clamp(size.height() / minStripRows, 1, filling ? stripsWhileFilling : 2);
}

// Runs `fill` to the end before anything else is done.
bool fillAll(const Options& options)
{
    if (!options.fill)
        return true;
    RowProgress progress;
    return options.fill(progress);
}

} // namespace

QImage::Format workingFormat(const QImage& source)
{
    return source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

QImage resample(const QImage& source, QSize size, const Options& options)
{
    if (source.isNull() || size.isEmpty())
        return {};
    const QImage::Format format = workingFormat(source);
    const bool alpha = format == QImage::Format_ARGB32_Premultiplied;
    if (size == source.size())
        return fillAll(options) ? source.convertToFormat(format) : QImage();

    MemoryBudget budget(options.memoryLimit);
    bool filling = bool(options.fill);
    QImage converted;
    if (!unpacksDirectly(source.format())) {
        // Qt converts these formats as a whole, so every row must be there first.
        if (!fillAll(options))
            return {};
        filling = false;
        if (!budget.take(qint64(source.width()) * source.height() * 4))
            return {};
        converted = source.convertToFormat(format);
        if (converted.isNull())
            return {};
    }
    const SourceRows rows(converted.isNull() ? source : converted, alpha);

    QImage result(size, format);
    if (result.isNull())
        return {};
    RowProgress progress;
    const Job job{rows,          source.size(),         size,  alpha, filling ? &progress : nullptr, options.cancelled,
                  result.bits(), result.bytesPerLine(), budget};
    const int strips = stripCount(options, size, filling);
    std::atomic<int> nextStrip{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        try {
            StripRunner runner(job);
            for (int strip = nextStrip++; strip < strips && !failed; strip = nextStrip++)
                if (!runner.run(stripOf(strip, strips, source.size(), size)))
                    failed = true;
        } catch (const std::bad_alloc&) {
            failed = true;
        }
    };

    // This thread fills the source, if it has to, then takes strips beside
    // the helper.
    const auto here = [&] {
        if (filling) {
            bool filled = false;
            try {
                filled = options.fill(progress);
            } catch (const std::exception&) {
                filled = false; // reported as a failure below, once the helper has stopped
            }
            if (filled) {
                progress.publish(source.height());
            } else {
                failed = true;
                progress.abandon();
            }
        }
        work();
    };
    if (strips > 1)
        Parallel::both(here, work);
    else
        here();
    return failed ? QImage() : result;
}

} // namespace BicubicResampler
