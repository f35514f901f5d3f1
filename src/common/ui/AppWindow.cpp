// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/AppWindow.h"

#include "common/ui/AppContext.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

AppWindow::AppWindow(AppContext& context, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
{
}

void AppWindow::closeEvent(QCloseEvent* event)
{
    if (m_context.ending()) {
        event->accept();
        return;
    }
    if (!formUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    m_context.windowUnloaded(this);
}

void AppWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (m_escapeAction) {
            event->accept();
            m_escapeAction();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Push buttons outside dialogs take only Space; these windows have no
        // default button, so Enter means the button that has the focus.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && !event->isAutoRepeat()) {
            event->accept();
            button->click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
