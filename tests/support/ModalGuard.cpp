#include "support/ModalGuard.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

ModalGuard::ModalGuard()
    : m_timer(new QTimer(this))
{
    m_timer->setInterval(200);
    connect(m_timer, &QTimer::timeout, this, &ModalGuard::check);
    m_timer->start();
}

ModalGuard::~ModalGuard() = default;

void ModalGuard::check()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        m_closed << modal->windowTitle();
        modal->close();
    }
}
