// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/WorkProgress.h"

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

namespace {
constexpr int kShowAfterMs = 400;
constexpr int kUpdateMs = 100;
} // namespace

WorkProgress::WorkProgress(QWidget* window, const QString& title, const QString& what)
    : QObject(window)
    , m_shared(std::make_shared<Shared>())
    , m_box(new QProgressDialog(window))
    , m_timer(new QTimer(this))
    , m_what(what)
{
    m_box->setObjectName(QStringLiteral("dlgWorkProgress"));
    m_box->setWindowTitle(title);
    // A box of its own takes neither colours nor font from the window.
    m_box->setPalette(window->palette());
    m_box->setFont(window->font());
    m_box->setWindowModality(Qt::NonModal);
    m_box->setAutoClose(false);
    m_box->setAutoReset(false);
    m_box->setMinimumDuration(kShowAfterMs);
    m_box->setMinimumWidth(320);
    m_box->setLabelText(QStringLiteral("Starting\u2026"));
    m_box->setValue(0); // starts the time after which the box shows
    connect(m_box.data(), &QProgressDialog::canceled, this, [shared = m_shared] { shared->stop = true; });
    connect(m_timer, &QTimer::timeout, this, &WorkProgress::update);
    m_timer->start(kUpdateMs);
}

WorkProgress::~WorkProgress()
{
    m_shared->stop = true;
    delete m_box;
}

std::function<bool(int, int)> WorkProgress::reporter() const
{
    return [shared = m_shared](int done, int total) {
        shared->total = total;
        shared->done = done;
        return !shared->stop;
    };
}

void WorkProgress::finish()
{
    m_shared->stop = true;
    m_timer->stop();
    if (m_box)
        m_box->close();
    deleteLater();
}

void WorkProgress::update()
{
    if (!m_box || m_shared->stop)
        return;
    const int total = m_shared->total;
    const int done = qMin(int(m_shared->done), total);
    if (total <= 0)
        return;
    m_box->setLabelText(QStringLiteral("%1 of %2 %3").arg(done).arg(total).arg(m_what));
    m_box->setMaximum(total);
    m_box->setValue(done);
}
