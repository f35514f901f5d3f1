// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureScaling.h"

#include "imaging/BicubicResampler.h"
#include "imaging/IndexedPngReader.h"
#include "imaging/PngChunks.h"

#include "common/core/OutsideFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

namespace PictureScaling {

namespace {

// Qt refuses on its own to allocate a decoded picture above its allocation
// limit (128 MB by default), also for formats whose header does not tell the
// size in advance. The limit is set to our budget once, while the program
// loads and before any thread can be reading pictures.
const bool allocationLimitSet = [] {
    const int budgetMegabytes = int(memoryBudget >> 20);
    if (QImageReader::allocationLimit() > 0 && QImageReader::allocationLimit() < budgetMegabytes)
        QImageReader::setAllocationLimit(budgetMegabytes);
    return true;
}();

// Bytes per pixel of a decoded picture of `format`; the widest format Qt
// decodes to when the reader cannot tell before decoding.
qint64 decodedBytesPerPixel(QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 0 : QImage::toPixelFormat(format).bitsPerPixel();
    return bits > 0 ? (bits + 7) / 8 : 16;
}

// The size of the finished picture: the picture's own size when either
// dimension wanted is -1, otherwise the size wanted (checked by Plan::fits()).
QSize requestedSize(QSize wanted, QSize imageSize)
{
    if (wanted.width() == -1 || wanted.height() == -1)
        return imageSize;
    return wanted;
}

using Cancelled = std::function<bool()>;

bool isCancelled(const Cancelled& cancelled)
{
    return cancelled && cancelled();
}

// The file's bytes as Qt's decoders read them: once the caller has given up,
// reading fails, and the decoder stops with an error instead of finishing a
// picture nobody wants.
class CancellableBuffer : public QBuffer {
public:
    CancellableBuffer(QByteArray* bytes, const Cancelled& cancelled)
        : QBuffer(bytes)
        , m_cancelled(cancelled)
    {
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (isCancelled(m_cancelled))
            return -1;
        return QBuffer::readData(data, maxSize);
    }

private:
    const Cancelled& m_cancelled;
};

// Whether a picture can be rendered as planned.
enum class Fit {
    Yes,
    Invalid,  // no picture, or nothing asked for
    TooLarge, // beyond the longest side or the memory budget
};

// True for Fit::Yes; notes in `tooLarge` a refusal for the picture's size.
bool accepted(Fit fit, bool& tooLarge)
{
    tooLarge = fit == Fit::TooLarge;
    return fit == Fit::Yes;
}

// The sizes one call works with, and the memory they take.
struct Plan {
    QSize box;    // the finished picture
    QRect target; // where the picture is drawn in it

    Plan(QSize imageSize, QSize wanted, bool keepProportions)
        : box(requestedSize(wanted, imageSize))
        , target(box.isEmpty() ? QRect() : drawRect(imageSize, box, keepProportions))
    {
    }

    // Whether the sizes make sense and the picture leaves room within the
    // budget beside `heldBytes` (the file's bytes and the decoded picture, or
    // whatever stands for it), the resampled picture and the finished one;
    // `resamplerBytes` is then what the resampler may still take.
    Fit fits(QSize imageSize, double heldBytes, qint64* resamplerBytes = nullptr) const
    {
        if (imageSize.isEmpty() || box.width() < 1 || box.height() < 1)
            return Fit::Invalid;
        if (imageSize.width() > maxPictureSide || imageSize.height() > maxPictureSide)
            return Fit::TooLarge;
        // In floating point: the sizes asked for may be anything.
        const double left = double(memoryBudget) - heldBytes - double(target.width()) * target.height() * 4 -
                            double(box.width()) * box.height() * 4;
        if (left <= 0)
            return Fit::TooLarge;
        if (resamplerBytes)
            *resamplerBytes = qint64(left);
        return Fit::Yes;
    }

    // fits() for a picture of `imageSize` decoded at `decodedBpp` bytes per
    // pixel beside the file's bytes.
    Fit fitsDecoded(qint64 fileBytes, QSize imageSize, qint64 decodedBpp, qint64* resamplerBytes = nullptr) const
    {
        return fits(imageSize, double(fileBytes) + double(imageSize.width()) * imageSize.height() * decodedBpp,
                    resamplerBytes);
    }
};

// `image` resampled to the plan's target and drawn on `background` in a
// picture of the plan's box. `options` are handed to the resampler.
QImage compose(const QImage& image, const Plan& plan, const QColor& background,
               const BicubicResampler::Options& options)
{
    QImage scaled;
    if (!plan.target.isEmpty()) {
        scaled = BicubicResampler::resample(image, plan.target.size(), options);
        if (scaled.isNull())
            return {};
    }
    // Opaque and covering the whole box: the resampled picture is the picture.
    if (scaled.format() == QImage::Format_RGB32 && plan.target == QRect(QPoint(0, 0), plan.box))
        return scaled;
    QImage picture(plan.box, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    picture.fill(background.rgb());
    if (!scaled.isNull()) {
        QPainter painter(&picture);
        painter.drawImage(plan.target.topLeft(), scaled);
    }
    return picture;
}

// A palette PNG (the game's maps): decoded row by row on this thread while the
// resampler's helper thread already resamples the rows that are there.
QImage renderIndexedPng(const QByteArray& bytes, qint64 fileBytes, QSize wanted, const QColor& background,
                        bool keepProportions, const Cancelled& cancelled, bool& tooLarge)
{
    IndexedPngReader reader(bytes);
    if (!reader.readHeader())
        return {};
    const Plan plan(reader.size(), wanted, keepProportions);
    BicubicResampler::Options options;
    options.cancelled = cancelled;
    if (!accepted(plan.fitsDecoded(fileBytes, reader.size(), 1, &options.memoryLimit), tooLarge))
        return {};
    QImage indexed(reader.size(), QImage::Format_Indexed8);
    if (indexed.isNull()) {
        tooLarge = true;
        return {};
    }
    indexed.setColorTable(reader.colorTable());
    // The rows are written through this pointer while the resampler reads
    // them from `indexed`, which is neither copied nor detached meanwhile.
    uchar* const rows = indexed.bits();
    const qsizetype bytesPerLine = indexed.bytesPerLine();
    options.fill = [&reader, rows, bytesPerLine, &cancelled](BicubicResampler::RowProgress& progress) {
        constexpr int rowsAtOnce = 16;
        const int total = reader.size().height();
        if (reader.interlaced()) {
            // Its rows are complete only once the last pass is read.
            if (isCancelled(cancelled) || !reader.readRows(rows, bytesPerLine, total))
                return false;
            progress.publish(total);
            return reader.finish();
        }
        for (int done = 0; done < total;) {
            if (isCancelled(cancelled))
                return false;
            const int count = std::min(rowsAtOnce, total - done);
            if (!reader.readRows(rows + done * bytesPerLine, bytesPerLine, count))
                return false;
            done += count;
            progress.publish(done);
        }
        return reader.finish();
    };
    if (plan.target.isEmpty()) {
        // Nothing to draw, but a damaged file is still found out.
        BicubicResampler::RowProgress progress;
        if (!options.fill(progress))
            return {};
        options.fill = nullptr;
    }
    return compose(indexed, plan, background, options);
}

// The grid of cells a large palette picture of `imageSize` is averaged into
// for a drawn size of `target`: `factor` times the drawn size, but never finer
// than the picture's pixels nor empty.
QSize cellGrid(QSize imageSize, QSize target, int factor)
{
    return QSize(std::clamp(target.width() * factor, 1, imageSize.width()),
                 std::clamp(target.height() * factor, 1, imageSize.height()));
}

// Memory averageCells() takes for a picture of `imageSize` into `grid`.
double cellBytes(QSize imageSize, QSize grid)
{
    const double cells = double(grid.width()) * grid.height();
    return cells * (3 * sizeof(quint64) + 4) + double(imageSize.width()) * (1 + sizeof(int)) +
           double(imageSize.height()) * sizeof(int) + double(grid.width() + grid.height()) * sizeof(quint64);
}

// The pixels of the picture `reader` (stored rows, header read) averaged
// over the cells of `grid`, each colour first laid over `background`: every
// pixel as it is decoded, in whatever order the file stores them, goes into
// the cell its place falls in, so that no more than one stored row is held.
// Null when the data is damaged or cut short or the work is cancelled.
QImage averageCells(IndexedPngReader& reader, QSize grid, const QColor& background, const Cancelled& cancelled)
{
    const int width = reader.size().width(), height = reader.size().height();
    const int columns = grid.width(), lines = grid.height();
    std::array<std::array<quint32, 3>, 256> colours{};
    const QList<QRgb> table = reader.colorTable();
    const QRgb under = background.rgb();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i) {
        const int a = qAlpha(table[i]);
        const auto over = [a](int v, int b) { return quint32((v * a + b * (255 - a) + 127) / 255); };
        colours[size_t(i)] = {over(qRed(table[i]), qRed(under)), over(qGreen(table[i]), qGreen(under)),
                              over(qBlue(table[i]), qBlue(under))};
    }
    // Which cell each column and row falls in, and how many fall in each.
    std::vector<int> cellX(static_cast<size_t>(width)), cellY(static_cast<size_t>(height));
    std::vector<quint64> countX(static_cast<size_t>(columns)), countY(static_cast<size_t>(lines));
    for (int x = 0; x < width; ++x)
        ++countX[size_t(cellX[size_t(x)] = int(qint64(x) * columns / width))];
    for (int y = 0; y < height; ++y)
        ++countY[size_t(cellY[size_t(y)] = int(qint64(y) * lines / height))];

    std::vector<quint64> sums(size_t(columns) * size_t(lines) * 3);
    std::vector<uchar> row(static_cast<size_t>(width));
    int count = 0;
    IndexedPngReader::Placement at;
    while (reader.readStoredRow(row.data(), &count, &at)) {
        if (isCancelled(cancelled))
            return {};
        quint64* const line = sums.data() + size_t(cellY[size_t(at.y)]) * size_t(columns) * 3;
        for (int i = 0, x = at.firstX; i < count; ++i, x += at.stepX) {
            const std::array<quint32, 3>& colour = colours[row[size_t(i)]];
            quint64* const sum = line + size_t(cellX[size_t(x)]) * 3;
            sum[0] += colour[0];
            sum[1] += colour[1];
            sum[2] += colour[2];
        }
    }
    if (!reader.finish())
        return {};

    QImage cells(grid, QImage::Format_RGB32);
    if (cells.isNull())
        return {};
    for (int cy = 0; cy < lines; ++cy) {
        auto* out = reinterpret_cast<QRgb*>(cells.scanLine(cy));
        const quint64* sum = sums.data() + size_t(cy) * size_t(columns) * 3;
        for (int cx = 0; cx < columns; ++cx, sum += 3) {
            const quint64 n = countX[size_t(cx)] * countY[size_t(cy)];
            const auto mean = [n](quint64 total) { return int((total + n / 2) / n); };
            out[cx] = qRgb(mean(sum[0]), mean(sum[1]), mean(sum[2]));
        }
    }
    return cells;
}

// A palette PNG of over largePixels pixels, read from `file` as a stream and
// averaged into cells of twice the drawn size (of the drawn size where the
// budget leaves no room for that), which are then resampled.
QImage renderLargeIndexedPng(QIODevice& file, QSize wanted, const QColor& background, bool keepProportions,
                             const Cancelled& cancelled, bool& tooLarge)
{
    IndexedPngReader reader(file, IndexedPngReader::Rows::Stored);
    if (!reader.readHeader())
        return {};
    const QSize size = reader.size();
    const Plan plan(size, wanted, keepProportions);
    BicubicResampler::Options options;
    options.cancelled = cancelled;
    QSize grid;
    Fit fit = Fit::TooLarge;
    for (const int factor : {2, 1}) {
        grid = cellGrid(size, plan.target.size(), factor);
        fit = plan.fits(size, cellBytes(size, grid), &options.memoryLimit);
        if (fit != Fit::TooLarge)
            break;
    }
    if (!accepted(fit, tooLarge))
        return {};
    const QImage cells = averageCells(reader, grid, background, cancelled);
    if (cells.isNull())
        return {};
    return compose(cells, plan, background, options);
}

// Any other picture: decoded whole by Qt, then resampled.
QImage renderDecoded(QByteArray& bytes, qint64 fileBytes, QSize wanted, const QColor& background, bool keepProportions,
                     const Cancelled& cancelled, bool& tooLarge)
{
    QImage image;
    {
        CancellableBuffer buffer(&bytes, cancelled);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(false); // pixels as stored, whatever orientation a JPEG declares
        const QSize declared = reader.size();
        if (declared.isValid() &&
            !accepted(Plan(declared, wanted, keepProportions)
                          .fitsDecoded(fileBytes, declared, decodedBytesPerPixel(reader.imageFormat())),
                      tooLarge))
            return {};
        image = reader.read();
    }
    bytes = QByteArray();
    if (image.isNull() || isCancelled(cancelled))
        return {};

    const Plan plan(image.size(), wanted, keepProportions);
    BicubicResampler::Options options;
    options.cancelled = cancelled;
    if (!accepted(plan.fitsDecoded(0, image.size(), (image.depth() + 7) / 8, &options.memoryLimit), tooLarge))
        return {};
    return compose(image, plan, background, options);
}

// The whole file, read a piece at a time so that a large file on a slow disk
// can be given up; empty when it cannot be read whole.
QByteArray readAll(QFile& f, qint64 size, const Cancelled& cancelled)
{
    constexpr qint64 piece = qint64(4) << 20;
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        if (isCancelled(cancelled))
            return {};
        const qint64 n = f.read(bytes.data() + done, std::min(piece, size - done));
        if (n <= 0)
            return {};
        done += n;
    }
    return bytes;
}

// The number of pixels the header of a palette PNG at the start of `head`
// declares (up to 2^64 - 2^33 + 1: unsigned); 0 for anything else.
quint64 indexedPixels(const QByteArray& head)
{
    if (!IndexedPngReader::canRead(head))
        return 0;
    return quint64(qFromBigEndian<quint32>(head.constData() + 16)) * qFromBigEndian<quint32>(head.constData() + 20);
}

// A picture file held in memory.
QImage renderBytes(QByteArray bytes, QSize wanted, const QColor& background, bool keepProportions,
                   const Cancelled& cancelled, bool& tooLarge)
{
    if (indexedPixels(bytes.left(8 + 8 + 13)) > quint64(largePixels)) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return renderLargeIndexedPng(buffer, wanted, background, keepProportions, cancelled, tooLarge);
    }
    const qint64 fileBytes = bytes.size();
    PngChunks::stripForeignChunks(bytes);
    if (IndexedPngReader::canRead(bytes))
        return renderIndexedPng(bytes, fileBytes, wanted, background, keepProportions, cancelled, tooLarge);
    return renderDecoded(bytes, fileBytes, wanted, background, keepProportions, cancelled, tooLarge);
}

QImage render(const QString& file, QSize wanted, const QColor& background, bool keepProportions,
              const Cancelled& cancelled, bool& tooLarge)
{
    if (isCancelled(cancelled))
        return {};
    QFile f;
    if (!OutsideFile::open(file, f))
        return {};
    const qint64 size = f.size();
    if (size <= 0)
        return {};
    // Signature and header, which come first also in the game's maps.
    if (indexedPixels(f.peek(8 + 8 + 13)) > quint64(largePixels))
        return renderLargeIndexedPng(f, wanted, background, keepProportions, cancelled, tooLarge);
    if (size > memoryBudget) {
        tooLarge = true;
        return {};
    }
    QByteArray bytes = readAll(f, size, cancelled);
    f.close();
    if (bytes.size() != size)
        return {};
    return renderBytes(std::move(bytes), wanted, background, keepProportions, cancelled, tooLarge);
}

template <typename Render> PictureResult guarded(const QString& name, Render render)
{
    Q_UNUSED(allocationLimitSet);
    QImage picture;
    bool tooLarge = false;
    try {
        picture = render(tooLarge);
    } catch (const std::bad_alloc&) {
        picture = QImage();
        tooLarge = true; // within the budget, yet more than the machine had to give
    }
    if (picture.isNull())
        return tooLarge ? PictureError::tooLarge(name) : PictureError::loading(name);
    return picture;
}

} // namespace

PictureError PictureError::loading(const QString& file)
{
    return {loadErrorNumber, loadErrorSource(), QStringLiteral("Error loading picture ") + file};
}

PictureError PictureError::tooLarge(const QString& file)
{
    return {tooLargeErrorNumber, loadErrorSource(), QStringLiteral("Too large to preview: ") + file};
}

PictureResult::PictureResult(QImage picture)
    : m_picture(std::move(picture))
{
}

PictureResult::PictureResult(PictureError error)
    : m_error(std::move(error))
{
}

int roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return int(below) + 1;
    if (fraction < 0.5)
        return int(below);
    return std::fmod(below, 2.0) == 0.0 ? int(below) : int(below) + 1;
}

QRect drawRect(QSize imageSize, QSize boxSize, bool keepProportions)
{
    if (!keepProportions)
        return QRect(QPoint(0, 0), boxSize);
    if (imageSize.isEmpty() || boxSize.isEmpty())
        return {};
    const double imageRatio = double(imageSize.width()) / imageSize.height();
    const double boxRatio = double(boxSize.width()) / boxSize.height();
    double drawnWidth = 0;
    double drawnHeight = 0;
    if (boxRatio < imageRatio) {
        drawnWidth = boxSize.width();
        drawnHeight = boxSize.width() / imageRatio;
    } else {
        drawnWidth = boxSize.height() * imageRatio;
        drawnHeight = boxSize.height();
    }
    const int w = roundHalfEven(drawnWidth);
    const int h = roundHalfEven(drawnHeight);
    return QRect(roundHalfEven((boxSize.width() - w) / 2.0), roundHalfEven((boxSize.height() - h) / 2.0), w, h);
}

PictureResult loadPictureResized(const QString& file, QSize wanted, const QColor& background, bool keepProportions,
                                 const std::function<bool()>& cancelled)
{
    return guarded(
        file, [&](bool& tooLarge) { return render(file, wanted, background, keepProportions, cancelled, tooLarge); });
}

PictureResult renderPicture(const QByteArray& bytes, const QString& name, QSize wanted, const QColor& background,
                            bool keepProportions, const std::function<bool()>& cancelled)
{
    return guarded(name, [&](bool& tooLarge) {
        if (bytes.size() > memoryBudget) {
            tooLarge = true;
            return QImage();
        }
        return renderBytes(bytes, wanted, background, keepProportions, cancelled, tooLarge);
    });
}

} // namespace PictureScaling
