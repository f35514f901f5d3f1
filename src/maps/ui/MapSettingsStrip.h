// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "maps/core/MapCheck.h"

#include <QWidget>

class QLabel;

// A strip along the bottom of the map preview: the selected map's settings
// in words on the left (lblMapSettings) and what the game's rules say about
// it beside them (lblMapWarnings). Hidden while there is nothing to say.
class MapSettingsStrip : public QWidget {
    Q_OBJECT
public:
    explicit MapSettingsStrip(QWidget* preview);

    void showReport(const MapCheck::Report& report);
    void clear() { hide(); }

private:
    QLabel* m_settings;
    QLabel* m_warnings;
};
