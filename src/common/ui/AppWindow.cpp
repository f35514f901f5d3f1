#include "common/ui/AppWindow.h"

#include "common/ui/AppContext.h"

#include <QCloseEvent>

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
