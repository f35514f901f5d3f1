#include "common/core/PictureScaling.h"

#include "common/core/BicubicResampler.h"
#include "common/core/PngChunks.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

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

// Memory one call needs at its peak for a picture of `imageSize` decoded at
// `decodedBpp` bytes per pixel from a file of `fileBytes`, drawn into
// `target` inside a picture of `box`.
qint64 neededBytes(qint64 fileBytes, QSize imageSize, qint64 decodedBpp, const QRect& target, QSize box)
{
    constexpr int workingBpp = 4; // the resampler's widest working format
    const qint64 decoded = qint64(imageSize.width()) * imageSize.height() * decodedBpp;
    const qint64 result = qint64(box.width()) * box.height() * 4;
    qint64 scaling = 0;
    if (!target.isEmpty() && target.size() != imageSize)
        scaling = BicubicResampler::workingBytes(imageSize, target.size(), workingBpp) +
                  qint64(target.width()) * target.height() * workingBpp;
    return fileBytes + decoded + scaling + result;
}

// The picture's size after the -1 rule, or an empty size when the request
// cannot be met.
QSize requestedSize(int width, int height, QSize imageSize)
{
    if (width == -1 || height == -1)
        return imageSize;
    return QSize(width, height);
}

bool fits(qint64 fileBytes, QSize imageSize, qint64 decodedBpp, QSize box, bool keepProportions)
{
    if (imageSize.isEmpty() || box.width() < 1 || box.height() < 1)
        return false;
    const QRect target = drawRect(imageSize, box, keepProportions);
    return neededBytes(fileBytes, imageSize, decodedBpp, target, box) <= memoryBudget;
}

QImage render(const QString& file, QSize& size, int width, int height, const QColor& background, bool keepProportions)
{
    const QFileInfo info(file);
    if (!info.isFile() || info.size() <= 0 || info.size() > memoryBudget)
        return {};
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.read(info.size());
    f.close();
    if (bytes.size() != info.size())
        return {};
    const qint64 fileBytes = bytes.size();
    PngChunks::stripForeignChunks(bytes);

    QImage image;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(false);
        const QSize declared = reader.size();
        if (declared.isValid() && !fits(fileBytes, declared, decodedBytesPerPixel(reader.imageFormat()),
                                        requestedSize(width, height, declared), keepProportions))
            return {};
        image = reader.read();
    }
    bytes = QByteArray();
    if (image.isNull())
        return {};

    const QSize box = requestedSize(width, height, image.size());
    if (!fits(0, image.size(), (image.depth() + 7) / 8, box, keepProportions))
        return {};
    const QRect target = drawRect(image.size(), box, keepProportions);

    QImage picture(box, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    picture.fill(background.rgb());
    if (!target.isEmpty()) {
        if (target.size() != image.size()) {
            image = BicubicResampler::resample(image, target.size());
            if (image.isNull())
                return {};
        }
        QPainter painter(&picture);
        painter.drawImage(target.topLeft(), image);
    }
    size = box;
    return picture;
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

PictureResult loadPictureResized(const QString& file, int& width, int& height, const QColor& background,
                                 bool keepProportions)
{
    Q_UNUSED(allocationLimitSet);
    QSize size;
    QImage picture;
    try {
        picture = render(file, size, width, height, background, keepProportions);
    } catch (const std::bad_alloc&) {
        picture = QImage();
    }
    if (picture.isNull())
        return PictureError::loading(file);
    width = size.width();
    height = size.height();
    return picture;
}

} // namespace PictureScaling
