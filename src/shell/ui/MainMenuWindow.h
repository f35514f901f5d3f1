// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/AppWindow.h"
#include "installs/core/GameStarter.h"
#include "shell/core/TempGamesList.h"

#include <QImage>

class Application;
class ClickLabel;
class HoverGroup;
class QFrame;
class QLabel;
class QTimer;

// The main menu: opens the managers, starts the game and WormKit, switches to
// another copy of the game, shows the About box, and ends the program. Its
// load step is the installation check.
class MainMenuWindow : public AppWindow {
    Q_OBJECT
public:
    explicit MainMenuWindow(Application& app);

    void formLoad() override;

    // Sets the background of every highlight bar back to the plain colour.
    void clearMenuHighlight();

    // Points the list of temporary games at Games/Temp and brings it up to date.
    void pointTempListAtTempFolder();
    const TempGamesList& tempGamesList() const { return m_tempGames; }

    static QColor highlightColour();
    static QColor plainColour();

protected:
    bool formUnload() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Up and Down move the focus between the menu entries.
    void keyPressEvent(QKeyEvent* event) override;

private:
    ClickLabel* addEntry(const QString& name, const QString& caption, ClickLabel* bar);
    ClickLabel* addBar(const QString& name, const QRect& geometry);
    void openManager(const QString& windowName);
    void launch(GameStarter::Program program);
    // The entries that the keyboard reaches now, in reading order (top to
    // bottom, then left to right), whatever entries the menu holds.
    QList<ClickLabel*> keyboardEntries() const;
    void orderKeyboardEntries();
    void warningClicked();
    void endTimeout();

    Application& m_app;
    TempGamesList m_tempGames;
    QImage m_probe;
    bool m_closing = false;

    HoverGroup* m_highlight;
    QLabel* m_armyPicture;
    ClickLabel* m_startCaption;
    ClickLabel* m_mapsBar;
    ClickLabel* m_gamesBar;
    ClickLabel* m_soundsBar;
    ClickLabel* m_programsBar;
    ClickLabel* m_playEntry;
    ClickLabel* m_wormKitEntry;
    ClickLabel* m_aboutEntry;
    ClickLabel* m_switchEntry;
    ClickLabel* m_schemesEntry;
    QFrame* m_goodbyePanel;
    QFrame* m_warningPanel;
    QLabel* m_probePicture;
    QTimer* m_endTimer;
};
