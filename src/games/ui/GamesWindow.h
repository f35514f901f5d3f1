// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/UnshownNames.h"
#include "common/ui/AppWindow.h"
#include "games/core/GameSelection.h"
#include "games/core/GamesTableModel.h"
#include "games/core/GamesTree.h"
#include "games/core/ReplayStarter.h"

#include <QString>
#include <array>

class GameControlPanel;
class GameDetailsPanel;
class GameFolderPick;
class GameLogWords;
class GameSearchRow;
class GameSelectionView;
class GameSortLabels;
class GameWaitingPanel;
class GameZipExportAction;
class ViewedGameCopy;
class GamePlayAction;
class QAction;
class ClickLabel;
class GamesSearchModel;
class GamesTableModel;
class HoverGroup;
class LatestOnly;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QTableView;

// The recorded games window: every game of the Games folder tree in one grid
// (read from the file names), the folders to pick from, and the operations on
// games and folders. Copy and Move go through the transfer window, which reads
// the selected game and the transfer mode from here.
class GamesWindow : public AppWindow {
    Q_OBJECT
public:
    explicit GamesWindow(AppContext& context);

    void formLoad() override;

    // The game clicked in the grid: its file name ("" when none), and its
    // folder under Games ("" for the Games folder itself).
    QString selectedFile() const { return m_selection.file; }
    QString selectedFolder() const { return m_selection.folder; }
    // What the transfer window is to do.
    enum class TransferMode { Copy, Move };
    TransferMode transferMode() const { return m_transferMode; }

    GamesTableModel* model() const { return m_model; }
    GamesSearchModel* searchModel() const { return m_search; }

    // The grid filled with every folder's games (the first fill), or with the
    // games of the folder picked in the folder list (Go). The folders are read
    // off the GUI thread: the grid is filled when filled() comes; a newer fill
    // supersedes one still reading.
    void fillAllFolders();
    void fillOneFolder();

    // Rebuilds the window from the disk through the loading window.
    void reloadGamesWindow();

    static QColor buttonColour();
    static QColor hoverColour();

Q_SIGNALS:
    // The grid shows the games of a fill.
    void filled();

protected:
    bool formUnload() override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControlPanel();
    void buildGrid();

    // `folders`: what `games` were read from.
    void showGames(GamesTableModel::Fill&& games, const QList<GameFolderFiles>& folders);
    void clearSelection();
    void rowChosen(int row);
    // Shows `game` as the picked one; `folderText` is how its folder is shown.
    void showSelection(const GameSelection& game, const QString& folderText = QString());
    void searched();
    void sortColumn(int column);
    void dateFormatChosen(int index);

    void playClick(ReplayStarter::Command command);
    void exportZipClick();
    void makeClipClick();

    void cmdViewClick();
    void cmdDeleteClick();
    void cmdTransferClick(TransferMode mode);
    void cmdCreateClick();
    void mnuDeleteFolderClick();
    QString gamesRoot() const;
    QString tempFolder() const;

    GamesTableModel* m_model;
    LatestOnly* m_fill;           // reads the Games tree for fillAllFolders()
    UnshownNamesNotice m_unshown; // names of the Games tree that cannot be listed
    HoverGroup* m_buttonHighlight;
    GamesSearchModel* m_search;
    GameLogWords* m_logWords;
    GameSearchRow* m_searchRow = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_mnuFile = nullptr;
    QMenu* m_mnuFolder = nullptr;
    GameControlPanel* m_controlPanel = nullptr;
    GameFolderPick* m_folderPick = nullptr;
    GameSelectionView* m_selectionView = nullptr;
    GameSortLabels* m_sortLabels = nullptr;
    QLabel* m_imgArmy = nullptr;
    QComboBox* m_dateChooser = nullptr;
    QLabel* m_warning = nullptr;
    QTableView* m_grid = nullptr;
    GameWaitingPanel* m_waitingPanel = nullptr;
    GamePlayAction* m_play;
    GameDetailsPanel* m_details = nullptr;
    ViewedGameCopy* m_viewed;
    GameZipExportAction* m_zipExport = nullptr;

    GameSelection m_selection; // never read back from the text boxes that show it
    TransferMode m_transferMode = TransferMode::Copy;
    // Per column: the next sort is ascending. The SORT labels' tags show the
    // state of their columns ("1" ascending next, "2" descending next).
    std::array<bool, 6> m_nextAscending{};
};
