// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapThumbnails.h"

#include "common/core/OutsideFile.h"
#include "common/core/SafeFile.h"
#include "imaging/BicubicResampler.h"
#include "imaging/IndexedPngReader.h"
#include "imaging/PictureScaling.h"
#include "imaging/PngChunks.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMutex>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QtEndian>

#include <array>
#include <vector>

namespace MapThumbnails {

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");
const QString sizeKey = QStringLiteral("Thumb::Size");

// The picture's own size, from the PNG header (Qt's reader refuses the
// game's maps before it gets that far) or from Qt's reader.
QSize pictureSize(const QString& file)
{
    QFile in;
    if (!OutsideFile::open(file, in))
        return {};
    const QByteArray head = in.read(24);
    if (PngChunks::isPng(head) && head.size() == 24 && head.mid(12, 4) == "IHDR") {
        const quint32 w = qFromBigEndian<quint32>(head.constData() + 16);
        const quint32 h = qFromBigEndian<quint32>(head.constData() + 20);
        if (w > 0 && h > 0 && w <= INT_MAX && h <= INT_MAX)
            return QSize(int(w), int(h));
        return {};
    }
    in.seek(0);
    return QImageReader(&in).size();
}

// A palette map shrunk to `target`: its pixels are first averaged over whole
// blocks of k x k, straight from the palette indices (most of the work, in
// one pass), down to at least twice the target's size; the picture scaler
// then makes the last, high-quality step. Transparent colours show white, as
// in the preview. The indices of a map of usual size are decoded all at once,
// which is the fastest; those of a very large one a strip of k rows at a
// time, so that it never needs a full-size copy (a large interlaced map, whose
// rows come only all at once, is left to the picture scaler, which averages
// it pass by pass). A null image when the map cannot be decoded.
QImage shrinkIndexed(const QByteArray& bytes, QSize target)
{
    IndexedPngReader reader(bytes);
    if (!reader.readHeader())
        return {};
    const QSize size = reader.size();
    // Each block sums its red, green and blue in one 64-bit word, 21 bits
    // each: up to 90 x 90 pixels of 255 fit.
    constexpr int maxBlock = 90;
    const int k =
        std::clamp(std::min(size.width() / (2 * target.width()), size.height() / (2 * target.height())), 1, maxBlock);
    std::array<quint64, 256> colours{};
    const QList<QRgb> table = reader.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i) {
        const QRgb c = table[i];
        const int a = qAlpha(c);
        auto over = [a](int v) { return quint64((v * a + 255 * (255 - a) + 127) / 255); };
        colours[size_t(i)] = over(qRed(c)) << 42 | over(qGreen(c)) << 21 | over(qBlue(c));
    }
    const int width = size.width();
    const int outWidth = (width + k - 1) / k, outHeight = (size.height() + k - 1) / k;
    QImage blocks(outWidth, outHeight, QImage::Format_RGB32);
    if (blocks.isNull())
        return {};
    // An interlaced map's rows come only all at once.
    const bool whole = qint64(width) * size.height() <= IndexedPngReader::wholeLimit;
    if (!whole && reader.interlaced())
        return {};
    std::vector<uchar> rows(size_t(width) * size_t(whole ? size.height() : k));
    if (whole && !reader.readAllRows(rows.data(), width))
        return {};
    std::vector<quint64> sums(static_cast<size_t>(outWidth));
    for (int y = 0; y < outHeight; ++y) {
        const int count = std::min(k, size.height() - y * k);
        if (!whole && !reader.readRows(rows.data(), width, count))
            return {};
        const uchar* strip = rows.data() + (whole ? size_t(y) * size_t(k) * size_t(width) : 0);
        std::fill(sums.begin(), sums.end(), 0);
        for (int r = 0; r < count; ++r) {
            const uchar* row = strip + size_t(r) * size_t(width);
            quint64* sum = sums.data();
            for (int x0 = 0; x0 < width; x0 += k, ++sum) {
                quint64 block = 0;
                for (int x = x0, end = std::min(width, x0 + k); x < end; ++x)
                    block += colours[row[x]];
                *sum += block;
            }
        }
        constexpr quint64 mask = (quint64(1) << 21) - 1;
        auto* out = reinterpret_cast<QRgb*>(blocks.scanLine(y));
        for (int x = 0; x < outWidth; ++x) {
            const quint64 n = quint64(std::min(k, width - x * k) * count), sum = sums[size_t(x)];
            auto mean = [n](quint64 total) { return int((total + n / 2) / n); };
            out[x] = qRgb(mean(sum >> 42), mean((sum >> 21) & mask), mean(sum & mask));
        }
    }
    return BicubicResampler::resample(blocks, target);
}

QImage render(const QString& file, QSize target)
{
    QFile in;
    if (!OutsideFile::open(file, in) || in.size() > PictureScaling::memoryBudget)
        return {};
    QByteArray bytes = in.readAll();
    PngChunks::stripForeignChunks(bytes);
    if (IndexedPngReader::canRead(bytes)) {
        // The header's last byte is its interlace method.
        const quint64 pixels =
            quint64(qFromBigEndian<quint32>(bytes.constData() + 16)) * qFromBigEndian<quint32>(bytes.constData() + 20);
        if (bytes.at(28) == 0 || pixels <= quint64(PictureScaling::largePixels))
            return shrinkIndexed(bytes, target);
    }
    bytes.clear();
    const PictureScaling::PictureResult result =
        PictureScaling::loadPictureResized(file, target, QColor(Qt::white), false);
    return result.ok() ? result.picture() : QImage();
}

QByteArray modified(const QFileInfo& info)
{
    return QByteArray::number(info.lastModified().toSecsSinceEpoch());
}

void write(const QString& path, const QImage& picture, const QByteArray& uri, const QFileInfo& info)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(picture))
        return;
    const QByteArray png =
        PngChunks::withTextChunks(buffer.data(), {{uriKey.toLatin1(), uri},
                                                  {mtimeKey.toLatin1(), modified(info)},
                                                  {sizeKey.toLatin1(), QByteArray::number(info.size())},
                                                  {QByteArrayLiteral("Software"), QByteArrayLiteral("The Quillane")}});
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            return;
        // The cache tells what the user looks at: for the user's eyes only.
        for (const QString& dir : {QFileInfo(folder).path(), folder})
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Through a temporary file of the same folder, renamed over the old one:
    // a reader sees the old thumbnail or the new one, never half of one.
    // A cache: a thumbnail lost in a crash is simply made again, so it does
    // not wait for the disk.
    FileOps::SafeFile out(path);
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    out.setSynced(false);
    if (out.open() && out.write(png))
        out.commit();
}

} // namespace

QString cacheFolder(Size size)
{
    QString base;
#ifdef Q_OS_WIN
    base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
#else
    base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(base)) // unset, empty or relative: the XDG base-directory default
        base = QDir::homePath() + QStringLiteral("/.cache");
#endif
    return base + QStringLiteral("/thumbnails/") +
           (size == Size::Large ? QStringLiteral("large") : QStringLiteral("normal"));
}

QByteArray fileUri(const QString& file)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
}

QString cachePath(const QString& file, Size size)
{
    const QByteArray md5 = QCryptographicHash::hash(fileUri(file), QCryptographicHash::Md5).toHex();
    return cacheFolder(size) + QLatin1Char('/') + QString::fromLatin1(md5) + QStringLiteral(".png");
}

QSize fitted(QSize picture, Size size)
{
    const int most = int(size);
    if (picture.width() <= most && picture.height() <= most)
        return picture.expandedTo(QSize(1, 1));
    const QSize scaled = picture.scaled(most, most, Qt::KeepAspectRatio);
    return scaled.expandedTo(QSize(1, 1));
}

QImage cached(const QString& file, Size size)
{
    const QFileInfo info(file);
    if (!info.isFile())
        return {};
    // Read whole: QImageReader::text() cuts keys at their first colon.
    const QImage image = QImageReader(cachePath(file, size), "png").read();
    if (image.text(uriKey).toUtf8() != fileUri(file) || image.text(mtimeKey).toLatin1() != modified(info))
        return {};
    const QString sizeText = image.text(sizeKey);
    if (!sizeText.isEmpty() && sizeText.toLongLong() != info.size())
        return {};
    return image;
}

QImage thumbnail(const QString& file, Size size, bool* made)
{
    if (made)
        *made = false;
    QImage image = cached(file, size);
    if (!image.isNull())
        return image;
    const QFileInfo info(file);
    const QSize own = pictureSize(file);
    if (!info.isFile() || own.isEmpty())
        return {};
    const QImage picture = render(file, fitted(own, size));
    if (picture.isNull())
        return {};
    write(cachePath(file, size), picture, fileUri(file), info);
    if (made)
        *made = true;
    return picture;
}

} // namespace MapThumbnails

struct MapThumbnailLoader::Batch {
    QMutex mutex;
    QList<QPair<QString, QImage>> done;
};

MapThumbnailLoader::MapThumbnailLoader(MapThumbnails::Size size, QObject* parent)
    : QObject(parent)
    , m_size(size)
    , m_batch(std::make_shared<Batch>())
    , m_work(QThread::idealThreadCount())
{
}

MapThumbnailLoader::~MapThumbnailLoader() = default;

void MapThumbnailLoader::request(const QStringList& files)
{
    cancel();
    m_pending = int(files.size());
    for (const QString& file : files) {
        m_work.add([this, file, size = m_size, batch = m_batch](const LatestOnly::Request& request) {
            const QImage image = MapThumbnails::thumbnail(file, size);
            QMutexLocker lock(&batch->mutex);
            if (request.cancelled())
                return;
            batch->done.append({file, image});
            // The first of a batch calls for the hand-over; the others join it.
            if (batch->done.size() == 1)
                request.deliver([this] { flush(); });
        });
    }
}

void MapThumbnailLoader::cancel()
{
    QMutexLocker lock(&m_batch->mutex);
    m_work.cancel();
    m_batch->done.clear();
    m_pending = 0;
}

void MapThumbnailLoader::flush()
{
    QList<QPair<QString, QImage>> done;
    {
        QMutexLocker lock(&m_batch->mutex);
        done.swap(m_batch->done);
    }
    if (done.isEmpty())
        return;
    m_pending -= int(done.size());
    emit ready(done);
}
