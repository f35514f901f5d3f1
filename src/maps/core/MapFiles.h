// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The file work of the map manager. Maps are only ever copied, moved and
// renamed byte for byte, never decoded and written again: the game keeps a
// map's settings in a chunk of its own inside the PNG, and that must survive.
//
// Destinations follow the game's file system, which ignores letter case: a
// file that already exists under another spelling is the file replaced (and
// keeps its spelling), so a folder never ends up holding "Arena.png" beside
// "arena.png".
namespace MapFiles {

// The maps of `folder` (files matching "*.png" without regard to case), in
// alphabetical order without regard to case. A missing folder has none.
QStringList maps(const QString& folder);

// The path a file called `name` gets in `folder`: the existing entry of that
// name under any letter case, else `name` as given; "" (with `error` telling
// why) when that would lead outside `folder` (FileOps::targetIn).
QString destinationIn(const QString& folder, const QString& name, QString* error = nullptr);

// What an operation has to tell the user; an empty message means success.
struct Result {
    bool ok = true;
    QString message;
};

// Makes the folder `name` inside `parent`. The name is one name: separators, "..", and names the
// game's file system refuses are turned down with a message.
Result createFolder(const QString& parent, const QString& name);

// Deletes the files lying directly in the folder `name` of `parent`, then the
// folder itself when that left it empty. A folder that still holds
// sub-folders keeps them and stays. False when the folder is still there.
bool deleteFolder(const QString& parent, const QString& name);

// Deletes the map `map` of `folder`.
Result deleteMap(const QString& folder, const QString& map);

// Renaming the map `map` of `folder` to what the user typed.
struct RenamePlan {
    enum class Kind {
        BadName,    // the typed name is refused; `message` says why
        Unchanged,  // the map already has that name
        ChangeCase, // the same file, only the letter case of its name changes
        Replace,    // another map has that name; ask before replacing it (`message`)
        Rename,     // a plain rename
    };
    Kind kind = Kind::BadName;
    QString source;
    QString destination;
    QString message;
};
RenamePlan planRename(const QString& folder, const QString& map, const QString& typedName);
// Carries the plan out. The original goes only once its copy under the new
// name is complete. False when a step failed (the map then stays as it was,
// unless only the deletion of the original failed).
bool executeRename(const RenamePlan& plan);

// Copies each file of `sources` into `folder` under its own name, replacing a
// file of that name, each one whole or not at all. Failures (a folder or a
// missing file among the sources, a folder that is gone) are skipped.
// `progress`, when given, hears the count done of the total before each file
// and once at the end; returning false stops before the next file, so the
// files copied so far stay and the rest are not touched. Returns the paths
// the copies took, in the order of `sources`.
QStringList importFiles(const QStringList& sources, const QString& folder,
                        const std::function<bool(int done, int total)>& progress = {});

// Moving a map into another folder.
struct MoveResult {
    enum class Status { Moved, AlreadyThere, Failed };
    Status status = Status::Failed;
    QString message; // for AlreadyThere and Failed
};
MoveResult moveMap(const QString& source, const QString& folder);

// Makes the maps root when it is missing: the game makes it only when it
// first saves a map, and the user may bring maps in before that.
bool ensureMapsRoot(const QString& mapsRoot);

// Messages shown by the map manager.
QString noMapSelectedMessage();
QString noFolderSelectedMessage();
QString replaceQuestion(const QString& existingName);

} // namespace MapFiles
