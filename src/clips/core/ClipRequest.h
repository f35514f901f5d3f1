// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

struct GameLog;

// What a clip is made of: a time range of a replay, at a frame rate and size,
// into a file whose extension says the format. Times are hundredths of a
// second from the start of the game, as the game's log counts them.
struct ClipRequest {
    enum class Format { Mp4, WebM, Gif };

    QString replayPath; // a .WAgame file of this system
    qint64 from = 0;
    qint64 to = 0;
    int fps = 25;
    int width = 640;
    int height = 480;
    QString outPath;

    static constexpr int minFps = 10;
    static constexpr int maxFps = 50;
    static constexpr int minSide = 16;
    static constexpr int maxWidth = 1920;
    static constexpr int maxHeight = 1080;

    // What is wrong with the request, in a sentence for the user; "" when it
    // can be made.
    QString problem() const;

    // The frames the game is expected to write for the range.
    int expectedFrames() const;

    // The format the extension of `path` names (.mp4, .webm, .gif, any case).
    static std::optional<Format> formatFor(const QString& path);

    // A time typed as m:ss or h:mm:ss, each with optional hundredths (".c" or
    // ".cc"), minutes and seconds below 60; -1 when `typed` is no such time.
    static qint64 parseTime(const QString& typed);
    // A time as the game's /getvideo takes it: "hh:mm:ss.cc".
    static QString gameTime(qint64 hundredths);

    // A size typed as "WxH" within the limits above; nullopt otherwise.
    static std::optional<std::pair<int, int>> parseSize(const QString& typed);
};

namespace BestTurn {

// How long a clip of a turn starts before the turn's first weapon.
constexpr qint64 leadIn = 300;

struct Range {
    qint64 from = 0;
    qint64 to = 0;
};

// The range of the turn that dealt the most damage (the earlier one of a
// tie): from `leadIn` before its first weapon (or from its start when it used
// none, never before the game's start) to its end. nullopt when the log
// tells of no turn with a known start and end.
std::optional<Range> find(const GameLog& log);

} // namespace BestTurn
