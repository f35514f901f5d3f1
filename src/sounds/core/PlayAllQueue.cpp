// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/PlayAllQueue.h"

#include "sounds/core/SpeechSounds.h"

#include <QDir>

QStringList PlayAllQueue::order(const QString& folder, const QStringList& files)
{
    QStringList paths;
    for (const QString& sound : SpeechSounds::names())
        for (const QString& file : files)
            if (SpeechSounds::soundOfFile(file) == sound) {
                paths.append(QDir(folder).filePath(file));
                break;
            }
    return paths;
}

void PlayAllQueue::start(const QStringList& paths)
{
    m_queue = paths;
    m_active = !paths.isEmpty();
}

QString PlayAllQueue::next()
{
    if (m_queue.isEmpty()) {
        m_active = false;
        return QString();
    }
    return m_queue.takeFirst();
}

void PlayAllQueue::clear()
{
    m_queue.clear();
    m_active = false;
}
