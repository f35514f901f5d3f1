// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/MicrophoneChoice.h"

#include <QObject>
#include <functional>

class QComboBox;
class QLabel;
class QWidget;

// The "Microphone" choice under the editor's tools: the system default
// first, then every input by its description. A choice is remembered at once
// and used from the next recording on. A remembered input that is gone shows
// the system default, keeps the choice (it may be plugged in again) and a
// line under the choice says so.
class MicrophonePicker : public QObject {
public:
    MicrophonePicker(std::function<MicrophoneChoice()> inputs, QWidget* window);

    // Lists the inputs there are now and shows the remembered choice.
    void fill();

private:
    void chosen(int index);

    std::function<MicrophoneChoice()> m_inputs;
    QComboBox* m_combo;
    QLabel* m_note;
};
