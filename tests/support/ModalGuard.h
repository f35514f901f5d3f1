#pragma once

#include <QObject>
#include <QStringList>

class QTimer;

// A safety net for widget tests: every box goes through the Prompter, so no
// real modal window should ever open. If one does, the guard closes it within
// a moment and records it, so that the test fails instead of hanging.
class ModalGuard : public QObject {
public:
    ModalGuard();
    ~ModalGuard() override;
    const QStringList& closed() const { return m_closed; }

private:
    void check();
    QTimer* m_timer;
    QStringList m_closed;
};

#define VERIFY_NO_MODAL(guard)                                                                                         \
    QVERIFY2((guard).closed().isEmpty(),                                                                               \
             qPrintable(QStringLiteral("a real modal window opened: ") + (guard).closed().join(QStringLiteral(", "))))
