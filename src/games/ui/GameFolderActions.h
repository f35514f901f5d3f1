// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Prompter;

// The folder commands of the games window and the transfer window: each asks,
// acts on the Games tree and tells the outcome through the prompter.
namespace GameFolderActions {

enum class Result {
    NotDone, // cancelled, answered No, or refused before anything was tried
    Failed,  // tried; the tree is as it was (the user has been told why)
    Changed, // the tree changed
};

// Asks for a name and makes that user folder.
Result create(Prompter& prompter, const QString& gamesRoot);

// Asks, then removes the user folder `folder`; "" (the Games folder itself)
// is refused with a note.
Result remove(Prompter& prompter, const QString& gamesRoot, const QString& folder);

} // namespace GameFolderActions
