// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/audio/MediaSoundPlayer.h"

#include "sounds/audio/QtAudioBackend.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

MediaSoundPlayer::MediaSoundPlayer()
{
    QtAudioBackend::preferSafeMediaBackend();
    m_output = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, m_player.get(),
                     [this](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                             notifyFinished();
                     });
}

MediaSoundPlayer::~MediaSoundPlayer()
{
    release();
    // The player uses the output until it is gone.
    m_player.reset();
}

bool MediaSoundPlayer::play(const QString& file)
{
    m_player->stop();
    if (QMediaDevices::defaultAudioOutput().isNull())
        return false;
    m_player->setSource(QUrl::fromLocalFile(file));
    m_player->play();
    return true;
}

void MediaSoundPlayer::release()
{
    m_player->stop();
    m_player->setSource(QUrl());
}
