// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamePlayAction.h"

#include "common/core/PathCase.h"
#include "common/core/Prompter.h"
#include "installs/core/GameStarter.h"

GamePlayAction::GamePlayAction(Prompter& prompter, Launcher& launcher, QObject* parent)
    : QObject(parent)
    , m_prompter(prompter)
    , m_replays(new ReplayStarter(launcher, this))
{
    m_replays->setObjectName(QStringLiteral("replayStarter"));
}

void GamePlayAction::play(ReplayStarter::Command command, const GameInstall& install, const QString& folderPath,
                          const GameSelection& game)
{
    using Command = ReplayStarter::Command;
    const QString title = command == Command::Play       ? QStringLiteral("Play Game")
                          : command == Command::PlayFrom ? QStringLiteral("Play from")
                          : command == Command::GetMap   ? QStringLiteral("Save Map")
                                                         : QStringLiteral("Read log");
    if (game.isEmpty()) {
        m_prompter.message(QStringLiteral("Select a Game to play c('.'C)"), QStringLiteral("Hold your horses!"),
                           Prompter::Buttons::Ok, Prompter::Icon::Information);
        return;
    }
    QString time;
    if (command == Command::PlayFrom) {
        const QString typed = m_prompter.input(
            QStringLiteral("From what time of the game should it play? Type the time as m:ss or h:mm:ss."), title);
        if (typed.trimmed().isEmpty())
            return;
        time = ReplayStarter::checkedTime(typed);
        if (time.isEmpty()) {
            m_prompter.message(
                QStringLiteral("'%1' is not a time of the game. Type it as minutes and seconds (m:ss, such as 2:05) "
                               "or hours, minutes and seconds (h:mm:ss, such as 1:02:05). c('.'C)")
                    .arg(typed.trimmed()),
                title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
            return;
        }
    }
    const QString file = game.file;
    m_replays->start(install, command, PathCase::join(folderPath, file), time,
                     [this, command, title, folderPath, file](Launcher::Result result) {
                         if (result != Launcher::Result::Started) {
                             m_prompter.message(
                                 GameStarter::failureText(result, GameStarter::fileName(GameStarter::Program::Game)),
                                 title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
                             return;
                         }
                         if (command == Command::ReadLog)
                             emit logRequested(folderPath, file);
                     });
}
