#pragma once

#include <QString>

// Plays a sound file in the background, as the editor's media player does:
// giving it a file plays that file at once; releasing it stops and lets go of
// the file, so that the file can be deleted or replaced.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& file) = 0;
    virtual void release() = 0;
};
