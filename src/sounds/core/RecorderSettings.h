// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/PcmFormat.h"
#include "sounds/core/SoundClip.h"

#include <QByteArray>
#include <QString>

class QSettings;

// The recorder's settings in the per-user settings store: organisation
// AppInfo::organisation(), application "AudioRecorder", group "StartUp".
// Every value is stored as text. A key that is missing, or whose text does
// not convert, gives its default.
class RecorderSettings {
public:
    qint32 rate = 11025;
    qint16 channels = 1;
    qint16 resolution = 16;
    QString waveFileName = QStringLiteral("C:\\Radio.wav");
    bool waveAutomaticSave = true;

    // Reads every key (Rate, Channels, Resolution, WaveFileName,
    // WaveAutomaticSave, in this order).
    void read();
    // Stores the five values as text, in the same order.
    void write() const;

    // The same on a given store (tests, or another location).
    void read(QSettings& store);
    void write(QSettings& store) const;

    // How recordings and imported clips are edited, in the group "Editing"
    // of the same store (keys "TrimSilence" and "NormalisePeak", "True" or
    // "False"); both off when missing. Stored at once when the user changes
    // them, apart from the recording format's read-at-Reset cycle.
    static SoundClip::Editing readEditing();
    static void writeEditing(const SoundClip::Editing& editing);
    static SoundClip::Editing readEditing(QSettings& store);
    static void writeEditing(QSettings& store, const SoundClip::Editing& editing);

    // The microphone the user chose, in the group "Devices" of the same store
    // (keys "Microphone", the input's id, and "MicrophoneName", its
    // description); an empty id means the system's default. Stored at once
    // when the user chooses.
    struct Microphone {
        QByteArray id;
        QString name;
    };
    static Microphone readMicrophone();
    static void writeMicrophone(const Microphone& microphone);
    static Microphone readMicrophone(QSettings& store);
    static void writeMicrophone(QSettings& store, const Microphone& microphone);

    PcmFormat format() const { return PcmFormat{rate, channels, resolution}; }

    // "22050" gives 22050; anything that is not a whole number in range
    // gives `fallback`.
    static qint64 toInteger(const QString& text, qint64 min, qint64 max, qint64 fallback);
    // "True"/"False" in any letter case; anything else gives `fallback`.
    static bool toBoolean(const QString& text, bool fallback);
    static QString fromBoolean(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }
};
