// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// Drag and drop in the map manager. The window's own drag of a map carries a
// MIME type of its own, so a drop is told apart by what it carries and not by
// where the pointer went: files dragged in from the desktop are always copied,
// and only the window's own drag ever moves a map.
namespace MapDrag {

// The MIME type of the window's own drag; its data is the map's full path.
QString mimeType();

// The data of the window's own drag of the map at `mapPath`: our own type,
// plus the file as a URL so that other programs (a file manager) can take a
// copy of it.
QMimeData* mimeFor(const QString& mapPath);

enum class Kind {
    Nothing,      // nothing a map list can use
    OwnMap,       // the window's own drag of a map under this maps root
    OutsideFiles, // local files from elsewhere
};

struct Drag {
    Kind kind = Kind::Nothing;
    QString mapPath;   // OwnMap: the dragged map
    QStringList files; // OutsideFiles: the dropped local files, in order
};

// Reads a drag. Our own type counts only for a map under `mapsRoot`: a map
// dragged from another copy of the program over another User folder comes in
// as outside files.
Drag read(const QMimeData& mime, const QString& mapsRoot);

// Where something is dropped.
enum class Target { MapList, TransferList };

// The highlighted entry of the transfer list.
enum class Entry {
    None,   // nothing highlighted
    Parent, // "<<Back"
    Root,   // "[Root]"
    Folder, // a sub-folder of the transfer folder
};

enum class Action {
    Ignore,
    CopyIntoMapFolder, // copy the files into the folder the map list shows
    CopyIntoTarget,    // copy the files into the highlighted transfer target
    MoveMap,           // move the dragged map into the highlighted transfer target
    AskToHighlight,    // files from outside, but no folder highlighted: "Please highlight a folder"
    AskToSelect,       // our own map, but no folder highlighted: "Please select a folder"
};

// What a drop does. `entry` matters only for the transfer list.
Action decide(Target target, Kind kind, Entry entry);

// Whether a target takes a drag at all while it passes over it.
bool accepts(Target target, Kind kind);

} // namespace MapDrag
