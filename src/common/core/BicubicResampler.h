#pragma once

#include <QImage>
#include <QSize>

// High-quality bicubic resampling (the Catmull-Rom cubic) through
// stb_image_resize. Pixel values are filtered as stored (sRGB values, no
// linearisation), the way desktop imaging libraries resize by default; a
// picture with an alpha channel is filtered premultiplied, so that colours of
// fully transparent pixels never bleed into their neighbours.
//
// The filter is separable and applied in two passes: first along the rows,
// then along the columns. The first pass walks the source in bands of rows and
// converts only one band at a time to the working format, so that a large
// indexed map is never expanded to a full-size 24-bit copy; bands are shared
// out over two threads on machines with more than one core. Reentrant: no
// state is shared between calls.
namespace BicubicResampler {

// Working format of the result for `source`: Format_RGB888 for opaque
// pictures, Format_RGBA8888_Premultiplied for pictures with an alpha channel.
QImage::Format workingFormat(const QImage& source);

// Bytes per pixel of workingFormat().
int workingBytesPerPixel(const QImage& source);

// Extra memory resample() needs beyond its result, for a source of
// `sourceSize` resampled to `size` in a format of `bytesPerPixel` (used to
// keep the whole operation within a memory budget before decoding).
qint64 workingBytes(QSize sourceSize, QSize size, int bytesPerPixel);

// `source` resampled to `size` (both dimensions at least 1), in
// workingFormat(source). A null image when the source is null, the size is
// empty or memory runs out. `bandRows` overrides the band height of the first
// pass (0 = chosen from the picture width); the result does not depend on it.
QImage resample(const QImage& source, QSize size, int bandRows = 0);

} // namespace BicubicResampler
