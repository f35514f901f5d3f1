// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/HoverGroup.h"

#include "common/ui/ClickLabel.h"

#include <QEvent>
#include <QWidget>

HoverGroup::HoverGroup(const QColor& plain, const QColor& highlight, QObject* parent)
    : QObject(parent)
    , m_plain(plain)
    , m_highlight(highlight)
{
}

void HoverGroup::add(ClickLabel* control, ClickLabel* trigger)
{
    m_members << control;
    setHighlighted(control, false);
    ClickLabel* source = trigger ? trigger : control;
    connect(source, &ClickLabel::mouseMoved, this, [this, control] { highlight(control); });
    // The keyboard's focus mark is the hover highlight; it goes when the focus leaves.
    connect(source, &ClickLabel::focusMarkChanged, this, [this, control](bool shown) {
        if (!shown)
            setHighlighted(control, false);
    });
}

ClickLabel* HoverGroup::addButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new ClickLabel(caption, parent);
    button->setObjectName(name);
    button->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    button->setAlignment(Qt::AlignCenter);
    button->setFrameShape(QFrame::Box);
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    add(button);
    return button;
}

void HoverGroup::highlight(ClickLabel* control)
{
    if (isHighlighted(control))
        return;
    clear();
    setHighlighted(control, true);
}

void HoverGroup::clear()
{
    for (ClickLabel* member : std::as_const(m_members))
        setHighlighted(member, false);
}

void HoverGroup::setHighlighted(ClickLabel* control, bool on)
{
    control->setBackColor(on ? m_highlight : m_plain);
}

bool HoverGroup::isHighlighted(const ClickLabel* control) const
{
    return control->backColor() == m_highlight;
}

void HoverGroup::clearOnMouseMove(QWidget* area)
{
    area->setMouseTracking(true);
    area->installEventFilter(this);
}

bool HoverGroup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        clear();
    return QObject::eventFilter(watched, event);
}
