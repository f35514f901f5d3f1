#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What Steam's own files say about its libraries and the games in them.
namespace SteamLibrary {

// The library folders listed in the text of a libraryfolders.vdf, in either
// format: numbered blocks holding a "path" key (current), or numbered keys
// whose value is the path (old).
QStringList listedLibraries(const QByteArray& libraryFolders);

// The folder under steamapps/common that an appmanifest_*.acf text names
// ("installdir"); "" when it names none, or names anything but one plain
// folder name (no separators, no "." or "..").
QString installFolder(const QByteArray& appManifest);

} // namespace SteamLibrary
