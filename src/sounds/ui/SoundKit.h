// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/MicrophoneChoice.h"

#include <functional>
#include <memory>

class CommandDevice;
class QObject;
class SoundPlayer;

// What the sound bank editor records and plays with. The program uses the
// system's sound hardware; tests hand in a synthetic device and a recording
// player.
struct SoundKit {
    std::function<std::unique_ptr<CommandDevice>()> makeDevice;
    std::function<std::unique_ptr<SoundPlayer>()> makePlayer;
    // The sound inputs there are now, for the microphone choice.
    std::function<MicrophoneChoice()> microphones;
    // Calls `changed` whenever inputs come or go, for as long as `owner`
    // lives; null where nothing tells.
    std::function<void(QObject* owner, std::function<void()> changed)> watchInputs;

    // The wave device on Qt Multimedia and the media player. The devices are
    // the system's defaults; the environment variables QUILLANE_AUDIO_INPUT
    // and QUILLANE_AUDIO_OUTPUT pick others by their id.
    static SoundKit system();
};
