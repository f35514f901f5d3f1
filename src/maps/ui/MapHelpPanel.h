// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class Desktop;
class QCheckBox;
class QGroupBox;
class QLabel;
class QWidget;

// The map manager's help: two check boxes that show the transfer station's
// help text and the frame of map download sites, both over the army picture.
class MapHelpPanel : public QObject {
    Q_OBJECT
public:
    MapHelpPanel(Desktop& desktop, QWidget* window);

    // The check boxes' frame keeps to the window's bottom edge.
    void moveChoicesTo(int top);

    // The web addresses behind the two download sites.
    static QString mapDatabaseAddress();
    static QString mapMakingAddress();

private:
    QLabel* m_lblDesc;
    QGroupBox* m_downloadSites;
    QGroupBox* m_helpChoices;
};
