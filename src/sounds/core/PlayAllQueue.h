// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Play All: a scheme's sound bytes, one for each speech sound in the order of
// the speech sounds, played one after another until the queue runs out or is
// ended.
class PlayAllQueue {
public:
    // The files of `folder` to play, out of its sound bytes `files`.
    static QStringList order(const QString& folder, const QStringList& files);

    void start(const QStringList& paths);
    // The next file to play; "" once the queue has run out (it is then no
    // longer active).
    QString next();
    void clear();
    bool active() const { return m_active; }

private:
    QStringList m_queue;
    bool m_active = false;
};
