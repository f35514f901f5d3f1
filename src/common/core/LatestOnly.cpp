// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/LatestOnly.h"

#include <QMetaObject>

#include <algorithm>

LatestOnly::LatestOnly(int threads, QObject* parent)
    : QObject(parent)
    , m_latest(std::make_shared<std::atomic<quint64>>(0))
{
    m_pool.setMaxThreadCount(std::max(1, threads));
}

LatestOnly::~LatestOnly()
{
    cancel();
    m_pool.waitForDone();
}

void LatestOnly::Request::deliver(std::function<void()> done) const
{
    if (cancelled())
        return;
    // The pool is waited for before the helper goes, so m_owner is alive
    // here; a call still queued when it goes is dropped with it.
    QMetaObject::invokeMethod(
        m_owner,
        [latest = m_latest, ticket = m_ticket, done = std::move(done)] {
            if (latest->load() == ticket)
                done();
        },
        Qt::QueuedConnection);
}

void LatestOnly::start(Work work)
{
    cancel();
    submit(m_latest->load(), std::move(work));
}

void LatestOnly::add(Work work)
{
    submit(m_latest->load(), std::move(work));
}

void LatestOnly::cancel()
{
    m_pool.clear();
    ++*m_latest;
}

void LatestOnly::waitForDone()
{
    m_pool.waitForDone();
}

void LatestOnly::submit(quint64 ticket, Work work)
{
    m_pool.start([request = Request(this, m_latest, ticket), work = std::move(work)] {
        if (!request.cancelled())
            work(request);
    });
}
