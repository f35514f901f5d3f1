// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

// Loads a picture file and renders it at a requested pixel size, on a
// background colour: either stretched over the whole size or fitted inside it
// with its proportions kept and centred. Used by the map preview.
//
// Everything here is reentrant and uses QImage only (never QPixmap), so it may
// run on any thread; the map preview renders on a worker thread and hands the
// finished picture to the window:
//
//     auto future = QtConcurrent::run([file, size] {
//         return PictureScaling::loadPictureResized(file, size, Qt::white, false);
//     });
//     // ... when the future has finished, on the GUI thread:
//     const PictureScaling::PictureResult result = future.result();
//     if (result.ok())
//         preview->setPixmap(QPixmap::fromImage(result.picture()));
//     else
//         showNoMap(); // result.error().description says which file failed
//
// Palette PNGs (the game's maps) are decoded row by row while the rows
// already decoded are being resampled on a second thread; other pictures are
// decoded whole by Qt first. A palette PNG of more than largePixels pixels is
// never held whole: it is read from the file as a stream, row by row as
// stored (an interlaced one pass by pass), each pixel added into the cell of
// a grid of twice the drawn size that it falls in; the grid's averages are
// then resampled with the bicubic filter.
//
// Memory stays bounded: a picture whose decoding and scaling would need more
// than memoryBudget bytes is refused as too large to preview before it is
// decoded, judged from the size its header declares, and the resampler's own
// buffers are held to what the budget leaves.
namespace PictureScaling {

// The longest side a picture may have: the game's largest map is 32768 pixels
// wide or tall. A picture whose header declares a longer side is refused
// before any of its rows is decoded.
constexpr int maxPictureSide = 32768;

// Palette PNGs of more pixels than this are read as a stream into a grid of
// cells instead of whole.
constexpr qint64 largePixels = qint64(64) << 20;

// The error raised when a picture cannot be loaded.
constexpr int loadErrorNumber = 999;
// The error raised when a picture is beyond what this program previews.
constexpr int tooLargeErrorNumber = 998;
inline QString loadErrorSource()
{
    return QStringLiteral("GDI+ Module");
}

// Upper bound of the memory one call allocates: the file's bytes, the decoded
// picture, the resampler's buffers and the result together.
constexpr qint64 memoryBudget = qint64(512) << 20;

struct PictureError {
    int number = 0;
    QString source;
    QString description;

    // The error for a picture file that cannot be loaded: number 999, source
    // "GDI+ Module", description "Error loading picture " + the file name as
    // it was given.
    static PictureError loading(const QString& file);
    // The error for a picture beyond the limits (side or memory budget):
    // number 998, source "GDI+ Module", description "Too large to preview: "
    // + the file name as it was given.
    static PictureError tooLarge(const QString& file);
};

// Either the finished picture or the error. Copyable and default-constructible
// (for QFuture); a default-constructed result is not ok() and carries an
// empty error.
class PictureResult {
public:
    PictureResult() = default;
    PictureResult(QImage picture);
    PictureResult(PictureError error);

    bool ok() const { return !m_picture.isNull(); }
    explicit operator bool() const { return ok(); }
    // The picture, Format_RGB32 (opaque), of the size it was rendered at;
    // null when !ok().
    const QImage& picture() const { return m_picture; }
    // The error; number 0 and empty texts when ok().
    const PictureError& error() const { return m_error; }
    // True when the picture was refused as too large to preview rather than
    // found missing, damaged or unreadable.
    bool tooLarge() const { return m_error.number == tooLargeErrorNumber; }

private:
    QImage m_picture;
    PictureError m_error;
};

// Rounds to the nearest integer, halves to the even one, whatever the
// floating-point rounding mode of the calling thread.
int roundHalfEven(double value);

// Where a picture of `imageSize` is drawn in a box of `boxSize`: the whole box
// when `keepProportions` is false; otherwise fitted inside the box with its
// proportions kept (as wide or as tall as the box) and centred, with the drawn
// size and the offsets rounded half to even. The bands left over on two
// opposite sides show the background.
QRect drawRect(QSize imageSize, QSize boxSize, bool keepProportions);

// Loads `file` (any format Qt reads, by content; PNG maps with the game's own
// level chunk included) and renders it into a picture of `wanted` pixels
// filled with `background` (its alpha is ignored), stretched or fitted as
// drawRect() says, resampled with a high-quality bicubic filter. Transparent
// parts of the picture show the background.
//
// When either side of `wanted` is -1, the picture comes at its own size; the
// result's picture().size() tells the size it came at.
//
// Fails with PictureError::loading(file) when the file is missing, not a
// regular file, unreadable, not a picture, damaged or truncated, or when the
// requested size is not positive; with PictureError::tooLarge(file) when a
// side of the picture is longer than maxPictureSide, or when the picture or
// the requested size would need more than memoryBudget.
//
// `cancelled`, when given, is asked again and again while the file is read,
// decoded and resampled (from more than one thread: it must be thread-safe);
// once it returns true the call gives up soon and fails with the loading error.
// A caller whose picture is no longer wanted so never waits for all of it.
PictureResult loadPictureResized(const QString& file, QSize wanted, const QColor& background, bool keepProportions,
                                 const std::function<bool()>& cancelled = {});

// The same for a picture file already in memory (a map stored inside another
// file); `name` names it in the error.
PictureResult renderPicture(const QByteArray& bytes, const QString& name, QSize wanted, const QColor& background,
                            bool keepProportions, const std::function<bool()>& cancelled = {});

} // namespace PictureScaling
