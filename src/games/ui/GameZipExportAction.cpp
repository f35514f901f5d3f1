// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameZipExportAction.h"

#include "common/core/LatestOnly.h"
#include "common/core/Prompter.h"
#include "common/ui/WorkProgress.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

const QString kExportTitle = QStringLiteral("Export to Zip");

} // namespace

GameZipExportAction::GameZipExportAction(Prompter& prompter, QAction* action, QWidget* window)
    : QObject(window)
    , m_prompter(prompter)
    , m_action(action)
    , m_window(window)
    , m_work(new LatestOnly(1, this))
{
}

void GameZipExportAction::run(const QString& gamesRoot, const GameSelection& selected, int shownCount,
                              const std::function<QList<GamesZipExport::Game>()>& shown)
{
    QList<GamesZipExport::Game> games;
    if (!selected.isEmpty())
        games << GamesZipExport::Game{selected.folder, selected.file};
    // With one game picked among several shown, the user says which is meant.
    if (shownCount > 1 && !selected.isEmpty() &&
        m_prompter.message(QStringLiteral("Export only the selected game, %1?\n\nNo exports all %2 games the grid "
                                          "shows.")
                               .arg(selected.file)
                               .arg(shownCount),
                           kExportTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        games.clear();
    if (games.isEmpty())
        games = shown();
    if (games.isEmpty()) {
        m_prompter.message(QStringLiteral("There is no game to export: the grid shows none. c('.'C)"), kExportTitle,
                           Prompter::Buttons::Ok, Prompter::Icon::Information);
        return;
    }
    const QString suggested =
        games.size() == 1 ? QFileInfo(games.first().file).completeBaseName() : QStringLiteral("Recorded games");
    QString archive = m_prompter.saveFile(kExportTitle, qtFileFilter(QStringLiteral("Zip archives|*.zip")),
                                          QDir::home().filePath(suggested + QStringLiteral(".zip")));
    if (archive.isEmpty())
        return;
    archive = GamesZipExport::withZipExtension(archive);
    if (QFileInfo::exists(archive) &&
        m_prompter.message(QDir::toNativeSeparators(archive) +
                               QStringLiteral(" already exists. Do you want to replace it?"),
                           kExportTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;

    // Many games make a big archive: it is written off the window's thread,
    // one export at a time, showing how far it is with a way to stop it.
    m_action->setEnabled(false);
    WorkProgress::run<GamesZipExport::Result>(
        *m_work, m_window, kExportTitle, QStringLiteral("games"),
        [gamesRoot, games, archive](const std::function<bool(int, int)>& report) {
            return GamesZipExport::write(gamesRoot, games, archive, report);
        },
        [this, archive](const GamesZipExport::Result& result) { finished(archive, result); });
}

void GameZipExportAction::finished(const QString& archive, const GamesZipExport::Result& result)
{
    m_action->setEnabled(true);
    if (result.cancelled)
        return; // the user stopped it: no archive, nothing to say
    if (!result.written) {
        m_prompter.message(QStringLiteral("The zip archive %1 was not written: %2 =(")
                               .arg(QDir::toNativeSeparators(archive), result.error),
                           kExportTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        return;
    }
    const QString gameCount =
        result.games == 1 ? QStringLiteral("1 game") : QStringLiteral("%1 games").arg(result.games);
    const QString logs = result.logs == 1 ? QStringLiteral("1 log") : QStringLiteral("%1 logs").arg(result.logs);
    m_prompter.message(QStringLiteral("%1 and %2 were exported to %3. <(^.^)>")
                           .arg(gameCount, logs, QDir::toNativeSeparators(archive)),
                       kExportTitle, Prompter::Buttons::Ok, Prompter::Icon::Information);
}
