#include "maps/core/MapInspector.h"

MapInspector::MapInspector(bool supersede, QObject* parent)
    : QObject(parent)
    , m_supersede(supersede)
    , m_latest(std::make_shared<std::atomic<quint64>>(0))
{
    m_pool.setMaxThreadCount(1); // answers come in the order asked
}

MapInspector::~MapInspector()
{
    cancel();
    m_pool.waitForDone();
}

void MapInspector::request(const QStringList& files)
{
    if (m_supersede)
        cancel();
    const quint64 ticket = m_latest->load();
    ++m_waiting;
    m_pool.start([this, ticket, files, latest = m_latest] {
        QList<MapCheck::Report> reports;
        for (const QString& file : files) {
            if (latest->load() != ticket)
                return;
            reports << MapCheck::inspectFile(file);
        }
        // The pool is waited for before this object goes, so `this` is alive.
        QMetaObject::invokeMethod(
            this,
            [this, ticket, files, reports] {
                if (ticket != m_latest->load())
                    return;
                --m_waiting;
                emit inspected(files, reports);
            },
            Qt::QueuedConnection);
    });
}

void MapInspector::cancel()
{
    m_pool.clear();
    ++*m_latest;
    m_waiting = 0;
}
