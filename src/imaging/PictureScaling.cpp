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

#include <algorithm>
#include <cmath>
#include <new>

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

// The sizes one call works with, and the memory they take.
struct Plan {
    QSize box;    // the finished picture
    QRect target; // where the picture is drawn in it

    Plan(QSize imageSize, QSize wanted, bool keepProportions)
        : box(requestedSize(wanted, imageSize))
        , target(box.isEmpty() ? QRect() : drawRect(imageSize, box, keepProportions))
    {
    }

    // Memory for everything but the resampler's own buffers: the file's
    // bytes, the decoded picture of `imageSize` at `decodedBpp` bytes per
    // pixel, the resampled picture and the finished one.
    static qint64 baseBytes(qint64 fileBytes, QSize imageSize, qint64 decodedBpp, QSize target, QSize box)
    {
        return fileBytes + qint64(imageSize.width()) * imageSize.height() * decodedBpp +
               qint64(target.width()) * target.height() * 4 + qint64(box.width()) * box.height() * 4;
    }

    // Whether the sizes make sense and the picture leaves room within the
    // budget; `resamplerBytes` is then what the resampler may still take.
    bool fits(qint64 fileBytes, QSize imageSize, qint64 decodedBpp, qint64* resamplerBytes = nullptr) const
    {
        if (imageSize.isEmpty() || box.width() < 1 || box.height() < 1)
            return false;
        if (imageSize.width() > maxPictureSide || imageSize.height() > maxPictureSide)
            return false;
        const qint64 left = memoryBudget - baseBytes(fileBytes, imageSize, decodedBpp, target.size(), box);
        if (resamplerBytes)
            *resamplerBytes = left;
        return left > 0;
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
                        bool keepProportions, const Cancelled& cancelled)
{
    IndexedPngReader reader(bytes);
    if (!reader.readHeader())
        return {};
    const Plan plan(reader.size(), wanted, keepProportions);
    BicubicResampler::Options options;
    options.cancelled = cancelled;
    if (!plan.fits(fileBytes, reader.size(), 1, &options.memoryLimit))
        return {};
    QImage indexed(reader.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return {};
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

// Any other picture: decoded whole by Qt, then resampled.
QImage renderDecoded(QByteArray& bytes, qint64 fileBytes, QSize wanted, const QColor& background, bool keepProportions,
                     const Cancelled& cancelled)
{
    QImage image;
    {
        CancellableBuffer buffer(&bytes, cancelled);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(false); // pixels as stored, whatever orientation a JPEG declares
        const QSize declared = reader.size();
        if (declared.isValid() && !Plan(declared, wanted, keepProportions)
                                       .fits(fileBytes, declared, decodedBytesPerPixel(reader.imageFormat())))
            return {};
        image = reader.read();
    }
    bytes = QByteArray();
    if (image.isNull() || isCancelled(cancelled))
        return {};

    const Plan plan(image.size(), wanted, keepProportions);
    BicubicResampler::Options options;
    options.cancelled = cancelled;
    if (!plan.fits(0, image.size(), (image.depth() + 7) / 8, &options.memoryLimit))
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

QImage render(const QString& file, QSize wanted, const QColor& background, bool keepProportions,
              const Cancelled& cancelled)
{
    if (isCancelled(cancelled))
        return {};
    QFile f;
    if (!OutsideFile::open(file, f))
        return {};
    const qint64 size = f.size();
    if (size <= 0 || size > memoryBudget)
        return {};
    QByteArray bytes = readAll(f, size, cancelled);
    f.close();
    if (bytes.size() != size)
        return {};
    const qint64 fileBytes = bytes.size();
    PngChunks::stripForeignChunks(bytes);
    if (IndexedPngReader::canRead(bytes))
        return renderIndexedPng(bytes, fileBytes, wanted, background, keepProportions, cancelled);
    return renderDecoded(bytes, fileBytes, wanted, background, keepProportions, cancelled);
}

} // namespace

PictureError PictureError::loading(const QString& file)
{
    return {loadErrorNumber, loadErrorSource(), QStringLiteral("Error loading picture ") + file};
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
    Q_UNUSED(allocationLimitSet);
    QImage picture;
    try {
        picture = render(file, wanted, background, keepProportions, cancelled);
    } catch (const std::bad_alloc&) {
        picture = QImage();
    }
    if (picture.isNull())
        return PictureError::loading(file);
    return picture;
}

} // namespace PictureScaling
