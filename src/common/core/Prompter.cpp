// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/Prompter.h"

#include "common/core/AppInfo.h"

#include <QStringList>

void Prompter::tell(const QString& text)
{
    message(text, AppInfo::title(), Buttons::Ok, Icon::None);
}

QString qtFileFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(')))
            out << description;
        else
            out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}
