// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameFolderActions.h"

#include "common/core/Prompter.h"
#include "games/core/GameFileActions.h"

namespace GameFolderActions {

Result create(Prompter& prompter, const QString& gamesRoot)
{
    const QString name =
        prompter.input(GameFileActions::newFolderPrompt(), GameFileActions::newFolderTitle(), QString());
    if (name.isEmpty())
        return Result::NotDone;
    const GameFileActions::Outcome outcome = GameFileActions::createFolder(gamesRoot, name);
    outcome.notice.show(prompter);
    return outcome.changed ? Result::Changed : Result::Failed;
}

Result remove(Prompter& prompter, const QString& gamesRoot, const QString& folder)
{
    if (folder.isEmpty()) {
        prompter.message(GameFileActions::defaultFolderDenied(), GameFileActions::deletionDeniedTitle(),
                         Prompter::Buttons::Ok, Prompter::Icon::Information);
        return Result::NotDone;
    }
    if (prompter.message(GameFileActions::deleteFolderQuestion(folder), GameFileActions::deleteFolderTitle(),
                         Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return Result::NotDone;
    const GameFileActions::Outcome outcome = GameFileActions::removeFolder(gamesRoot, folder);
    outcome.notice.show(prompter);
    return outcome.changed ? Result::Changed : Result::Failed;
}

} // namespace GameFolderActions
