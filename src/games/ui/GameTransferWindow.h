// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/AppWindow.h"
#include "games/ui/GameFolderActions.h"

class ClickLabel;
class FileNavBox;
class GamesWindow;
class HoverGroup;
class QLabel;
class QPushButton;

// The transfer window: the user picks the folder of Games to copy or move the
// game selected in the games window to. It can also create and remove user
// folders. A transfer rebuilds the games window through the loading window;
// closing this window otherwise shows the games window again.
class GameTransferWindow : public AppWindow {
    Q_OBJECT
public:
    explicit GameTransferWindow(AppContext& context);

    void formLoad() override;

    static QColor linkColour();
    static QColor hoverColour();

protected:
    bool formUnload() override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    GamesWindow* gamesWindow() const;
    QString gamesRoot() const;
    void refreshNavigator();
    // The folder picked in the navigator: "" for the Games folder itself.
    // False (after telling the user) when no folder of Games is picked.
    bool pickedFolder(QString* folder, const QString& title);

    void cmdMoveClick();
    void lblCreateClick();
    void lblRemoveClick();
    void folderActionDone(GameFolderActions::Result result);

    HoverGroup* m_linkHighlight;
    QLabel* m_lblMain;
    FileNavBox* m_folderNavigator;
    QPushButton* m_cmdMove;
    QPushButton* m_cmdCancel;
    ClickLabel* m_lblCreate;
    ClickLabel* m_lblRemove;
    QLabel* m_lblTransfers;
    QLabel* m_imgMapAuthor;

    QString m_file;
    // Set when a folder was made or removed here: the games window is then
    // rebuilt when it comes back.
    bool m_foldersChanged = false;
};
