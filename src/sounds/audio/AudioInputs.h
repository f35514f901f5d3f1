// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/MicrophoneChoice.h"

#include <QByteArray>
#include <QList>
#include <functional>

// The sound inputs of this system as Qt Multimedia lists them, and the sound
// server's default source. Qt's own default input on Linux is the first
// source that PulseAudio lists, not the one the user made the default, so the
// server is asked directly where it is PulseAudio (or PipeWire's PulseAudio
// service); Qt's device ids there are the server's source names.
class AudioInputs {
public:
    // The inputs Qt lists now.
    static QList<AudioInput> list();

    // The server's default source name; empty when there is no such server,
    // it did not answer within `timeoutMs`, or this system has none.
    static QByteArray serverDefaultSource(int timeoutMs = 400);

    // What the recorder chooses from now.
    static MicrophoneChoice choice();

    // Tests stand in for the sound server's answer; a null function asks the
    // server again.
    static void setServerDefaultForTests(std::function<QByteArray()> answer);
};
