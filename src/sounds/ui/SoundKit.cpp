// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/SoundKit.h"

#include "sounds/audio/AudioInputs.h"
#include "sounds/audio/MediaSoundPlayer.h"
#include "sounds/audio/QtAudioBackend.h"
#include "sounds/core/WaveDevice.h"

#include <QDir>
#include <QStandardPaths>

SoundKit SoundKit::system()
{
    QtAudioBackend::preferSafeMediaBackend();
    SoundKit kit;
    kit.makeDevice = [] {
        // Recordings stream to the user's cache folder, which is on disk (the
        // temporary folder may be held in memory); the temporary folder when
        // the cache folder cannot be made.
        QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (folder.isEmpty() || !QDir().mkpath(folder))
            folder.clear();
        return std::make_unique<WaveDevice>(
            std::make_unique<QtAudioBackend>(qgetenv("QUILLANE_AUDIO_INPUT"), qgetenv("QUILLANE_AUDIO_OUTPUT")),
            RecordingLimits(), folder);
    };
    kit.makePlayer = [] { return std::make_unique<MediaSoundPlayer>(); };
    kit.microphones = [] { return AudioInputs::choice(); };
    return kit;
}
