// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// A safety net for widget tests: every box goes through the Prompter, so no
// real modal window should ever open. If one does, the guard closes it within
// a moment and records it, so that the test fails instead of hanging.
class ModalGuard : public QObject {
public:
    ModalGuard()
    {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_closed << modal->windowTitle();
                modal->close();
            }
        });
        timer->start(200);
    }
    const QStringList& closed() const { return m_closed; }

private:
    QStringList m_closed;
};

#define VERIFY_NO_MODAL(guard)                                                                                         \
    QVERIFY2((guard).closed().isEmpty(),                                                                               \
             qPrintable(QStringLiteral("a real modal window opened: ") + (guard).closed().join(QStringLiteral(", "))))
