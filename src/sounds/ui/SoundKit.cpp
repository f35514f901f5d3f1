// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/SoundKit.h"

#include "sounds/audio/AudioInputs.h"
#include "sounds/audio/MediaSoundPlayer.h"
#include "sounds/audio/QtAudioBackend.h"
#include "sounds/core/WaveDevice.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

namespace {

QStringList inputNames()
{
    QStringList names;
    for (const AudioInput& input : AudioInputs::list())
        names << QString::fromUtf8(input.id) + QLatin1Char('\n') + input.description;
    return names;
}

} // namespace

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
    kit.watchInputs = [](QObject* owner, std::function<void()> changed) {
        // Qt 6.4's media backends keep their list of inputs up to date but
        // do not signal a change on Linux: the list is compared every moment.
        auto* timer = new QTimer(owner);
        timer->setInterval(1500);
        QObject::connect(timer, &QTimer::timeout, owner, [changed, last = std::make_shared<QStringList>(inputNames())] {
            QStringList now = inputNames();
            if (now == *last)
                return;
            *last = std::move(now);
            changed();
        });
        timer->start();
    };
    return kit;
}
