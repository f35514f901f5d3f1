// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/LatestOnly.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QProgressDialog;
class QTimer;
class QWidget;

// How far a window's long work is: a box, in the window's colours and font,
// with the count done of the total ("120 of 5000 games"), a bar and Cancel.
// The work runs off the window's thread and reports through reporter(); the
// box shows after a moment, so that short work shows none, and follows the
// count a few times a second. The window stays usable meanwhile.
class WorkProgress : public QObject {
    Q_OBJECT
public:
    // `what` names the things counted ("games"), `title` the box.
    WorkProgress(QWidget* window, const QString& title, const QString& what);
    ~WorkProgress() override;

    // For the work, on any thread: takes the count and tells whether to go
    // on (false once the user cancelled or finish() was called).
    std::function<bool(int done, int total)> reporter() const;
    // Closes the box; the work is done or has stopped.
    void finish();

    // Runs `work` through `runner` with a box on `window`: `work` gets a
    // reporter that also says stop once the runner drops the request, and
    // `done` gets its result on the window's thread after the box closed.
    template <typename Result>
    static void run(LatestOnly& runner, QWidget* window, const QString& title, const QString& what,
                    std::function<Result(const std::function<bool(int done, int total)>& report)> work,
                    std::function<void(const Result&)> done)
    {
        auto* progress = new WorkProgress(window, title, what);
        runner.run<Result>(
            [work = std::move(work), report = progress->reporter()](const std::function<bool()>& cancelled) {
                return work([&](int count, int total) { return report(count, total) && !cancelled(); });
            },
            [progress, done = std::move(done)](const Result& result) {
                progress->finish();
                done(result);
            });
    }

private:
    struct Shared {
        std::atomic<int> done{0};
        std::atomic<int> total{0};
        std::atomic<bool> stop{false};
    };
    void update();

    std::shared_ptr<Shared> m_shared;
    QPointer<QProgressDialog> m_box;
    QTimer* m_timer;
    QString m_what;
};
