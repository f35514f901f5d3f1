// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/ReplayStarter.h"

#include "common/core/WindowsPath.h"
#include "installs/core/GameStarter.h"

#include <QPointer>
#include <QRegularExpression>

ReplayStarter::ReplayStarter(Launcher& launcher, QObject* parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_lookup(new WindowsPathLookup(this))
{
}

QStringList ReplayStarter::arguments(Command command, const QString& windowsPath, const QString& time)
{
    switch (command) {
    case Command::Play:
        break;
    case Command::PlayFrom:
        return {QStringLiteral("/playat"), windowsPath, time};
    case Command::ReadLog:
        return {QStringLiteral("/getlog"), windowsPath, QStringLiteral("/quiet")};
    case Command::GetMap:
        return {QStringLiteral("/getmap"), windowsPath, QStringLiteral("/quiet")};
    }
    return {QStringLiteral("/play"), windowsPath};
}

QString ReplayStarter::checkedTime(const QString& typed)
{
    static const QRegularExpression shape(QStringLiteral("^(?:\\d{1,3}:[0-5]\\d|\\d{1,2}:[0-5]\\d:[0-5]\\d)$"));
    const QString time = typed.trimmed();
    return shape.match(time).hasMatch() ? time : QString();
}

void ReplayStarter::start(const GameInstall& install, Command command, const QString& replayPath, const QString& time,
                          std::function<void(Launcher::Result)> done)
{
    // Wine answers for the prefix the game runs in; a Steam copy on Linux runs
    // in Proton's, where the Z: drive is the same.
    const QString prefix =
        install.winePrefix.isEmpty() ? WinePrefix::containing(install.gameFolder) : install.winePrefix;
    QPointer<ReplayStarter> self(this);
    m_lookup->find(replayPath, prefix, [self, install, command, time, done](const QString& windowsPath) {
        if (!self)
            return;
        GameStarter starter(self->m_launcher);
        done(starter.startGame(install, GameStarter::Program::Game, arguments(command, windowsPath, time)));
    });
}
