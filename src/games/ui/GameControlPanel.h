// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/ClickLabel.h"

class HoverGroup;

// The games window's control panel: a boxed frame with its caption and the
// six buttons on the picked game and the list, highlighted under the mouse.
class GameControlPanel : public ClickFrame {
    Q_OBJECT
public:
    enum class Button { View, Delete, Move, Copy, Create, Reset };

    GameControlPanel(HoverGroup* highlight, QWidget* parent);

Q_SIGNALS:
    void buttonClicked(GameControlPanel::Button button);
};
