// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapSettingsStrip.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

void colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

MapSettingsStrip::MapSettingsStrip(QWidget* preview)
    : QWidget(preview)
    , m_settings(new QLabel(this))
    , m_warnings(new QLabel(this))
{
    setAutoFillBackground(true);
    colour(this, QPalette::Window, QColor(0, 0, 0, 170)); // the map stays visible behind it
    m_settings->setObjectName(QStringLiteral("lblMapSettings"));
    colour(m_settings, QPalette::WindowText, Qt::white);
    m_warnings->setObjectName(QStringLiteral("lblMapWarnings"));
    m_warnings->setWordWrap(true);
    m_warnings->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    colour(m_warnings, QPalette::WindowText, QColor(255, 200, 60));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->addWidget(m_settings, 0, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(m_warnings, 1);
    hide();
}

void MapSettingsStrip::showReport(const MapCheck::Report& report)
{
    m_settings->setText(report.settingsLine());
    m_warnings->setText(report.findings.join(QLatin1Char('\n')));
    m_warnings->setVisible(!report.findings.isEmpty());
    const QWidget* preview = parentWidget();
    const int width = preview->width();
    const int wanted = heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height();
    const int height = std::min(wanted, preview->height());
    setGeometry(0, preview->height() - height, width, height);
    QWidget::show();
    raise();
}
