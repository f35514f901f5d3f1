#pragma once

#include "common/ui/AppWindow.h"

class QLabel;
class QTimer;

// The small window shown for a moment while the games window or the programs
// window is rebuilt from scratch (a hand-over).
class LoadingWindow : public AppWindow {
    Q_OBJECT
public:
    explicit LoadingWindow(AppContext& context);

    void formLoad() override;

    // Reopens the games window on the next turn of the event loop.
    void startGamesReopen();
    // Unloads the programs window, then creates and shows it afresh.
    void startProgramsRebuild();

    bool gamesReopenPending() const;
    bool programsRebuildPending() const;

protected:
    bool formUnload() override;

private:
    void timer1Timer();
    void timer3Timer();
    void timLoadProgTimer();

    QLabel* m_imgArmy;
    QTimer* m_timer1;
    QTimer* m_timer3;
    QTimer* m_timLoadProg;
};
