// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapPreview.h"

#include "imaging/PictureScaling.h"

namespace MapPreview {

QImage render(const QString& file, QSize size, const std::function<bool()>& cancelled, bool* tooLarge)
{
    if (tooLarge)
        *tooLarge = false;
    if (size.width() <= 0 || size.height() <= 0)
        return QImage();
    const PictureScaling::PictureResult result =
        PictureScaling::loadPictureResized(file, size, QColor(Qt::white), false, cancelled);
    if (tooLarge)
        *tooLarge = result.tooLarge();
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
    struct Rendered {
        QImage picture;
        bool tooLarge = false;
    };
    m_work.run<Rendered>(
        [file, size](const std::function<bool()>& cancelled) {
            Rendered rendered;
            rendered.picture = MapPreview::render(file, size, cancelled, &rendered.tooLarge);
            return rendered;
        },
        [this, file](const Rendered& rendered) {
            m_busy = false;
            emit finished(file, rendered.picture, rendered.tooLarge);
        });
}

void MapPreviewLoader::cancel()
{
    m_work.cancel();
    m_busy = false;
}
