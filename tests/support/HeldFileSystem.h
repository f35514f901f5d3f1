// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/FaultyFileSystem.h"

#include <QProgressDialog>
#include <QSemaphore>
#include <QTest>

#include <atomic>

// Holds the thread making the `n`th write until letGo(): a test acts at a known point of long work.
class HeldFileSystem : public FaultyFileSystem {
public:
    explicit HeldFileSystem(int n)
        : FaultyFileSystem(Fault::None)
        , m_n(n)
    {
    }
    ~HeldFileSystem() override { m_go.release(); } // never leaves a thread held
    qint64 write(QFile& file, const char* data, qint64 size) override
    {
        const qint64 written = FileSystem::write(file, data, size);
        if (++m_count == m_n) {
            m_held.release();
            m_go.acquire();
        }
        return written;
    }
    // Waits for the held thread, cancels `window`'s progress box when `cancel`, lets the thread go.
    bool letGo(QWidget* window, bool cancel = true)
    {
        auto* box = window->findChild<QProgressDialog*>(QStringLiteral("dlgWorkProgress"));
        if (!box || !QTest::qWaitFor([this] { return m_held.tryAcquire(); }, 10000))
            return false;
        if (cancel)
            emit box->canceled(); // as its Cancel button does
        m_go.release();
        return true;
    }

private:
    int m_n;
    std::atomic<int> m_count{0};
    QSemaphore m_held, m_go;
};
