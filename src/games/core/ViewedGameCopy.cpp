// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/ViewedGameCopy.h"

#include "common/core/Desktop.h"
#include "common/core/FileSystem.h"
#include "common/core/PathContainment.h"
#include "common/core/Prompter.h"
#include "games/core/GameFileActions.h"

#include <QDir>
#include <QTimer>

ViewedGameCopy::ViewedGameCopy(Prompter& prompter, Desktop& desktop, int retryMs, QObject* parent)
    : QObject(parent)
    , m_prompter(prompter)
    , m_desktop(desktop)
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("timDelete"));
    m_timer->setInterval(retryMs);
    connect(m_timer, &QTimer::timeout, this, &ViewedGameCopy::deleteCopy);
}

void ViewedGameCopy::view(const QString& gamesRoot, const GameSelection& game, const QString& tempFolder)
{
    if (game.isEmpty()) {
        m_prompter.message(QStringLiteral("Select a Game to view c('.'C)"), QStringLiteral("Hold your horses!"),
                           Prompter::Buttons::Ok, Prompter::Icon::Information);
        return;
    }
    m_file = game.file;
    m_tempFolder = tempFolder;
    GameFileActions::Notice notice;
    if (GameFileActions::copyForViewing(gamesRoot, game.folder, game.file, tempFolder, &notice).isEmpty()) {
        notice.show(m_prompter);
        return;
    }
    if (!m_desktop.openFolder(tempFolder)) {
        // No file manager to show the folder in: say where the copy is.
        m_prompter.message(QStringLiteral("A copy of ") + game.file +
                               QStringLiteral(" is ready to watch in the folder ") +
                               QDir::toNativeSeparators(tempFolder) + QStringLiteral(" c('.'C)"),
                           QStringLiteral("View Game"), Prompter::Buttons::Ok, Prompter::Icon::Information);
    }
    m_timer->start();
}

void ViewedGameCopy::stop()
{
    m_timer->stop();
}

void ViewedGameCopy::deleteCopy()
{
    // Deletes the viewed copy once the game lets go of it; a failure is
    // retried at the next tick.
    if (m_file.isEmpty())
        return;
    const QString log = GameFileActions::logOf(m_tempFolder, m_file);
    const QString copy = FileOps::targetIn(m_tempFolder, m_file);
    if (!copy.isEmpty())
        FileOps::remove(copy);
    if (!log.isEmpty())
        FileOps::remove(log);
}
