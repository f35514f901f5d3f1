// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QPushButton;

// The recorder's buttons (Record, Preview, Stop, Reset, OK) in their boxed
// panel. Which of them can be pressed follows from one state of the recorder,
// and Stop also ends Play All while it runs.
class RecorderPanel : public QFrame {
    Q_OBJECT
public:
    enum class State {
        Ready,          // nothing recorded, the device not yet seen stopped
        Stopped,        // nothing held to keep, the device stopped: Preview is offered
        Recording,      // a take is being recorded
        Held,           // a take was stopped and can be kept with OK
        Previewing,     // playing from the start position, nothing to keep
        PreviewingHeld, // playing the held take from the start position
    };

    explicit RecorderPanel(QWidget* parent);

    State state() const { return m_state; }
    void setState(State state);
    void setPlayingAll(bool playingAll);
    bool previewing() const { return m_state == State::Previewing || m_state == State::PreviewingHeld; }

Q_SIGNALS:
    void recordClicked();
    void previewClicked();
    void stopClicked();
    void resetClicked();
    void keepClicked();

private:
    void showState();

    State m_state = State::Ready;
    bool m_playingAll = false;
    QPushButton* m_cmdRecord;
    QPushButton* m_cmdPlay;
    QPushButton* m_cmdStop;
    QPushButton* m_cmdOK;
};
