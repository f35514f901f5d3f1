// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class CountingPrompter;
class QLabel;
class QProgressBar;
class QTimer;
class QWidget;
class WaveRecorder;

// The input level meter under the recorder: while a take is recorded, the
// loudest sound of the last moment in dBFS ("no signal" after two silent
// seconds) and the length recorded so far.
class InputLevelMeter : public QObject {
    Q_OBJECT
public:
    InputLevelMeter(WaveRecorder& recorder, CountingPrompter& prompter, QWidget* window);

    void start();
    void stop();

private:
    void update();

    WaveRecorder& m_recorder;
    CountingPrompter& m_prompter;
    QProgressBar* m_inputLevel;
    QLabel* m_recordLength;
    QTimer* m_timer;
};
