// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A device driven by command strings ("open new type waveaudio alias capture",
// "status capture mode", ...). Each command answers 0 for success or an error
// code; a status command writes its answer into the caller's reply buffer.
class CommandDevice {
public:
    // Error codes; 0 is success.
    enum Error : int {
        Ok = 0,
        UnrecognizedCommand = 257, // not one of the command strings the device knows
        UnknownDevice,             // no open device under that alias
        AliasInUse,                // "open" with an alias that is open already
        InconsistentFormat,        // a format whose numbers do not agree or are not supported
        OutOfRange,                // a position beyond the recording
        MissingFileName,           // "save" without a name
        CannotWriteFile,           // the WAV file could not be written
        NoInputDevice,             // the computer has no sound input to record from
        NoOutputDevice,            // the computer has no sound output to play on
        InputFailed,               // the sound input refused to start
        OutputFailed,              // the sound output refused to start
        ReplyTooLong,              // the answer does not fit into the reply buffer
        Busy,                      // the format cannot change while recording or playing
    };

    virtual ~CommandDevice() = default;

    // Sends one command. With a reply buffer, a status answer is written at
    // its start and ended with a NUL byte, as into a C buffer of
    // reply->size() bytes; the rest of the buffer keeps its old content.
    virtual int send(const QString& command, QByteArray* reply = nullptr) = 0;

    // Why the latest recording ended by itself, as a sentence for the user
    // (it reached a limit, or its input or its file failed); empty when it
    // did not. Taking it clears it.
    virtual QString takeEndNotice() { return QString(); }

    // A reply buffer of `size` blanks.
    static QByteArray blankBuffer(int size = 255) { return QByteArray(size, ' '); }

    // The answer in a reply buffer: its text up to the first NUL byte.
    static QString replyText(const QByteArray& buffer)
    {
        const int end = buffer.indexOf('\0');
        return QString::fromLatin1(end < 0 ? buffer : buffer.left(end));
    }

    // Writes `text` and a NUL into `reply`. ReplyTooLong when it does not fit.
    static int writeReply(QByteArray* reply, const QString& text)
    {
        if (!reply)
            return Ok;
        const QByteArray bytes = text.toLatin1();
        if (bytes.size() + 1 > reply->size())
            return ReplyTooLong;
        reply->replace(0, bytes.size(), bytes);
        (*reply)[bytes.size()] = '\0';
        return Ok;
    }
};
