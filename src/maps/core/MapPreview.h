// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/LatestOnly.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>

// The map preview: a map drawn stretched over the whole preview box, at the
// box's size in pixels, on white.
namespace MapPreview {

// Renders `file` at `size`; a null image when it cannot be loaded, or when
// `cancelled` (asked from more than one thread while the map is drawn)
// returns true before it is done. `tooLarge`, when given, is set to whether a
// null image means that the map is too large to preview rather than damaged
// or unreadable. Safe on any thread.
QImage render(const QString& file, QSize size, const std::function<bool()>& cancelled = {}, bool* tooLarge = nullptr);

} // namespace MapPreview

// Renders previews off the user-interface thread, so that a large map never
// freezes the window. Each request supersedes the ones before it: a request
// that has not started yet is dropped, and the result of one that was already
// running is given up, so after quick successive selections the last one is
// what is shown, and the window never waits for a picture it no longer wants
// (also not when it closes while a large map is being drawn).
class MapPreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit MapPreviewLoader(QObject* parent = nullptr);
    ~MapPreviewLoader() override;

    void request(const QString& file, QSize size);
    // Supersedes every request without a new one.
    void cancel();
    // True while the latest request has not delivered its result.
    bool busy() const { return m_busy; }

Q_SIGNALS:
    // The result of the latest request; `picture` is null when the file
    // could not be loaded, and then `tooLarge` tells whether it was refused
    // as too large to preview.
    void finished(const QString& file, const QImage& picture, bool tooLarge);

private:
    // One picture at a time: a newer request waits only until the one being
    // drawn has given up, never for a queue of stale ones.
    LatestOnly m_work{1};
    bool m_busy = false;
};
