// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/AppWindow.h"

#include <QColor>

class CatalogueService;
class ClickFrame;
class ClickLabel;
class HoverGroup;
class QLabel;
class QListWidget;
class QTimer;
class RecordSet;

// "My Proggies": the catalogue of game tools. Lists the programs by title,
// shows the title and description of the selected one, starts it, imports a
// program file with a name and description, and removes a program. After
// every change of the catalogue the window is rebuilt through the loading
// window, so its list is always filled afresh from the query.
class ProgramsWindow : public AppWindow {
    Q_OBJECT
public:
    ProgramsWindow(AppContext& context, CatalogueService& catalogue);

    // Picture, then the list from the current query result.
    void formLoad() override;

    // The design text of lblTitle, shown while nothing is selected.
    static QString noSelectionText();
    static QColor actionPlainColour();
    static QColor actionHighlightColour();
    // The filter of the import dialog.
    static QString importFilter();

protected:
    bool formUnload() override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    RecordSet& records() const;
    void fillList();
    bool positionOnSelection();
    void programSelected();
    void cmdRunClick();
    void cmdRemoveClick();
    void cmdImportClick();
    void importTimerFired();
    void importProgram();
    // Rebuilds the window through the loading window after a change.
    void rebuild();
    QString askUntilAnswered(const QString& prompt, const QString& title);
    void tellFailure(const QString& what, const QString& reason);

    CatalogueService& m_catalogue;
    HoverGroup* m_actionHighlight;
    QListWidget* m_programList;
    QLabel* m_heading;
    QLabel* m_lblTitle;
    QLabel* m_lblDes;
    ClickFrame* m_actionsFrame;
    ClickLabel* m_cmdImport;
    ClickLabel* m_cmdRemove;
    ClickLabel* m_cmdRun;
    QLabel* m_imgArmy;
    QTimer* m_importTimer;
    // The program file chosen in the import dialog, for the deferred import.
    QString m_importedFile;
    // The selected list entry; -1 while none is selected.
    int m_selectedRow = -1;
};

// What the main menu's "My Proggies" runs before the programs window opens:
// the catalogue is opened and queried. When it cannot be opened the user is
// told why and the menu stays (false).
bool prepareProgramsCatalogue(AppContext& context, CatalogueService& catalogue);
