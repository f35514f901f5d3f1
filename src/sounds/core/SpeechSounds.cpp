// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/SpeechSounds.h"

namespace SpeechSounds {

const QStringList& names()
{
    static const QStringList list = {
        QStringLiteral("Amazing"),
        QStringLiteral("Boring"),
        QStringLiteral("Brilliant"),
        QStringLiteral("Bummer"),
        QStringLiteral("Bungee"),
        QStringLiteral("ByeBye"),
        QStringLiteral("Collect"),
        QStringLiteral("ComeOnThen"),
        QStringLiteral("Coward"),
        QStringLiteral("DragonPunch"),
        QStringLiteral("Drop"),
        QStringLiteral("Excellent"),
        QStringLiteral("Fatality"),
        QStringLiteral("Fire"),
        QStringLiteral("Fireball"),
        QStringLiteral("FirstBlood"),
        QStringLiteral("Flawless"),
        QStringLiteral("GoAway"),
        QStringLiteral("Grenade"),
        QStringLiteral("Hello"),
        QStringLiteral("IllGetYou"),
        QStringLiteral("Incoming"),
        QStringLiteral("Jump1"),
        QStringLiteral("Jump2"),
        QStringLiteral("JustYouWait"),
        QStringLiteral("Kamikaze"),
        QStringLiteral("Laugh"),
        QStringLiteral("LeaveMeAlone"),
        QStringLiteral("Missed"),
        QStringLiteral("Nooo"),
        QStringLiteral("OhDear"),
        QStringLiteral("OiNutter"),
        QStringLiteral("Ooff1"),
        QStringLiteral("Ooff2"),
        QStringLiteral("Ooff3"),
        QStringLiteral("Oops"),
        QStringLiteral("Orders"),
        QStringLiteral("Ouch"),
        QStringLiteral("Ow1"),
        QStringLiteral("Ow2"),
        QStringLiteral("Ow3"),
        QStringLiteral("Perfect"),
        QStringLiteral("Revenge"),
        QStringLiteral("Runaway"),
        QStringLiteral("Stupid"),
        QStringLiteral("TakeCover"),
        QStringLiteral("Traitor"),
        QStringLiteral("Victory"),
        QStringLiteral("WatchThis"),
        QStringLiteral("WhatThe"),
        QStringLiteral("YesSir"),
        QStringLiteral("YoullRegretThat"),
        // Spoken by the game as well, though missing from the classic list.
        QStringLiteral("Hurry"),
        QStringLiteral("Uh-Oh"),
    };
    return list;
}

QString soundOfFile(const QString& fileName)
{
    const QString extension = QStringLiteral(".wav");
    if (!fileName.endsWith(extension, Qt::CaseInsensitive))
        return QString();
    const QString base = fileName.chopped(extension.size());
    for (const QString& name : names())
        if (name.compare(base, Qt::CaseInsensitive) == 0)
            return name;
    return QString();
}

} // namespace SpeechSounds
