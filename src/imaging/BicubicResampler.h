// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// High-quality bicubic resampling with the Catmull-Rom cubic (b = 0,
// c = 1/2), through the zimg library. The filter is widened by the reduction
// factor when a picture is made smaller, so that every source pixel counts.
// Pixel values are filtered as stored (sRGB values, no linearisation), the way
// desktop imaging libraries resize by default; a picture with an alpha channel
// is filtered premultiplied, so that colours of fully transparent pixels never
// bleed into their neighbours.
//
// zimg works on separate colour planes and pulls the source one row at a time
// through a small ring buffer, so an indexed map is expanded through its
// palette only a few rows at a time and never into a full-size copy. The
// result is computed in horizontal strips shared out over two threads on
// machines with more than one core; the strips overlap in the source by the
// reach of the filter, so the result is the same however it is split.
//
// The source may still be arriving while it is resampled (Options::fill): its
// rows are then written from the top down by the calling thread while the
// helper thread already resamples the strips whose rows are there. The map
// preview decodes a map this way, so that decoding and resampling overlap.
//
// Reentrant: no state is shared between calls.
namespace BicubicResampler {

// How many rows of a picture, counted from the top, are complete. One thread
// publishes, others wait for the rows they need.
class RowProgress {
public:
    // Rows [0, rows) are complete.
    void publish(int rows);
    // No more rows will come: waiting threads stop waiting and fail.
    void abandon();
    // Blocks until row `row` is complete; false when abandoned first.
    bool waitFor(int row);

private:
    std::atomic<int> m_rows{0};
    std::atomic<bool> m_abandoned{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

struct Options {
    // When set, the source's rows are not written yet: fill() writes them
    // from the top down, on the calling thread, publishing its progress, and
    // returns false when they cannot be had (the result is then null). The
    // source's size, format and colour table must be final beforehand, and
    // its pixel data must not be moved (no copy of it may be written to).
    std::function<bool(RowProgress&)> fill;
    // Most bytes the resampler may allocate for its own buffers (the result
    // not counted); 0 means no limit. Beyond it, the result is null.
    qint64 memoryLimit = 0;
    // Number of horizontal strips the result is computed in; 0 chooses from
    // the sizes and the machine. The result does not depend on it.
    int strips = 0;
    // When set, asked before each source row is used; once it returns true
    // the work stops and the result is null. Called from every thread of the
    // call, so it must be thread-safe.
    std::function<bool()> cancelled;
};

// Format of the result for `source`: Format_RGB32 for opaque pictures,
// Format_ARGB32_Premultiplied for pictures with an alpha channel.
QImage::Format workingFormat(const QImage& source);

// `source` resampled to `size` (both dimensions at least 1), in
// workingFormat(source); at its own size, a converted copy. A null image when
// the source is null, the size is empty, memory runs out, the rows could
// not be filled or the work was cancelled.
QImage resample(const QImage& source, QSize size, const Options& options = {});

} // namespace BicubicResampler
