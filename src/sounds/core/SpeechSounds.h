// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The speech sounds of the game, in the order the editor lists them. A
// scheme's sound byte for a sound is stored as the name plus ".wav", spelled
// exactly so.
namespace SpeechSounds {

// The 52 classic names in their fixed order, then "Hurry" and "Uh-Oh", which
// the game also speaks, so that every sound of a bank can be set.
const QStringList& names();

// The file name of a sound's sound byte: "Hello" gives "Hello.wav".
inline QString fileName(const QString& sound)
{
    return sound + QStringLiteral(".wav");
}

// The sound whose sound byte `fileName` is, without regard to letter case:
// "hello.WAV" gives "Hello"; "" when it is none.
QString soundOfFile(const QString& fileName);

} // namespace SpeechSounds
