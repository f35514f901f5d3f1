// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;

// The panel that covers the games window until its first fill is shown: a
// white page with the note that the list is being filled.
class GameWaitingPanel : public QFrame {
    Q_OBJECT
public:
    explicit GameWaitingPanel(QWidget* window);

    // Covers the whole window again, after it changed size.
    void cover();

private:
    QLabel* m_note;
};
