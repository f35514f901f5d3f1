// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

class QLineEdit;

// Shows a line edit's text elided while the user is not typing in it: a long
// path keeps its end and loses its start to "…", instead of the edit's own
// scrolling that starts the visible part in the middle of a word. The whole
// text is the edit's tooltip. The view lies over the edit, lets the mouse
// through to it, and steps aside once the user starts editing (a click, a
// key, or Tab into the edit) until the edit loses the focus.
class ElidedLineView : public QLabel {
    Q_OBJECT
public:
    ElidedLineView(QLineEdit* edit, Qt::TextElideMode mode);

    // What the view shows now (the elided text), for tests.
    QString shownText() const { return text(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QLineEdit* m_edit;
    Qt::TextElideMode m_mode;
    bool m_editing = false;
};
