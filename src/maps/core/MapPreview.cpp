#include "maps/core/MapPreview.h"

#include "imaging/PictureScaling.h"

#include <QMetaObject>

namespace MapPreview {

QImage render(const QString& file, QSize size, const std::function<bool()>& cancelled)
{
    if (size.width() <= 0 || size.height() <= 0)
        return QImage();
    const PictureScaling::PictureResult result =
        PictureScaling::loadPictureResized(file, size, QColor(Qt::white), false, cancelled);
    return result.ok() ? result.picture() : QImage();
}

} // namespace MapPreview

MapPreviewLoader::MapPreviewLoader(QObject* parent)
    : QObject(parent)
    , m_latest(std::make_shared<std::atomic<quint64>>(0))
{
    // One picture at a time: a newer request waits only until the one being
    // drawn has given up, never for a queue of stale ones.
    m_pool.setMaxThreadCount(1);
}

MapPreviewLoader::~MapPreviewLoader()
{
    cancel();
    m_pool.clear();
    m_pool.waitForDone();
}

void MapPreviewLoader::request(const QString& file, QSize size)
{
    const quint64 ticket = ++*m_latest;
    m_busy = true;
    m_pool.clear();
    std::shared_ptr<std::atomic<quint64>> latest = m_latest;
    m_pool.start([this, latest, ticket, file, size] {
        if (latest->load() != ticket)
            return; // superseded before it started
        // A newer request, cancel() or the loader's end makes the drawing
        // stop early instead of finishing a picture nobody will see.
        const QImage picture = MapPreview::render(file, size, [&latest, ticket] { return latest->load() != ticket; });
        if (latest->load() != ticket)
            return;
        // The pool is waited for before this object goes, so `this` is alive.
        QMetaObject::invokeMethod(
            this, [this, ticket, file, picture] { deliver(ticket, file, picture); }, Qt::QueuedConnection);
    });
}

void MapPreviewLoader::cancel()
{
    ++*m_latest;
    m_busy = false;
}

void MapPreviewLoader::deliver(quint64 ticket, const QString& file, const QImage& picture)
{
    if (ticket != m_latest->load())
        return;
    m_busy = false;
    emit finished(file, picture);
}
