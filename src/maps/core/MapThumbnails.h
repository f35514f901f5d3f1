// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/LatestOnly.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

// Map thumbnails in the freedesktop.org thumbnail cache, shared with desktop
// file managers: $XDG_CACHE_HOME/thumbnails/normal (up to 128 pixels) or
// large (up to 256), one PNG per picture named by the MD5 of the picture's
// file URI, carrying the keys Thumb::URI and Thumb::MTime. A thumbnail is
// used again while the picture's modification time (and size) still match;
// otherwise it is made anew with the picture scaler and written through a
// temporary file, so a reader never sees half of one. Reentrant.
namespace MapThumbnails {

enum class Size { Normal = 128, Large = 256 };

// The cache folder for `size`.
QString cacheFolder(Size size);
// The URI the cache names a picture by ("file:///..." with %-escapes).
QByteArray fileUri(const QString& file);
// Where the thumbnail of `file` lies in the cache.
QString cachePath(const QString& file, Size size);
// The thumbnail size of a picture of `picture`: its proportions kept, no
// side above `size`, never larger than the picture, at least 1 x 1.
QSize fitted(QSize picture, Size size);

// The up-to-date cached thumbnail of `file`, or a null image.
QImage cached(const QString& file, Size size);
// The thumbnail of `file`: the cached one, else a new one, written to the
// cache (a cache that cannot be written is no failure). A null image when
// the picture cannot be read. `made`, when given, tells whether it was new.
QImage thumbnail(const QString& file, Size size, bool* made = nullptr);

} // namespace MapThumbnails

// Makes thumbnails on worker threads and hands them to the user-interface
// thread in batches. A new request supersedes the ones before it: their
// thumbnails not yet made are dropped.
class MapThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit MapThumbnailLoader(MapThumbnails::Size size = MapThumbnails::Size::Normal, QObject* parent = nullptr);
    ~MapThumbnailLoader() override;

    void request(const QStringList& files);
    void cancel();
    // Thumbnails of the latest request not yet handed over.
    int pending() const { return m_pending; }

Q_SIGNALS:
    // Thumbnails of the latest request, each with its file; a null image for
    // a file that cannot be read.
    void ready(const QList<QPair<QString, QImage>>& thumbnails);

private:
    struct Batch;
    void flush();

    MapThumbnails::Size m_size;
    std::shared_ptr<Batch> m_batch;
    LatestOnly m_work;
    int m_pending = 0;
};
