// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/ClickLabel.h"

#include "common/ui/ButtonLabelAccessibility.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>

ClickLabel::ClickLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setMouseTracking(true);
    ButtonLabelAccessibility::install();
}

bool ClickLabel::actsAsButton() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&ClickLabel::clicked));
}

void ClickLabel::connectNotify(const QMetaMethod& signal)
{
    // Tab only: the mouse user's clicks leave the focus (and the look) alone.
    if (signal == QMetaMethod::fromSignal(&ClickLabel::clicked))
        setFocusPolicy(Qt::TabFocus);
    QLabel::connectNotify(signal);
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool activates = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!activates || !actsAsButton()) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    // A label that got the focus with its window shows no mark yet: the
    // first key shows where the focus is instead of acting unseen.
    if (!m_focusMark)
        setFocusMark(true);
    else
        Q_EMIT clicked();
}

void ClickLabel::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        setFocusMark(true);
}

void ClickLabel::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    // A menu or a box taking the focus for a moment keeps the mark.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        setFocusMark(false);
}

void ClickLabel::setFocusMark(bool shown)
{
    if (m_focusMark == shown)
        return;
    m_focusMark = shown;
    Q_EMIT focusMarkChanged(shown);
    // The focus mark is the window's hover highlight: a label that the
    // keyboard reaches reports itself as hovered, so every window marks it
    // the way it marks the label under the mouse.
    if (shown)
        Q_EMIT mouseMoved();
}

void setBackground(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Base, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QColor background(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

void setForeground(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    p.setColor(QPalette::ButtonText, color);
    widget->setPalette(p);
}

void ClickLabel::setBackColor(const QColor& color)
{
    m_back = color;
    if (color.isValid()) {
        setBackground(this, color);
    } else {
        setAutoFillBackground(false);
    }
}

void ClickLabel::setForeColor(const QColor& color)
{
    m_fore = color;
    setForeground(this, color);
}

void ClickTracker::press(const QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

bool ClickTracker::release(const QMouseEvent* event, const QRect& area)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    return event->button() == Qt::LeftButton && wasPressed && area.contains(event->position().toPoint());
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    m_clicks.press(event);
    Q_EMIT pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_clicks.release(event, rect()))
        Q_EMIT clicked();
    event->accept();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_clicks.doublePress();
        Q_EMIT doubleClicked();
    }
    event->accept();
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT mouseMoved();
    event->accept();
}

ClickFrame::ClickFrame(QWidget* parent)
    : QFrame(parent)
{
    setMouseTracking(true);
}

void ClickFrame::mousePressEvent(QMouseEvent* event)
{
    m_clicks.press(event);
    Q_EMIT pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void ClickFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_clicks.release(event, rect()))
        Q_EMIT clicked();
    event->accept();
}

void ClickFrame::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT mouseMoved();
    event->accept();
}

QFont designFont(const QString& family, int pointSize, bool bold)
{
    QFont font;
    QStringList families{family};
    if (family == QLatin1String("Courier New"))
        families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono");
    else if (family == QLatin1String("Times New Roman"))
        families << QStringLiteral("Liberation Serif") << QStringLiteral("DejaVu Serif");
    else
        families << QStringLiteral("DejaVu Sans") << QStringLiteral("Liberation Sans");
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}
