#pragma once

#include <QString>

// The User folder (the folder the program runs from, or the one given with
// --user-folder) and the paths the program builds on it. Paths use "/".
class UserPaths {
public:
    explicit UserPaths(const QString& userFolder);

    // Without a trailing separator, except at a file-system root ("/", "C:/").
    const QString& userFolder() const { return m_userFolder; }

    // The User folder's parent with a trailing separator, computed from the
    // text: everything up to and including the User folder's last separator.
    // A User folder at a root gives that root itself.
    const QString& gameFolder() const { return m_gameFolder; }

    // The User folder joined with `relative` ("Games/Temp"), each component
    // found without regard to letter case when it exists.
    QString resolve(const QString& relative) const;

    // The same for a file in the game folder ("WA.exe").
    QString resolveInGameFolder(const QString& name) const;

    static QString normalise(const QString& folder);
    static QString gameFolderOf(const QString& userFolder);

private:
    QString m_userFolder;
    QString m_gameFolder;
};
