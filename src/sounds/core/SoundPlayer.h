// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <utility>

// Plays a sound file in the background, as the editor's media player does:
// giving it a file plays that file at once; releasing it stops and lets go of
// the file, so that the file can be deleted or replaced.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // False when the computer has no sound output to play on: then nothing
    // plays and no end is reported.
    virtual bool play(const QString& file) = 0;
    virtual void release() = 0;

    // Called when a file given to play() has played to its end, or could
    // not be played at all (never after release()).
    void onFinished(std::function<void()> finished) { m_finished = std::move(finished); }

protected:
    void notifyFinished()
    {
        if (m_finished)
            m_finished();
    }

private:
    std::function<void()> m_finished;
};
