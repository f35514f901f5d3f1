// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/RecorderSettings.h"

#include <QSet>
#include <QString>

class CommandDevice;
class Prompter;

// The recorder's operations on the wave device "capture": each is one or a
// few command strings, and every failing command shows its message (an OK box
// with the program's title) and the operation goes on with its next command.
class WaveRecorder {
public:
    // How a failure is shown: every time, or once until the same command
    // works again (for the status queries that a timer repeats).
    enum class Reporting { EveryFailure, OncePerFailure };

    WaveRecorder(CommandDevice& device, Prompter& prompter);

    // The recording format and the two file settings (read and written by the
    // window; the format command is built from rate, channels, resolution).
    RecorderSettings& settings() { return m_settings; }
    const RecorderSettings& settings() const { return m_settings; }

    // Closes every device and opens "capture" afresh; a held recording is dropped.
    void openCaptureDevice();
    // Seeks to the start and sends the format command for the settings.
    void applyRecordingFormat();
    // False when the recording did not start.
    bool startRecording();
    void stopRecording();
    // Saves the recording as a WAV file named `fileName`. The recording goes
    // to a temporary file beside it, which replaces `fileName` only once it
    // was written completely: a failed save leaves an older file as it was.
    bool saveRecording(const QString& fileName);
    // Sets statusLine() from the device mode.
    void readDeviceMode(Reporting reporting = Reporting::EveryFailure);
    // Sets statisticsText() from six status queries.
    void buildStatistics(Reporting reporting = Reporting::EveryFailure);
    // The input level while recording: the peak of the last 50 ms in dBFS
    // (-infinity for silence) and how long the input has been digital silence.
    struct Level {
        double dbfs = 0;
        qint64 silentMs = 0;
    };
    Level inputLevel(Reporting reporting = Reporting::OncePerFailure);
    // The length of the recording so far, in milliseconds.
    qint64 recordedMs(Reporting reporting = Reporting::OncePerFailure);
    // The position in milliseconds; after a recording was stopped, its length.
    qint32 getCapturePosition();
    // Starts playing from `ms`; returns at once.
    void playFromPosition(qint32 ms);
    void closeCaptureDevice();
    // Why the latest recording stopped by itself (see CommandDevice); empty
    // when it did not.
    QString takeEndNotice();

    // "The Quillane SoundBank Editor: " and the device mode, at most 255 characters.
    const QString& statusLine() const { return m_statusLine; }
    // True when the last device mode read says the device is stopped.
    bool isStopped() const { return m_stopped; }
    const QString& statisticsText() const { return m_statistics; }

    // The format command for these numbers: "set capture alignment 2
    // bitspersample 16 samplespersec 11025 channels 1 bytespersec 22050".
    static QString formatCommand(qint32 rate, qint16 channels, qint16 resolution);
    // A number as the statistics write it: a leading blank (or a minus sign),
    // "." as decimal separator, no trailing zeros: 2.5 gives " 2.5".
    static QString statisticsNumber(double value);
    // The number at the start of a status answer; 0 when there is none.
    static double leadingNumber(const QString& text);

    // The messages for a computer without sound input or output.
    static QString noInputMessage();
    static QString noOutputMessage();

private:
    int send(const QString& command, const QString& failure, Reporting reporting = Reporting::EveryFailure,
             QByteArray* reply = nullptr);
    void report(const QString& text);
    double query(const QString& command, const QString& failure, Reporting reporting);

    CommandDevice& m_device;
    Prompter& m_prompter;
    RecorderSettings m_settings;
    QString m_statusLine;
    bool m_stopped = false;
    QString m_statistics;
    // Failure messages that were shown once and stay quiet until their
    // command works again.
    QSet<QString> m_quiet;
};
