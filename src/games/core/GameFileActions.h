// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/PathCase.h"
#include "common/core/Prompter.h"

#include <QString>

// What the games windows do to folders and game files under the Games folder,
// with the message each outcome shows. Names typed by the user are one folder
// name inside Games; nothing is ever made, copied or deleted outside it.
namespace GameFileActions {

// A message box to show: text, title, icon (always with OK only).
struct Notice {
    QString text;
    QString title;
    Prompter::Icon icon = Prompter::Icon::None;

    bool isEmpty() const { return text.isEmpty(); }
    void show(Prompter& prompter) const;
};

struct Outcome {
    // True when the disk changed, so that the windows must be rebuilt.
    bool changed = false;
    Notice notice;
};

// The path of a game: `file` in `folder` ("" for the Games folder itself).
QString gamePath(const QString& gamesRoot, const QString& folder, const QString& file);

// Creates the user folder `typed` (as typed into the input box, not empty).
// Refused: an invalid name, "Default" (how the Games folder itself is shown),
// and the name of anything that exists already.
Outcome createFolder(const QString& gamesRoot, const QString& typed);

// Deletes the files of the user folder `folder` and then the folder itself.
// A folder that still holds something afterwards (sub-folders, files that
// could not be deleted) is reported as not removed.
Outcome removeFolder(const QString& gamesRoot, const QString& folder);

// A game's log lies beside it under the game's name with ".log" instead of
// ".WAgame"; it goes wherever the game goes. The path of the log of `file`
// in the folder path `folder`, or "" when there is none.
QString logOf(const QString& folder, const QString& file);
// The same through an index of `folder` made once for many games.
QString logOf(const PathCase::FolderIndex& index, const QString& folder, const QString& file);

// Copies (or moves) the log of `file` from `fromFolder` into `toFolder`,
// where the game was copied as `copiedAs`, replacing a log of that name
// there. A game without a log removes the log of the game it replaced.
// True when nothing failed.
bool carryLog(const QString& fromFolder, const QString& toFolder, const QString& file, const QString& copiedAs,
              bool move);

// Deletes the game `file` in `folder`, and its log.
Outcome deleteGame(const QString& gamesRoot, const QString& folder, const QString& file);

// Copies the game (and its log) into `tempFolder` (made when missing),
// replacing an earlier copy. Returns the copy's path, or "" with `notice` telling why.
QString copyForViewing(const QString& gamesRoot, const QString& folder, const QString& file, const QString& tempFolder,
                       Notice* notice);

struct Transfer {
    QString file;
    QString fromFolder; // "" for the Games folder itself
    QString toFolder;   // "" for the Games folder itself
    bool move = false;
};

// Copies or moves a game into another folder of Games, replacing a game of
// the same name there (letter case aside). Refused: the game's own folder (or
// a link there to the game itself), the temporary folder `tempFolder`
// (emptied when the program ends), and a folder that is not a folder of
// Games. A move deletes the original only after its copy is complete. The
// game's log goes with it.
Outcome transfer(const QString& gamesRoot, const Transfer& transfer, const QString& tempFolder);

// The messages the windows share.
QString folderCreatedText(const QString& name);
QString folderDeletedText();
QString newFolderPrompt();
QString newFolderTitle();
QString defaultFolderDenied();
QString deletionDeniedTitle();
QString deleteFolderQuestion(const QString& name);
QString deleteFolderTitle();

} // namespace GameFileActions
