#pragma once

#include <QString>

// File operations that never lose the user's data: a copy replaces its
// destination only once it is complete, and a move deletes its source only
// after its copy is complete.
namespace FileOps {

// True when both paths exist and name the same file or folder (links and
// trailing separators aside).
bool sameFile(const QString& a, const QString& b);

// Copies `source` to `destination`, replacing a file of that name there. The
// data goes to a temporary file beside the destination first, which then
// takes the destination's name, so a failed copy leaves the old destination
// as it was. Copying a file onto itself succeeds and changes nothing.
// On failure `error` (when given) receives a short reason.
bool copyReplacing(const QString& source, const QString& destination, QString* error = nullptr);

// Copies `source` to `destination` (replacing it) and then deletes the
// source, but only when the copy succeeded. Moving a file onto itself fails
// and leaves it in place.
bool moveReplacing(const QString& source, const QString& destination, QString* error = nullptr);

// Deletes the plain files directly inside `folder` (not its sub-folders),
// then removes the folder if it is then empty. True when the folder is gone.
// A folder that is a link to another place is removed as a link only.
bool removeFolderAndFiles(const QString& folder);

} // namespace FileOps
