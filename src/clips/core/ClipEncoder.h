// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clips/core/ClipRequest.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Encodes PNG frames one at a time into a clip, never holding more than the
// encoder's own few frames: MP4 (H.264, yuv420p, index at the front, as
// browsers play it), WebM (VP9) or an animated GIF (a palette of its own for
// each frame, made while the frames stream in: the game draws each frame in
// 256 colours, which that palette keeps exactly). Frames of another size are scaled to the clip's.
// The clip is written to a temporary file beside its destination that
// finish() renames into place; without finish() nothing is left.
class ClipEncoder {
public:
    ClipEncoder();
    ~ClipEncoder();
    ClipEncoder(const ClipEncoder&) = delete;
    ClipEncoder& operator=(const ClipEncoder&) = delete;

    bool open(const QString& destination, ClipRequest::Format format, int width, int height, int fps);
    // One frame: the bytes of a PNG file.
    bool addPng(const QByteArray& png);
    // Flushes the encoder and puts the clip in place.
    bool finish();
    // Drops the clip being written.
    void cancel();

    int frames() const;
    // Why the last step failed.
    QString errorString() const;

    // The largest PNG file taken as a frame.
    static constexpr qint64 maxPngBytes = 64 * 1024 * 1024;

private:
    struct State;
    std::unique_ptr<State> m;
};
