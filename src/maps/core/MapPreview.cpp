// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapPreview.h"

#include "imaging/PictureScaling.h"

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
{
}

MapPreviewLoader::~MapPreviewLoader() = default;

void MapPreviewLoader::request(const QString& file, QSize size)
{
    m_busy = true;
    // A newer request, cancel() or the loader's end makes the drawing stop
    // early instead of finishing a picture nobody will see.
    m_work.run<QImage>(
        [file, size](const std::function<bool()>& cancelled) { return MapPreview::render(file, size, cancelled); },
        [this, file](const QImage& picture) {
            m_busy = false;
            emit finished(file, picture);
        });
}

void MapPreviewLoader::cancel()
{
    m_work.cancel();
    m_busy = false;
}
