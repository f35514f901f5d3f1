// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Names that the user types for a folder or a file are one name inside the
// folder being shown: they can never lead outside it.
namespace NameRules {

enum class Problem {
    None,
    Empty,        // nothing but blanks
    Separator,    // contains "/" or "\"
    DotName,      // "." or ".."
    BadCharacter, // a character the game's file system refuses: : * ? " < > | or a control character
    ReservedName, // CON, PRN, AUX, NUL, COM1-9, LPT1-9 (with or without an extension)
    TrailingDotOrBlank,
    TooLong, // more than 255 characters
};

// Checks one name as typed. The rules are those of the game's own file system,
// so that a folder made here also works for the game under Windows.
Problem check(const QString& name);

// A message for the user naming the problem, or "" for Problem::None.
QString describe(Problem problem, const QString& name);

inline bool isValid(const QString& name)
{
    return check(name) == Problem::None;
}

} // namespace NameRules
