// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapInspector.h"

MapInspector::MapInspector(bool supersede, QObject* parent)
    : QObject(parent)
    , m_supersede(supersede)
{
}

MapInspector::~MapInspector() = default;

void MapInspector::request(const QStringList& files)
{
    if (m_supersede)
        cancel();
    ++m_waiting;
    m_work.add([this, files](const LatestOnly::Request& request) {
        QList<MapCheck::Report> reports;
        const std::function<bool()> cancelled = request.cancelTest();
        // A superseded request stops even inside a large map.
        for (const QString& file : files)
            reports << MapCheck::inspectFile(file, cancelled);
        request.deliver([this, files, reports] {
            --m_waiting;
            emit inspected(files, reports);
        });
    });
}

void MapInspector::cancel()
{
    m_work.cancel();
    m_waiting = 0;
}
