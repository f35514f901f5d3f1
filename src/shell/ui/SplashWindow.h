// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/AppWindow.h"

class ClickLabel;
class QFrame;
class QLabel;
class QTimer;

// The splash window: shown at start, and again later as the About box; it
// names the copy of the game in use. Its timer brings the main menu 3000 ms after the program starts.
class SplashWindow : public AppWindow {
    Q_OBJECT
public:
    explicit SplashWindow(AppContext& context);

    void formLoad() override;

protected:
    bool formUnload() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void closeTimerFired();

    QFrame* m_border;
    QLabel* m_imgLogo;
    QLabel* m_lblVersion;
    QLabel* m_lblInstall;
    QLabel* m_tagline;
    QLabel* m_closeHint;
    QTimer* m_closeTimer;
};
