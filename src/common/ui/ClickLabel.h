// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QLabel>

class QMouseEvent;

// The press-and-release rule that makes a click, shared by the clickable label
// and frame: a left press followed by a left release inside the widget.
class ClickTracker {
public:
    void press(const QMouseEvent* event);
    // True when this release completes a click inside `area`.
    bool release(const QMouseEvent* event, const QRect& area);
    // A double click counts as a press, so that its release is not a click of its own.
    void doublePress() { m_pressed = true; }

private:
    bool m_pressed = false;
};

// A label that serves as a button: it reports clicks, double clicks, mouse
// presses and every mouse movement over it (for hover highlights), and keeps
// its own background and text colours.
//
// Once something listens to its clicks it acts as a button for the keyboard
// and for assistive tools too: Tab reaches it (a mouse click never moves the
// focus to it), Enter or Space reports a click, and it tells accessibility
// clients that it is a push button named by its caption.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text = QString(), QWidget* parent = nullptr);

    bool actsAsButton() const;
    // True while the label has the focus and got it from the keyboard: the
    // moment to show a focus mark.
    bool hasFocusMark() const { return m_focusMark; }

    // An invalid colour makes the background transparent.
    void setBackColor(const QColor& color);
    QColor backColor() const { return m_back; }
    void setForeColor(const QColor& color);
    QColor foreColor() const { return m_fore; }

Q_SIGNALS:
    void clicked();
    void doubleClicked();
    void mouseMoved();
    void pressed(Qt::MouseButton button, const QPoint& globalPos);
    // The focus mark is to be shown (true) or taken away (false).
    void focusMarkChanged(bool shown);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void connectNotify(const QMetaMethod& signal) override;

private:
    void setFocusMark(bool shown);

    QColor m_back;
    QColor m_fore;
    ClickTracker m_clicks;
    bool m_focusMark = false;
};

// A frame that reports clicks and mouse movements over its own surface (and
// over children that do not take the mouse themselves, such as plain labels).
class ClickFrame : public QFrame {
    Q_OBJECT
public:
    explicit ClickFrame(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();
    void mouseMoved();
    void pressed(Qt::MouseButton button, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    ClickTracker m_clicks;
};

// Sets a widget's background colour through its palette (filling it).
void setBackground(QWidget* widget, const QColor& color);
QColor background(const QWidget* widget);
// Sets a widget's text colour through its palette.
void setForeground(QWidget* widget, const QColor& color);

// A font by the family name the program's look was drawn with, falling back
// to a similar family that this system has.
QFont designFont(const QString& family, int pointSize, bool bold = false);
