#pragma once

#include <QFrame>
#include <QLabel>

// A label that serves as a button: it reports clicks, double clicks, mouse
// presses and every mouse movement over it (for hover highlights), and keeps
// its own background and text colours.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text = QString(), QWidget* parent = nullptr);

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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QColor m_back;
    QColor m_fore;
    bool m_pressed = false;
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
    bool m_pressed = false;
};

// Sets a widget's background colour through its palette (filling it).
void setBackground(QWidget* widget, const QColor& color);
QColor background(const QWidget* widget);
// Sets a widget's text colour through its palette.
void setForeground(QWidget* widget, const QColor& color);

// A font by the family name the program's look was drawn with, falling back
// to a similar family that this system has.
QFont designFont(const QString& family, int pointSize, bool bold = false);
