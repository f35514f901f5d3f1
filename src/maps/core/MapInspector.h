// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/LatestOnly.h"
#include "maps/core/MapCheck.h"

#include <QList>
#include <QObject>
#include <QStringList>

// Inspects map files (MapCheck) on a worker thread, so that a large map never
// freezes the window. With `supersede`, each request drops the ones before
// it (the selected map); otherwise every request is answered, in order (the
// files of each drop).
class MapInspector : public QObject {
    Q_OBJECT
public:
    explicit MapInspector(bool supersede, QObject* parent = nullptr);
    ~MapInspector() override;

    void request(const QStringList& files);
    // Drops every request not yet answered.
    void cancel();
    // True while a request has not been answered.
    bool busy() const { return m_waiting > 0; }

Q_SIGNALS:
    void inspected(const QStringList& files, const QList<MapCheck::Report>& reports);

private:
    bool m_supersede;
    LatestOnly m_work{1}; // one worker: answers come in the order asked
    int m_waiting = 0;
};
