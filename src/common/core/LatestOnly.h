// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

// Runs background work for one owner where only the latest request counts.
// Starting a request supersedes the one before: its work not yet begun is
// dropped, its running work sees its cancel flag, and none of its results
// reach the owner any more. Results are handed to the thread that owns this
// object, in the order they were delivered, and only while their request is
// still the latest. Destroying it cancels and waits for running work, so work
// may use what the owner gave it until then.
//
// This is the one place of the program that owns worker threads (work that
// runs on one may split itself across two cores with Parallel::both).
class LatestOnly : public QObject {
    Q_OBJECT
public:
    // What a piece of work sees of its request.
    class Request {
    public:
        // True once a newer request, cancel() or the helper's end superseded it.
        bool cancelled() const { return m_latest->load() != m_ticket; }
        // A cancel test to hand to code that stops early when asked.
        std::function<bool()> cancelTest() const
        {
            return [latest = m_latest, ticket = m_ticket] { return latest->load() != ticket; };
        }
        // Runs `done` on the owner's thread, unless the request has been
        // superseded by then.
        void deliver(std::function<void()> done) const;

    private:
        friend class LatestOnly;
        Request(LatestOnly* owner, std::shared_ptr<std::atomic<quint64>> latest, quint64 ticket)
            : m_owner(owner)
            , m_latest(std::move(latest))
            , m_ticket(ticket)
        {
        }
        LatestOnly* m_owner;
        std::shared_ptr<std::atomic<quint64>> m_latest;
        quint64 m_ticket;
    };
    using Work = std::function<void(const Request&)>;

    // `threads` workers at most; with one, work runs in the order it was given.
    explicit LatestOnly(int threads = 1, QObject* parent = nullptr);
    ~LatestOnly() override;

    // A new request with `work`: supersedes every request before it.
    void start(Work work);
    // More work for the latest request, without superseding it.
    void add(Work work);
    // Supersedes every request without a new one.
    void cancel();
    // Waits until no work runs or waits to run (for the owner's end and tests).
    void waitForDone();

    // Runs `work` off the owner's thread and hands its result to `done` on it,
    // while this is still the latest request. `work` gets a cancel test.
    template <typename Result>
    void run(std::function<Result(const std::function<bool()>&)> work, std::function<void(const Result&)> done)
    {
        start([work = std::move(work), done = std::move(done)](const Request& request) {
            if (request.cancelled())
                return;
            Result result = work(request.cancelTest());
            request.deliver([done, result = std::move(result)] { done(result); });
        });
    }

private:
    void submit(quint64 ticket, Work work);

    QThreadPool m_pool;
    std::shared_ptr<std::atomic<quint64>> m_latest;
};
