#pragma once

#include "common/core/GameStarter.h"
#include "common/ui/AppWindow.h"
#include "shell/core/TempGamesList.h"

#include <QImage>

class Application;
class ClickLabel;
class QFrame;
class QLabel;
class QTimer;

// The main menu: opens the managers, starts the game and WormKit, shows the
// About box, and ends the program. Its load step is the installation check.
class MainMenuWindow : public AppWindow {
    Q_OBJECT
public:
    explicit MainMenuWindow(Application& app);

    void formLoad() override;

    // Sets the background of every highlight bar back to the plain colour.
    void clearMenuHighlight();

    // Points the list of temporary games at Games/Temp and brings it up to date.
    void pointTempListAtTempFolder();
    const TempGamesList& tempGamesList() const { return m_file1; }

    static QColor highlightColour();
    static QColor plainColour();

protected:
    bool formUnload() override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    ClickLabel* addEntry(const QString& name, const QString& caption, ClickLabel* bar);
    ClickLabel* addBar(const QString& name, const QRect& geometry);
    void highlight(ClickLabel* bar);
    void openManager(const QString& windowName);
    void launch(GameStarter::Program program);
    void frame2Click();
    void timerEndTimer();

    Application& m_app;
    TempGamesList m_file1;
    QImage m_probe;
    bool m_closing = false;

    QLabel* m_imgArmy;
    ClickLabel* m_label1;
    ClickLabel* m_lbl1;
    ClickLabel* m_lbl2;
    ClickLabel* m_label8;
    ClickLabel* m_label5;
    ClickLabel* m_lblPlayWA;
    ClickLabel* m_lblWormKit;
    ClickLabel* m_lblAbout;
    QFrame* m_frame1;
    QFrame* m_frame2;
    QLabel* m_image1;
    QTimer* m_timerEnd;
};
