#include "sounds/ui/SoundKit.h"

#include "sounds/audio/MediaSoundPlayer.h"
#include "sounds/audio/QtAudioBackend.h"
#include "sounds/core/WaveDevice.h"

SoundKit SoundKit::system()
{
    QtAudioBackend::preferSafeMediaBackend();
    SoundKit kit;
    kit.makeDevice = [] {
        return std::make_unique<WaveDevice>(
            std::make_unique<QtAudioBackend>(qgetenv("QUILLANE_AUDIO_INPUT"), qgetenv("QUILLANE_AUDIO_OUTPUT")));
    };
    kit.makePlayer = [] { return std::make_unique<MediaSoundPlayer>(); };
    return kit;
}
