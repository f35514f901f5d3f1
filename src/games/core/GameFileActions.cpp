// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GameFileActions.h"

#include "common/core/AppInfo.h"
#include "common/core/FileSystem.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/PathContainment.h"
#include "common/core/SafeFile.h"
#include "games/core/GameLog.h"
#include "games/core/GamesTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace GameFileActions {

namespace {

Notice tell(const QString& text)
{
    return {text, AppInfo::title(), Prompter::Icon::None};
}

Notice problem(const QString& text, const QString& title)
{
    return {text, title, Prompter::Icon::Exclamation};
}

QString quoted(const QString& name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

// A name read from a listing of Games (a folder or a game the windows show):
// one entry directly inside its folder. Unlike a typed name it may hold
// characters that only Windows refuses, as names made on other systems do.
bool isEntryName(const QString& name)
{
    const NameRules::Problem rule = NameRules::check(name);
    return !name.isEmpty() && rule != NameRules::Problem::Separator && rule != NameRules::Problem::DotName;
}

// A folder of Games given by the name of a navigator entry or a list entry:
// the name of an existing folder directly inside Games.
bool isUserFolder(const QString& gamesRoot, const QString& folder)
{
    return isEntryName(folder) && QFileInfo(PathCase::join(gamesRoot, folder)).isDir();
}

// The name of the game's log in `folder` as it stands there (letter case
// aside), or "" when the game has none.
QString standingLog(const QString& folder, const QString& file)
{
    const QString log = GameLogParser::logPathFor(file);
    return log.isEmpty() ? QString() : PathCase::findEntry(folder, log);
}

// The path of `file` in the folder `folder` of Games ("" for Games itself),
// checked to stay inside that folder (wherever the user's link to it leads);
// "" with `error` telling why when it would not.
QString checkedGamePath(const QString& gamesRoot, const QString& folder, const QString& file, QString* error)
{
    const QString home = folder.isEmpty() ? gamesRoot : FileOps::targetIn(gamesRoot, folder, error);
    return home.isEmpty() ? QString() : FileOps::targetIn(home, file, error);
}

} // namespace

QString logOf(const QString& folder, const QString& file)
{
    const QString log = standingLog(folder, file);
    return log.isEmpty() ? QString() : PathCase::join(folder, log);
}

QString logOf(const PathCase::FolderIndex& index, const QString& folder, const QString& file)
{
    const QString log = index.find(GameLogParser::logPathFor(file));
    return log.isEmpty() ? QString() : PathCase::join(folder, log);
}

bool carryLog(const QString& fromFolder, const QString& toFolder, const QString& file, const QString& copiedAs,
              bool move)
{
    const QString source = standingLog(fromFolder, file);
    const QString replaced = standingLog(toFolder, copiedAs);
    if (source.isEmpty()) {
        // The game that was replaced took its log with it: the log would
        // tell another game's story.
        if (replaced.isEmpty())
            return true;
        const QString stale = FileOps::targetIn(toFolder, replaced);
        return !stale.isEmpty() && FileOps::remove(stale);
    }
    const QString from = FileOps::targetIn(fromFolder, source);
    const QString name = !replaced.isEmpty() ? replaced
                         : copiedAs == file  ? source
                                             : GameLogParser::logPathFor(copiedAs);
    const QString to = FileOps::targetIn(toFolder, name);
    if (from.isEmpty() || to.isEmpty())
        return false;
    return move ? FileOps::moveReplacing(from, to) : FileOps::copyReplacing(from, to);
}

void Notice::show(Prompter& prompter) const
{
    if (!isEmpty())
        prompter.message(text, title, Prompter::Buttons::Ok, icon);
}

QString folderCreatedText(const QString& name)
{
    return QLatin1Char('\'') + name + QStringLiteral("' folder successfully created! <(^.^)>");
}

QString folderDeletedText()
{
    return QStringLiteral("Folder successfully deleted! <(^.^)>");
}

QString newFolderPrompt()
{
    return QStringLiteral("What would you like to name the new folder? c('.'C)");
}

QString newFolderTitle()
{
    return QStringLiteral("Create New Folder");
}

QString defaultFolderDenied()
{
    return QStringLiteral("Sorry, you cannot delete this Folder since it is the 'Default' folder. =(");
}

QString deletionDeniedTitle()
{
    return QStringLiteral("Deletion Denied");
}

QString deleteFolderQuestion(const QString& name)
{
    return QStringLiteral("Are you sure you want to delete the '") + name +
           QStringLiteral("' folder? All of its contents will be deleted. c('.'C)");
}

QString deleteFolderTitle()
{
    return QStringLiteral("Delete Folder?");
}

QString gamePath(const QString& gamesRoot, const QString& folder, const QString& file)
{
    return PathCase::join(GamesTree::folderPath(gamesRoot, folder), file);
}

Outcome createFolder(const QString& gamesRoot, const QString& typed)
{
    const QString title = newFolderTitle();
    const NameRules::Problem rule = NameRules::check(typed);
    if (rule != NameRules::Problem::None)
        return {false, problem(NameRules::describe(rule, typed), title)};
    if (typed.compare(GamesTree::defaultFolderName(), Qt::CaseInsensitive) == 0) {
        return {false, problem(QStringLiteral("'Default' is how the Games folder itself is shown, so a folder "
                                              "cannot have that name. Please choose another one. c('.'C)"),
                               title)};
    }
    if (!PathCase::findEntry(gamesRoot, typed).isEmpty()) {
        return {false, problem(QStringLiteral("There is already a folder named ") + quoted(typed) +
                                   QStringLiteral(". Please choose another name. c('.'C)"),
                               title)};
    }
    QString refused;
    const QString made = FileOps::targetIn(gamesRoot, typed, &refused);
    if (made.isEmpty())
        return {false, problem(FileOps::outsideMessage(typed), title)};
    if (!FileOps::makePath(gamesRoot) || !FileOps::fileSystem().makeFolder(made)) {
        return {false,
                problem(QStringLiteral("The folder ") + quoted(typed) + QStringLiteral(" could not be created. =("),
                        title)};
    }
    return {true, tell(folderCreatedText(typed))};
}

Outcome removeFolder(const QString& gamesRoot, const QString& folder)
{
    const QString title = QStringLiteral("Delete Folder");
    if (!isUserFolder(gamesRoot, folder)) {
        return {false,
                problem(QStringLiteral("There is no folder named ") + quoted(folder) + QStringLiteral(" any more. =("),
                        title)};
    }
    const QString path = FileOps::targetIn(gamesRoot, folder);
    if (path.isEmpty())
        return {false, problem(FileOps::outsideMessage(folder), title)};
    if (!FileOps::removeFolderAndFiles(path)) {
        // Some of its files may be gone now, so the lists are rebuilt.
        return {true, problem(QStringLiteral("The folder ") + quoted(folder) +
                                  QStringLiteral(" could not be removed: it still holds folders or files that "
                                                 "could not be deleted. =("),
                              title)};
    }
    return {true, tell(folderDeletedText())};
}

Outcome deleteGame(const QString& gamesRoot, const QString& folder, const QString& file)
{
    if (isEntryName(file)) {
        const QString path = checkedGamePath(gamesRoot, folder, file, nullptr);
        if (path.isEmpty())
            return {false, problem(FileOps::outsideMessage(file), QStringLiteral("Delete Game"))};
        if (!QFileInfo(path).isFile() || !FileOps::remove(path))
            return {false, problem(file + QStringLiteral(" could not be deleted. =("), QStringLiteral("Delete Game"))};
        const QString log = logOf(QFileInfo(path).path(), file);
        if (!log.isEmpty() && !FileOps::remove(log)) {
            return {true, problem(file + QStringLiteral(" was deleted, but its log could not be deleted. =("),
                                  QStringLiteral("Delete Game"))};
        }
        return {true, {}};
    }
    return {false, problem(file + QStringLiteral(" could not be deleted. =("), QStringLiteral("Delete Game"))};
}

QString copyForViewing(const QString& gamesRoot, const QString& folder, const QString& file, const QString& tempFolder,
                       Notice* notice)
{
    const QString title = QStringLiteral("View Game");
    QString error;
    QString copy;
    QString source;
    if (!isEntryName(file)) {
        error = QStringLiteral("the name is not a valid file name");
    } else if (!FileOps::makePath(tempFolder)) {
        error = QStringLiteral("the folder ") + QDir::toNativeSeparators(tempFolder) +
                QStringLiteral(" could not be created");
    } else if ((source = checkedGamePath(gamesRoot, folder, file, &error)).isEmpty() ||
               (copy = FileOps::targetIn(tempFolder, file, &error)).isEmpty()) {
        // refused: `error` tells why
    } else if (FileOps::copyReplacing(source, copy, &error)) {
        // The log goes along when there is one; the game plays without it.
        carryLog(GamesTree::folderPath(gamesRoot, folder), tempFolder, file, file, false);
        return copy;
    }
    if (notice)
        *notice = problem(file + QStringLiteral(" could not be copied for viewing: ") + error + QStringLiteral(". =("),
                          title);
    return QString();
}

Outcome transfer(const QString& gamesRoot, const Transfer& t, const QString& tempFolder)
{
    const QString denied = QStringLiteral("Denied! xD");
    const QString failed = QStringLiteral("Transfer Failed");
    const QString destinationName = t.toFolder.isEmpty() ? GamesTree::defaultFolderName() : t.toFolder;
    if (!t.toFolder.isEmpty() && !isUserFolder(gamesRoot, t.toFolder)) {
        return {false, problem(QStringLiteral("There is no folder named ") + quoted(t.toFolder) +
                                   QStringLiteral(" in your Games folder. Please pick another folder. c('.'C)"),
                               denied)};
    }
    const QString fromFolder = GamesTree::folderPath(gamesRoot, t.fromFolder);
    const QString toFolder = GamesTree::folderPath(gamesRoot, t.toFolder);
    const Notice alreadyThere =
        tell(t.file + QStringLiteral(" is already in the ") + destinationName + QStringLiteral(" folder! c('.'C)"));
    if (t.fromFolder == t.toFolder || FileOps::sameFile(fromFolder, toFolder))
        return {false, alreadyThere};
    if (FileOps::sameFile(toFolder, tempFolder)) {
        return {false, problem(QStringLiteral("The Temp folder only holds copies of games being viewed, and it is "
                                              "emptied when The Quillane closes. Please pick another folder. c('.'C)"),
                               denied)};
    }

    QString error = QStringLiteral("the name is not a valid file name");
    QString source;
    QString destination;
    if (isEntryName(t.file)) {
        // A game of this name in the destination is replaced, whatever the
        // letter case of its name, as on the game's own file system.
        const QString standing = PathCase::findEntry(toFolder, t.file);
        source = checkedGamePath(gamesRoot, t.fromFolder, t.file, &error);
        if (!source.isEmpty())
            destination = checkedGamePath(gamesRoot, t.toFolder, standing.isEmpty() ? t.file : standing, &error);
    }
    if (!destination.isEmpty()) {
        // Through a link the destination can be the game itself: the copy
        // would change nothing and a move would delete the only copy.
        if (FileOps::sameFile(source, destination))
            return {false, alreadyThere};
        error.clear();
        if (FileOps::copyReplacing(source, destination, &error)) {
            // Only a complete copy lets the original go.
            if (t.move && !FileOps::remove(source)) {
                carryLog(fromFolder, toFolder, t.file, QFileInfo(destination).fileName(), false);
                return {true, problem(t.file + QStringLiteral(" was copied to the ") + destinationName +
                                          QStringLiteral(" folder, but the original could not be deleted. =("),
                                      failed)};
            }
            if (!carryLog(fromFolder, toFolder, t.file, QFileInfo(destination).fileName(), t.move)) {
                return {true, problem(t.file + QStringLiteral(" was ") +
                                          (t.move ? QStringLiteral("moved") : QStringLiteral("copied")) +
                                          QStringLiteral(" to the ") + destinationName +
                                          QStringLiteral(" folder, but its log could not go with it. =("),
                                      failed)};
            }
            return {true, {}};
        }
    }
    return {false,
            problem(t.file + QStringLiteral(" could not be ") +
                        (t.move ? QStringLiteral("moved") : QStringLiteral("copied")) + QStringLiteral(" to the ") +
                        destinationName + QStringLiteral(" folder: ") + error + QStringLiteral(". =("),
                    failed)};
}

} // namespace GameFileActions
