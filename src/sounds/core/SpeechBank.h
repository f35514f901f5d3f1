// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class SchemeStore;

// Whole speech schemes shared as zip archives holding <Scheme>/<Sound>.wav.
class SpeechBank {
public:
    explicit SpeechBank(const SchemeStore& schemes);

    struct Contents {
        QString suggestedName; // the archive's one top folder, or the archive's name
        QStringList sounds;    // the sound bytes taken, as "Hello.wav"
        QStringList others;    // entries that are not speech sounds, as named in the archive
    };

    // How far an export or import is, in sounds; returning false stops it,
    // which then fails with an empty error and leaves the disk as it was.
    using Progress = std::function<bool(int done, int total)>;

    // Writes the sound bytes of `scheme` that are speech sounds into
    // `archive`, replacing a file of that name once the archive is complete.
    // `contents` receives what was written and what was left out.
    bool exportScheme(const QString& scheme, const QString& archive, Contents* contents, QString* error,
                      const Progress& progress = {}) const;

    // Checks the archive and says what importing it would take.
    bool inspect(const QString& archive, Contents* contents, QString* error) const;

    // Makes the new scheme `name` from the archive's speech sounds: they are
    // unpacked into a hidden folder inside the Speech folder, which takes the
    // scheme's name only once every sound is there, so that a failed import
    // leaves no scheme behind. Entry names never choose where a file goes.
    bool importAs(const QString& archive, const QString& name, Contents* contents, QString* error,
                  const Progress& progress = {}) const;

private:
    const SchemeStore& m_schemes;
};
