// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>

class Prompter;

// Names that a listing cannot show. Qt reads a folder's names as UTF-8 and
// leaves out every name that is not valid UTF-8 (one written by an old Windows
// program in its own code page, say); such files and folders are still there
// but cannot be shown or opened by name. These functions find them, so that a
// window can say so instead of hiding them silently.
namespace UnshownNames {

// What a listing shows: files and folders, or folders only.
enum class Kind { Any, Folders };

// How many entries of `folder` (of `kind`) have a name that is not valid
// UTF-8, read from the folder itself. Hidden entries (names starting with
// ".") are not counted, as no listing shows them. 0 for a missing or
// unreadable folder.
int count(const QString& folder, Kind kind = Kind::Any);

// "2 files or folders in /u/Games could not be shown: their names are not
// valid UTF-8. ..." for `count` names in `folder`.
QString message(const QString& folder, int count);

} // namespace UnshownNames

// Tells the user, once per folder, about the names of a folder that its
// window's listing cannot show. A window keeps one while it is open.
class UnshownNamesNotice {
public:
    explicit UnshownNamesNotice(Prompter& prompter)
        : m_prompter(prompter)
    {
    }

    // Counts the folder's unshowable names and, the first time the folder
    // has any, shows a message box.
    void check(const QString& folder, UnshownNames::Kind kind = UnshownNames::Kind::Any);
    // The same with the count of unshowable names already known (from a
    // reading of the folder made elsewhere).
    void tell(const QString& folder, int unshown);
    // Forgets which folders were told about (a new opening of the window).
    void clear() { m_told.clear(); }

private:
    Prompter& m_prompter;
    QSet<QString> m_told;
};
