// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/AppContext.h"

#include <QWidget>

void AppContext::showWindow(const QString& name)
{
    if (QWidget* w = window(name))
        w->show();
}

void AppContext::hideWindow(const QString& name)
{
    if (QWidget* w = existingWindow(name))
        w->hide();
}
