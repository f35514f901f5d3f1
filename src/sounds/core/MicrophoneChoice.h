// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One sound input as the audio system lists it.
struct AudioInput {
    QByteArray id;       // the audio system's own name for it
    QString description; // what the user is shown
    bool isDefault = false;
};

// Which input the recorder records from: the system's default, or one the
// user chose. The default is the sound server's default source when the
// server names one that the inputs hold (Qt's own default on Linux is only
// the first source the server lists), else the input marked default, else
// the first.
class MicrophoneChoice {
public:
    // `serverDefault`: the id the sound server calls its default source; empty
    // when there is no such server or it did not answer.
    MicrophoneChoice(QList<AudioInput> inputs, QByteArray serverDefault);

    // The id of the system's default input; empty when there is no input.
    QByteArray systemDefault() const;

    // What a microphone choice offers: first the system default (an empty
    // id), then every input by its description.
    struct Entry {
        QByteArray id;
        QString caption;
    };
    QList<Entry> entries() const;

    // The input to record from for the remembered choice (empty: the system
    // default). A remembered input that is gone gives the system default and
    // a line saying so (naming it by `rememberedName` when given); otherwise
    // `note` is empty.
    struct Resolved {
        QByteArray id;   // the input to open; empty when there is none at all
        QByteArray kept; // the choice to keep: the remembered one, or empty
        QString note;
    };
    Resolved resolve(const QByteArray& remembered, const QString& rememberedName = QString()) const;

    static QString systemDefaultCaption();

private:
    const AudioInput* find(const QByteArray& id) const;

    QList<AudioInput> m_inputs;
    QByteArray m_serverDefault;
};
