// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/SoundPlayer.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Plays sound files through Qt Multimedia's media player on the default
// output. Without a sound output it plays nothing.
class MediaSoundPlayer : public SoundPlayer {
public:
    MediaSoundPlayer();
    ~MediaSoundPlayer() override;

    bool play(const QString& file) override;
    void release() override;

    QMediaPlayer* player() const { return m_player.get(); }

private:
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
};
