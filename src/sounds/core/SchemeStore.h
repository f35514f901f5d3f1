// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/SoundClip.h"

#include <QString>
#include <QStringList>

class UserPaths;

// Speech schemes: one folder per scheme in the User folder's Speech folder,
// holding one WAV file (a sound byte) per speech sound. The Speech folder
// itself belongs to the game and is never created here.
class SchemeStore {
public:
    explicit SchemeStore(const UserPaths& paths);

    // The User folder's paths the store works on (a copy of them makes a
    // store for another thread).
    const UserPaths& paths() const { return m_paths; }
    QString speechFolder() const;
    // The schemes: the folders of the Speech folder, letter case ignored in
    // their order, hidden ones left out (as the folder navigator lists them).
    QStringList schemeNames() const;
    QString schemeFolder(const QString& scheme) const;
    // The sound byte of `sound` in `scheme`: <scheme folder>/<sound>.wav.
    QString soundBytePath(const QString& scheme, const QString& sound) const;
    // A file directly in the Speech folder: <Speech>/<sound>.wav.
    QString defaultSoundPath(const QString& sound) const;
    // Every file of the scheme folder, whatever its name, in name order.
    QStringList soundBytes(const QString& scheme) const;

    enum class Created { Ok, BadName, Exists, NoSpeechFolder, Failed };
    // Makes the scheme folder for a name typed by the user. The name must be
    // one folder name. `message` receives the words for the user on failure.
    Created create(const QString& name, QString* message = nullptr) const;
    // The checks of create() without making anything: Ok when a scheme of
    // that name could be made now.
    Created checkNewName(const QString& name, QString* message = nullptr) const;
    // Deletes the scheme's files and then its folder, which stays when it
    // holds sub-folders. False when the folder is still there.
    bool remove(const QString& scheme) const;
    // Deletes one sound byte of the scheme.
    bool removeSoundByte(const QString& scheme, const QString& fileName) const;
    // Makes the sound file `source` the sound byte of `sound` in `format`
    // (see SoundClip::store: a WAV already in that format is copied
    // unchanged), replacing an older one only once the new one is complete.
    bool setSoundByte(const QString& scheme, const QString& sound, const QString& source, const PcmFormat& format,
                      const SoundClip::Editing& editing = {}, QString* error = nullptr) const;

    // The questions and notes of the editor.
    static QString deleteSchemeQuestion(const QString& scheme);
    static QString removeSoundByteQuestion(const QString& scheme, const QString& fileName);

private:
    // A scheme name from the list is one folder name; anything else (an empty
    // name above all) must never address the Speech folder itself.
    static bool isSchemeName(const QString& scheme);

    const UserPaths& m_paths;
};
