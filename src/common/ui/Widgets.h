// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>

// Makes the plain controls the windows are drawn with: each one named (its
// original control name) and placed at a fixed geometry in its parent.
namespace Widgets {

template <typename Widget> Widget* placed(Widget* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

inline QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    return placed(new QPushButton(text, parent), name, geometry);
}

inline QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    return placed(new QLabel(text, parent), name, geometry);
}

inline QGroupBox* frame(QWidget* parent, const QString& name, const QString& title, const QRect& geometry)
{
    return placed(new QGroupBox(title, parent), name, geometry);
}

inline QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    return placed(new QCheckBox(text, parent), name, geometry);
}

} // namespace Widgets
