#pragma once

#include "common/core/UnshownNames.h"
#include "common/ui/AppWindow.h"
#include "games/core/GamesTree.h"
#include "games/core/ReplayStarter.h"

#include <QString>
#include <array>

class ClickFrame;
class GameDetailsPanel;
class ReplayStarter;
class QAction;
class ClickLabel;
class GamesSearchModel;
class GamesTableModel;
class HoverGroup;
class LatestOnly;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QTableView;
class QTimer;

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
    QString selectedFile() const;
    QString selectedFolder() const { return m_selectedFolder; }
    // What the transfer window is to do.
    enum class TransferMode { Copy, Move };
    TransferMode transferMode() const { return m_transferMode; }

    GamesTableModel* model() const { return m_model; }
    GamesSearchModel* searchModel() const { return m_search; }

    // The grid filled with every folder's games (the first fill), or with the
    // games of the folder picked in the folder list (Go).
    void fillAllFolders();
    void fillOneFolder();

    // Rebuilds the window from the disk through the loading window.
    void reloadGamesWindow();

    static QColor buttonColour();
    static QColor hoverColour();

protected:
    bool formUnload() override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControlPanel();
    void buildGrid();
    ClickLabel* addButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);
    void placeSortLabels();

    void showGames(const QList<GameFolderFiles>& folders);
    void clearSelection();
    void rowChosen(int row);
    void searchTyped(const QString& text);
    void showSearchCount();
    void sortColumn(int column);
    void sortLabelClicked(int index);
    void dateFormatChosen(int index);

    void playClick(ReplayStarter::Command command);
    void exportZipClick();
    QList<int> shownSourceRows() const;
    void showDetails();

    void cmdViewClick();
    void cmdDeleteClick();
    void cmdTransferClick(TransferMode mode);
    void cmdCreateClick();
    void mnuDeleteFolderClick();
    void timDeleteTimer();
    QString pickedFolder() const;
    QString gamesRoot() const;
    QString tempFolder() const;

    GamesTableModel* m_model;
    UnshownNamesNotice m_unshown; // names of the Games tree that cannot be listed
    HoverGroup* m_buttonHighlight;
    GamesSearchModel* m_search;
    QLineEdit* m_txtSearch = nullptr;
    QLabel* m_lblSearchCount = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_mnuFile = nullptr;
    QMenu* m_mnuFolder = nullptr;
    ClickFrame* m_controlPanel = nullptr;
    ClickLabel* m_cmdView = nullptr;
    ClickLabel* m_cmdDelete = nullptr;
    ClickLabel* m_cmdMove = nullptr;
    ClickLabel* m_cmdCopy = nullptr;
    ClickLabel* m_cmdCreate = nullptr;
    ClickLabel* m_cmdReset = nullptr;
    ClickLabel* m_cmdGo = nullptr;
    std::array<ClickLabel*, 3> m_cmdSort{};
    QListWidget* m_lstFolderPick = nullptr;
    QLabel* m_imgArmy = nullptr;
    QComboBox* m_dateChooser = nullptr;
    QLineEdit* m_txtFile = nullptr;
    QLineEdit* m_txtFolder = nullptr;
    QLabel* m_warning = nullptr;
    QTableView* m_grid = nullptr;
    QFrame* m_waitingPanel = nullptr;
    QTimer* m_fillTimer = nullptr;
    QTimer* m_timDelete = nullptr;
    ReplayStarter* m_replays = nullptr;
    GameDetailsPanel* m_details = nullptr;
    QAction* m_mnuExportZip = nullptr;
    LatestOnly* m_zipWork; // one export at a time, written off the window's thread

    QString m_selectedFolder;
    TransferMode m_transferMode = TransferMode::Copy;
    QString m_fileDelete;
    // Per column: the next sort is ascending. The SORT labels' tags show the
    // state of their columns ("1" ascending next, "2" descending next).
    std::array<bool, 6> m_nextAscending{};
};
