// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>
#include <QObject>

class ClickLabel;
class QRect;
class QString;
class QWidget;

// A group of labels of which the one under the mouse is highlighted: moving
// onto a member highlights it (and only it); moving over the rest of the
// window, or over the areas handed to clearOnMouseMove(), clears the highlight.
class HoverGroup : public QObject {
    Q_OBJECT
public:
    HoverGroup(const QColor& plain, const QColor& highlight, QObject* parent = nullptr);

    // Adds `control` in the plain colour. The mouse moving over `trigger`
    // (the control itself when null) highlights it.
    void add(ClickLabel* control, ClickLabel* trigger = nullptr);
    // A new member on `parent`: a boxed button of bold 8-point Verdana with
    // its caption centred and a pointing-hand cursor, at `geometry`.
    ClickLabel* addButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

    // Highlights `control` and sets every other member back to plain.
    void highlight(ClickLabel* control);
    // Sets every member back to plain.
    void clear();
    // Whether one member shows the highlight; every colour change of a member
    // goes through here.
    void setHighlighted(ClickLabel* control, bool on);
    bool isHighlighted(const ClickLabel* control) const;

    // Mouse movement over `area` (a widget or a scroll area's viewport)
    // clears the highlight.
    void clearOnMouseMove(QWidget* area);

    const QColor& plain() const { return m_plain; }
    const QColor& highlighted() const { return m_highlight; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QColor m_plain;
    QColor m_highlight;
    QList<ClickLabel*> m_members;
};
