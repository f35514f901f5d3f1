#include "maps/core/MapThumbnails.h"

#include "common/core/PictureScaling.h"
#include "common/core/PngChunks.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QtEndian>

namespace MapThumbnails {

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");
const QString sizeKey = QStringLiteral("Thumb::Size");

// The picture's own size, from the PNG header (Qt's reader refuses the
// game's maps before it gets that far) or from Qt's reader.
QSize pictureSize(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
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
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    out.write(png);
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
    if (!QDir::isAbsolutePath(base)) // unset, empty or relative: the specification's default
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
    const QSize target = fitted(own, size);
    int width = target.width(), height = target.height();
    const PictureScaling::PictureResult result =
        PictureScaling::loadPictureResized(file, width, height, QColor(Qt::white), false);
    if (!result.ok())
        return {};
    write(cachePath(file, size), result.picture(), fileUri(file), info);
    if (made)
        *made = true;
    return result.picture();
}

} // namespace MapThumbnails

struct MapThumbnailLoader::Batch {
    QMutex mutex;
    QList<QPair<QString, QImage>> done;
};

MapThumbnailLoader::MapThumbnailLoader(MapThumbnails::Size size, QObject* parent)
    : QObject(parent)
    , m_size(size)
    , m_latest(std::make_shared<std::atomic<quint64>>(0))
    , m_batch(std::make_shared<Batch>())
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

MapThumbnailLoader::~MapThumbnailLoader()
{
    cancel();
    m_pool.waitForDone();
}

void MapThumbnailLoader::request(const QStringList& files)
{
    cancel();
    const quint64 ticket = m_latest->load();
    m_pending = int(files.size());
    for (const QString& file : files) {
        m_pool.start([this, ticket, file, size = m_size, latest = m_latest, batch = m_batch] {
            if (latest->load() != ticket)
                return;
            const QImage image = MapThumbnails::thumbnail(file, size);
            QMutexLocker lock(&batch->mutex);
            if (latest->load() != ticket)
                return;
            batch->done.append({file, image});
            // The first of a batch calls for the hand-over; the others join it.
            // The pool is waited for before this object goes, so `this` is alive.
            if (batch->done.size() == 1)
                QMetaObject::invokeMethod(
                    this, [this, ticket] { flush(ticket); }, Qt::QueuedConnection);
        });
    }
}

void MapThumbnailLoader::cancel()
{
    m_pool.clear();
    QMutexLocker lock(&m_batch->mutex);
    ++*m_latest;
    m_batch->done.clear();
    m_pending = 0;
}

void MapThumbnailLoader::flush(quint64 ticket)
{
    QList<QPair<QString, QImage>> done;
    {
        QMutexLocker lock(&m_batch->mutex);
        if (ticket != m_latest->load())
            return;
        done.swap(m_batch->done);
    }
    if (done.isEmpty())
        return;
    m_pending -= int(done.size());
    emit ready(done);
}
