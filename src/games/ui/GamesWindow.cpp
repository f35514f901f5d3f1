#include "games/ui/GamesWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Desktop.h"
#include "common/core/FileOps.h"
#include "common/core/GameStarter.h"
#include "common/core/Intervals.h"
#include "common/core/LatestOnly.h"
#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/HoverGroup.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "games/core/GameDateFormatter.h"
#include "games/core/GameFileActions.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/core/GamesZipExport.h"
#include "games/ui/GameDetailsPanel.h"
#include "games/ui/GameFolderActions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

namespace {

constexpr int twipsPerPixel = 15;

// Where the window's controls lie. The panel along the top stays where it is;
// the grid, the search row above it and the details below it follow the
// window's size.
namespace Layout {
// The grid takes the window's width less 150 twips and its height less 2250.
constexpr int gridWidthMargin = 150 / twipsPerPixel;
constexpr int gridHeightMargin = 2250 / twipsPerPixel;
constexpr int gridLeft = gridWidthMargin / 2;
constexpr int gridTop = gridHeightMargin - 5;
// The details of the selected game lie under the grid.
constexpr int detailsHeight = 200;
constexpr int detailsGap = 6;

constexpr QSize minimumSize(800, 360 + detailsHeight + detailsGap);
constexpr QSize startSize(800, 560 + detailsHeight + detailsGap);

// The row along the top: the control panel with its six buttons, the folders
// with Go, the army picture, and the date format and selected game.
constexpr int panelTop = 26;
constexpr QRect controlPanel(gridLeft, panelTop, 372, 88);
constexpr QRect controlCaption(6, 3, 200, 16); // in the control panel
constexpr QRect controlButton(int column, int row)
{
    return QRect(6 + column * 120, 24 + row * 30, 116, 24);
}
constexpr QRect foldersCaption(384, panelTop, 120, 16);
constexpr QRect folderPick(384, panelTop + 16, 120, 72);
constexpr QRect go(508, panelTop + 16, 34, 72);
constexpr QRect army(546, panelTop, 70, 88);
constexpr int rightColumn = 620;
constexpr QRect dateCaption(rightColumn, panelTop, 174, 16);
constexpr QRect dateChooser(rightColumn, panelTop + 16, 174, 22);
constexpr int dateListWidth = 240; // the chooser's drop-down list, at least
constexpr QRect selectedFile(rightColumn, panelTop + 42, 174, 20);
constexpr QRect selectedFolder(rightColumn, panelTop + 66, 174, 20);
constexpr QRect warning(gridLeft, panelTop + 90, 190, 28);

// The populating text, until the first resize lays it over the whole window.
constexpr QRect populating(0, 0, 10, 10);

// The SORT labels stand over their columns' headers, just above the grid
// (placeSortLabels() moves them there).
constexpr QRect sortLabel(0, 0, 48, 18);
constexpr int sortLabelAboveGrid = 2;

constexpr QRect grid(QSize window)
{
    return QRect(gridLeft, gridTop, window.width() - gridWidthMargin,
                 window.height() - gridHeightMargin - detailsHeight - detailsGap);
}
constexpr QRect details(const QRect& gridRect)
{
    return QRect(gridRect.x(), gridRect.y() + gridRect.height() + detailsGap, gridRect.width(), detailsHeight);
}
// The search box fills the width the count beside it leaves.
constexpr int searchLeft = 420;
constexpr int searchCountWidth = 130;
constexpr QRect search(QSize window)
{
    return QRect(searchLeft, gridTop - 22, qMax(120, window.width() - searchLeft - searchCountWidth - gridLeft), 20);
}
constexpr QRect searchCount(const QRect& searchBox)
{
    return QRect(searchBox.right() + 6, searchBox.y(), searchCountWidth, 20);
}
} // namespace Layout

const QString kExportTitle = QStringLiteral("Export to Zip");

// The sort labels and the columns they sort.
constexpr int sortColumns[3] = {GamesTableModel::ModeColumn, GamesTableModel::PlayersColumn,
                                GamesTableModel::TimeColumn};

const QString populatingText =
    QStringLiteral("             --Populating list--              (>'.')>PLEASE WAIT<('.'<)");

} // namespace

QColor GamesWindow::buttonColour()
{
    return bgrColor(0xC0FFC0);
}

QColor GamesWindow::hoverColour()
{
    return bgrColor(0x00FFFF);
}

GamesWindow::GamesWindow(AppContext& context)
    : AppWindow(context)
    , m_model(new GamesTableModel(this))
    , m_unshown(context.prompter())
    , m_buttonHighlight(new HoverGroup(buttonColour(), hoverColour(), this))
    , m_search(new GamesSearchModel(m_model, this))
    , m_replays(new ReplayStarter(context.launcher(), this))
    , m_zipWork(new LatestOnly(1, this))
{
    m_replays->setObjectName(QStringLiteral("replayStarter"));
    setWindowTitle(QLatin1Char('"') + AppInfo::title() + QStringLiteral("\" - My Recorded Games c('.'C)"));
    setEscapeAction([this] { close(); }); // as closing the window: back to the main menu
    setBackground(this, Qt::white);
    setMouseTracking(true);
    m_nextAscending.fill(true);

    buildMenus();
    buildControlPanel();
    buildGrid();
    m_details = new GameDetailsPanel(context.prompter(), context.intervals(), this);
    connect(m_details, &GameDetailsPanel::readLogRequested, this,
            [this] { playClick(ReplayStarter::Command::ReadLog); });

    // The waiting panel covers the window until the first fill ends.
    m_waitingPanel = new QFrame(this);
    m_waitingPanel->setObjectName(QStringLiteral("Frame3"));
    setBackground(m_waitingPanel, Qt::white);
    auto* waiting = new QLabel(populatingText, m_waitingPanel);
    waiting->setObjectName(QStringLiteral("lblPopulating"));
    waiting->setFont(designFont(QStringLiteral("Verdana"), 10, true));
    waiting->setAlignment(Qt::AlignCenter);
    waiting->setGeometry(Layout::populating);

    m_fillTimer = new QTimer(this);
    m_fillTimer->setObjectName(QStringLiteral("Timer1"));
    m_fillTimer->setInterval(context.intervals().deferredFill);
    connect(m_fillTimer, &QTimer::timeout, this, [this] {
        m_fillTimer->stop();
        fillAllFolders();
    });
    m_timDelete = new QTimer(this);
    m_timDelete->setObjectName(QStringLiteral("timDelete"));
    m_timDelete->setInterval(context.intervals().tempDeleteRetry);
    connect(m_timDelete, &QTimer::timeout, this, &GamesWindow::timDeleteTimer);

    setMinimumSize(Layout::minimumSize);
    resize(Layout::startSize);
}

void GamesWindow::buildMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_mnuFile = m_menuBar->addMenu(QStringLiteral("File"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));
    auto addAction = [](QMenu* menu, const char* name, const QString& caption, auto slot) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        QObject::connect(action, &QAction::triggered, menu, slot);
        return action;
    };
    addAction(m_mnuFile, "mnuView", QStringLiteral("View Game"), [this] { cmdViewClick(); });
    addAction(m_mnuFile, "mnuDelete", QStringLiteral("Delete Game"), [this] { cmdDeleteClick(); });
    addAction(m_mnuFile, "mnuMove", QStringLiteral("Move File"), [this] { cmdTransferClick(TransferMode::Move); });
    addAction(m_mnuFile, "mnuCopy", QStringLiteral("Copy File"), [this] { cmdTransferClick(TransferMode::Copy); });
    m_mnuFile->addSeparator();
    addAction(m_mnuFile, "mnuPlay", QStringLiteral("Play Game"), [this] { playClick(ReplayStarter::Command::Play); });
    addAction(m_mnuFile, "mnuPlayFrom", QStringLiteral("Play from\u2026"),
              [this] { playClick(ReplayStarter::Command::PlayFrom); });
    m_mnuFile->addSeparator();
    m_mnuExportZip =
        addAction(m_mnuFile, "mnuExportZip", QStringLiteral("Export to Zip\u2026"), [this] { exportZipClick(); });
    m_mnuFolder = m_menuBar->addMenu(QStringLiteral("Folder"));
    m_mnuFolder->setObjectName(QStringLiteral("mnuFolder"));
    addAction(m_mnuFolder, "mnuCreate", QStringLiteral("Create Folder"), [this] { cmdCreateClick(); });
    addAction(m_mnuFolder, "mnuDeleteFolder", QStringLiteral("Delete Folder"), [this] { mnuDeleteFolderClick(); });
}

ClickLabel* GamesWindow::addButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new ClickLabel(caption, parent);
    button->setObjectName(name);
    button->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    button->setAlignment(Qt::AlignCenter);
    button->setFrameShape(QFrame::Box);
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    m_buttonHighlight->add(button);
    return button;
}

void GamesWindow::buildControlPanel()
{
    m_controlPanel = new ClickFrame(this);
    m_controlPanel->setObjectName(QStringLiteral("Frame2"));
    m_controlPanel->setFrameShape(QFrame::Box);
    m_controlPanel->setGeometry(Layout::controlPanel);
    connect(m_controlPanel, &ClickFrame::mouseMoved, m_buttonHighlight, &HoverGroup::clear);
    auto* caption = new QLabel(QStringLiteral("Control Panel"), m_controlPanel);
    caption->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    caption->setGeometry(Layout::controlCaption);

    const auto at = Layout::controlButton;
    m_cmdView = addButton(m_controlPanel, QStringLiteral("cmdView"), QStringLiteral("View Game"), at(0, 0));
    m_cmdDelete = addButton(m_controlPanel, QStringLiteral("cmdDelete"), QStringLiteral("Delete Game"), at(1, 0));
    m_cmdMove = addButton(m_controlPanel, QStringLiteral("cmdMove"), QStringLiteral("Move File"), at(2, 0));
    m_cmdCopy = addButton(m_controlPanel, QStringLiteral("cmdCopy"), QStringLiteral("Copy File"), at(0, 1));
    m_cmdCreate = addButton(m_controlPanel, QStringLiteral("cmdCreate"), QStringLiteral("Create New Folder"), at(1, 1));
    m_cmdReset = addButton(m_controlPanel, QStringLiteral("cmdReset"), QStringLiteral("RESET LIST"), at(2, 1));
    connect(m_cmdView, &ClickLabel::clicked, this, &GamesWindow::cmdViewClick);
    connect(m_cmdDelete, &ClickLabel::clicked, this, &GamesWindow::cmdDeleteClick);
    connect(m_cmdMove, &ClickLabel::clicked, this, [this] { cmdTransferClick(TransferMode::Move); });
    connect(m_cmdCopy, &ClickLabel::clicked, this, [this] { cmdTransferClick(TransferMode::Copy); });
    connect(m_cmdCreate, &ClickLabel::clicked, this, &GamesWindow::cmdCreateClick);
    connect(m_cmdReset, &ClickLabel::clicked, this, &GamesWindow::reloadGamesWindow);

    auto* folders = new QLabel(QStringLiteral("Folders"), this);
    folders->setObjectName(QStringLiteral("lblFolders"));
    folders->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    folders->setGeometry(Layout::foldersCaption);
    m_lstFolderPick = new QListWidget(this);
    m_lstFolderPick->setObjectName(QStringLiteral("lstFolderPick"));
    m_lstFolderPick->setGeometry(Layout::folderPick);
    m_lstFolderPick->setMouseTracking(true);
    m_lstFolderPick->viewport()->setMouseTracking(true);
    m_lstFolderPick->viewport()->installEventFilter(this);
    m_cmdGo = addButton(this, QStringLiteral("cmdGo"), QStringLiteral("GO"), Layout::go);
    m_cmdGo->setToolTip(QStringLiteral("Show the games of the picked folder"));
    connect(m_cmdGo, &ClickLabel::clicked, this, &GamesWindow::fillOneFolder);

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setAlignment(Qt::AlignCenter);
    m_imgArmy->setGeometry(Layout::army);
    m_imgArmy->setMouseTracking(true);
    m_imgArmy->installEventFilter(this);

    auto* formatLabel = new QLabel(QStringLiteral("Date format"), this);
    formatLabel->setGeometry(Layout::dateCaption);
    m_dateChooser = new QComboBox(this);
    m_dateChooser->setObjectName(QStringLiteral("List1"));
    m_dateChooser->setGeometry(Layout::dateChooser);
    m_dateChooser->setToolTip(QStringLiteral("How the Date column shows the dates"));
    m_dateChooser->view()->setMinimumWidth(Layout::dateListWidth);
    m_txtFile = new QLineEdit(this);
    m_txtFile->setObjectName(QStringLiteral("txtFile"));
    m_txtFile->setReadOnly(true);
    m_txtFile->setPlaceholderText(QStringLiteral("No game selected"));
    m_txtFile->setGeometry(Layout::selectedFile);
    m_txtFolder = new QLineEdit(this);
    m_txtFolder->setObjectName(QStringLiteral("txtFolder"));
    m_txtFolder->setReadOnly(true);
    m_txtFolder->setGeometry(Layout::selectedFolder);

    m_warning = new QLabel(
        QStringLiteral("Warning: If you rename any of your game files, they will not appear correctly in the grid."),
        this);
    m_warning->setObjectName(QStringLiteral("lblWarning"));
    m_warning->setWordWrap(true);
    m_warning->setFont(designFont(QStringLiteral("Verdana"), 6));
    m_warning->setGeometry(Layout::warning);
}

void GamesWindow::buildGrid()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setModel(m_search);
    // The search box narrows the grid to the games holding every word typed.
    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    m_txtSearch->setPlaceholderText(QStringLiteral("Search games: players, mode, folder, date"));
    m_txtSearch->setAccessibleName(QStringLiteral("Search games"));
    m_txtSearch->setClearButtonEnabled(true);
    connect(m_txtSearch, &QLineEdit::textChanged, this, &GamesWindow::searchTyped);
    m_lblSearchCount = new QLabel(this);
    m_lblSearchCount->setObjectName(QStringLiteral("lblSearchCount"));
    connect(m_search, &QAbstractItemModel::modelReset, this, &GamesWindow::showSearchCount);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setSortingEnabled(false);
    m_grid->verticalHeader()->hide();
    // Fixed row heights keep 100,000 rows cheap to lay out.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    QHeaderView* header = m_grid->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    for (int c = 0; c < GamesTableModel::ColumnCount; ++c)
        header->resizeSection(c, GamesTableModel::widthTwips(c) / twipsPerPixel);
    m_grid->setColumnHidden(GamesTableModel::FileColumn, true);
    connect(header, &QHeaderView::sectionClicked, this, &GamesWindow::sortColumn);
    connect(header, &QHeaderView::sectionResized, this, &GamesWindow::placeSortLabels);
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GamesWindow::placeSortLabels);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { rowChosen(current.row()); });
    // A double-click or Enter on a row plays that game.
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            playClick(ReplayStarter::Command::Play);
    });
    m_grid->installEventFilter(this);
    m_grid->setMouseTracking(true);
    m_grid->viewport()->installEventFilter(this);

    const char* names[3] = {"cmdSort1", "cmdSort2", "cmdSort3"};
    for (int i = 0; i < 3; ++i) {
        m_cmdSort[size_t(i)] = addButton(this, QLatin1String(names[i]), QStringLiteral("SORT"), Layout::sortLabel);
        m_cmdSort[size_t(i)]->setProperty("tag", QStringLiteral("1"));
        connect(m_cmdSort[size_t(i)], &ClickLabel::clicked, this, [this, i] { sortLabelClicked(i); });
    }
}

void GamesWindow::formLoad()
{
    showOwnPicture(m_imgArmy, context().paths(), QStringLiteral("army.bmp"));

    // The date-format chooser: the 30 formats shown with one date; the
    // user's choice is kept for the next start.
    m_dateChooser->addItems(GameDateFormatter().examples());
    const int format = GamesSettings::dateFormat();
    m_dateChooser->setCurrentIndex(format);
    m_model->setDateFormat(format);
    connect(m_dateChooser, &QComboBox::currentIndexChanged, this, &GamesWindow::dateFormatChosen);

    m_waitingPanel->show();
    m_waitingPanel->raise();
    m_fillTimer->start();
}

QString GamesWindow::gamesRoot() const
{
    return context().paths().gamesFolder();
}

QString GamesWindow::tempFolder() const
{
    return context().paths().tempGamesFolder();
}

QString GamesWindow::selectedFile() const
{
    return m_txtFile->text();
}

void GamesWindow::fillAllFolders()
{
    // "Default" stands for Games itself, every other entry is a user folder,
    // in the order the folder navigator lists them.
    const QString root = gamesRoot();
    const QList<GameFolderFiles> folders = GamesTree::walk(root);
    m_lstFolderPick->clear();
    m_lstFolderPick->addItem(GamesTree::defaultFolderName());
    for (qsizetype i = 1; i < folders.size(); ++i) {
        auto* item = new QListWidgetItem(folders.at(i).folder, m_lstFolderPick);
        item->setData(Qt::UserRole, folders.at(i).folder);
    }
    showGames(folders);
    // Games and folders whose names cannot be shown are there all the same.
    m_unshown.check(root);
    for (qsizetype i = 1; i < folders.size(); ++i)
        m_unshown.check(GamesTree::folderPath(root, folders.at(i).folder));
}

QString GamesWindow::pickedFolder() const
{
    const QListWidgetItem* item = m_lstFolderPick->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void GamesWindow::fillOneFolder()
{
    showGames({GamesTree::listFolder(gamesRoot(), pickedFolder())});
}

void GamesWindow::showGames(const QList<GameFolderFiles>& folders)
{
    m_model->setGames(folders);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    clearSelection();
    m_waitingPanel->hide();
}

void GamesWindow::clearSelection()
{
    m_grid->selectionModel()->clear();
    m_txtFile->clear();
    m_txtFolder->clear();
    m_selectedFolder.clear();
    showDetails();
}

void GamesWindow::searchTyped(const QString& text)
{
    m_search->setSearchText(text);
    // A game the search hides is no longer selected, so that no file
    // operation acts on a game the user cannot see.
    const QModelIndex current = m_grid->selectionModel()->currentIndex();
    if (current.isValid()) {
        rowChosen(current.row());
        m_grid->scrollTo(current);
    } else {
        clearSelection();
    }
    showSearchCount();
}

void GamesWindow::showSearchCount()
{
    m_lblSearchCount->setText(QStringLiteral("%1 of %2 games").arg(m_search->shownCount()).arg(m_search->totalCount()));
}

void GamesWindow::rowChosen(int shownRow)
{
    const int row = m_search->sourceRow(shownRow);
    if (row < 0 || row >= m_model->rowCount()) {
        m_txtFile->clear();
        m_txtFolder->clear();
        m_selectedFolder.clear();
        showDetails();
        return;
    }
    m_txtFile->setText(m_model->fileName(row));
    m_txtFile->setCursorPosition(0);
    m_txtFile->setToolTip(m_txtFile->text());
    m_txtFolder->setText(m_model->text(row, GamesTableModel::FolderColumn) + QLatin1Char('\\'));
    m_selectedFolder = m_model->folder(row);
    showDetails();
}

void GamesWindow::showDetails()
{
    m_details->showGame(GamesTree::folderPath(gamesRoot(), m_selectedFolder), selectedFile());
}

void GamesWindow::sortColumn(int column)
{
    if (column < 0 || column >= GamesTableModel::ColumnCount)
        return;
    const bool ascending = m_nextAscending[size_t(column)];
    m_nextAscending[size_t(column)] = !ascending;
    const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_model->sort(column, order);
    QHeaderView* header = m_grid->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, order);
    for (int i = 0; i < 3; ++i) {
        if (sortColumns[i] == column)
            m_cmdSort[size_t(i)]->setProperty("tag", ascending ? QStringLiteral("2") : QStringLiteral("1"));
    }
    const QModelIndex current = m_grid->selectionModel()->currentIndex();
    if (current.isValid())
        m_grid->scrollTo(current);
}

void GamesWindow::sortLabelClicked(int index)
{
    sortColumn(sortColumns[index]);
}

void GamesWindow::dateFormatChosen(int index)
{
    if (index < 0)
        return;
    m_model->setDateFormat(index);
    GamesSettings::setDateFormat(index);
}

void GamesWindow::placeSortLabels()
{
    const QHeaderView* header = m_grid->horizontalHeader();
    const int x0 = m_grid->x() + m_grid->frameWidth();
    for (int i = 0; i < 3; ++i) {
        ClickLabel* label = m_cmdSort[size_t(i)];
        label->move(x0 + header->sectionViewportPosition(sortColumns[i]),
                    m_grid->y() - label->height() - Layout::sortLabelAboveGrid);
    }
}

void GamesWindow::resizeEvent(QResizeEvent* event)
{
    AppWindow::resizeEvent(event);
    m_menuBar->setGeometry(0, 0, width(), m_menuBar->sizeHint().height());
    const QRect grid = Layout::grid(size());
    m_grid->setGeometry(grid);
    m_details->setGeometry(Layout::details(grid));
    m_waitingPanel->setGeometry(rect());
    if (auto* label = m_waitingPanel->findChild<QLabel*>())
        label->setGeometry(m_waitingPanel->rect());
    placeSortLabels();
    m_txtSearch->setGeometry(Layout::search(size()));
    m_lblSearchCount->setGeometry(Layout::searchCount(m_txtSearch->geometry()));
}

void GamesWindow::mouseMoveEvent(QMouseEvent* event)
{
    m_buttonHighlight->clear();
    AppWindow::mouseMoveEvent(event);
}

bool GamesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !key->isAutoRepeat() && m_grid->selectionModel()->currentIndex().isValid()) {
            playClick(ReplayStarter::Command::Play);
            return true;
        }
    }
    const bool grid = watched == m_grid->viewport();
    const bool folders = watched == m_lstFolderPick->viewport();
    if (event->type() == QEvent::MouseMove && (grid || folders || watched == m_imgArmy)) {
        m_buttonHighlight->clear();
    } else if (event->type() == QEvent::MouseButtonPress && (grid || folders)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            // A right-button press picks the row or folder under the mouse
            // and pops up the menu for it.
            const QPoint pos = mouse->position().toPoint();
            if (grid) {
                const QModelIndex index = m_grid->indexAt(pos);
                if (index.isValid())
                    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                         QItemSelectionModel::Rows);
                m_mnuFile->popup(mouse->globalPosition().toPoint());
            } else {
                if (QListWidgetItem* item = m_lstFolderPick->itemAt(pos))
                    m_lstFolderPick->setCurrentItem(item);
                m_mnuFolder->popup(mouse->globalPosition().toPoint());
            }
            return true;
        }
    }
    return AppWindow::eventFilter(watched, event);
}

void GamesWindow::reloadGamesWindow()
{
    context().reload(WindowNames::Games);
    close();
}

bool GamesWindow::formUnload()
{
    // The transfer window goes with this window.
    if (context().existingWindow(WindowNames::GamesTransfer))
        context().unloadWindow(WindowNames::GamesTransfer);
    m_timDelete->stop();
    context().refreshTempGamesList();
    context().returnToMainMenu(WindowNames::Games);
    return true;
}

void GamesWindow::cmdViewClick()
{
    const QString file = selectedFile();
    if (file.isEmpty()) {
        context().prompter().message(QStringLiteral("Select a Game to view c('.'C)"),
                                     QStringLiteral("Hold your horses!"), Prompter::Buttons::Ok,
                                     Prompter::Icon::Information);
        return;
    }
    m_fileDelete = file;
    GameFileActions::Notice notice;
    const QString temp = tempFolder();
    if (GameFileActions::copyForViewing(gamesRoot(), m_selectedFolder, file, temp, &notice).isEmpty()) {
        notice.show(context().prompter());
        return;
    }
    if (!context().desktop().openFolder(temp)) {
        // No file manager to show the folder in: say where the copy is.
        context().prompter().message(QStringLiteral("A copy of ") + file +
                                         QStringLiteral(" is ready to watch in the folder ") +
                                         QDir::toNativeSeparators(temp) + QStringLiteral(" c('.'C)"),
                                     QStringLiteral("View Game"), Prompter::Buttons::Ok, Prompter::Icon::Information);
    }
    m_timDelete->start();
}

void GamesWindow::timDeleteTimer()
{
    // Deletes the viewed copy once the game lets go of it; a failure is
    // retried at the next tick.
    if (m_fileDelete.isEmpty())
        return;
    const QString log = GameFileActions::logOf(tempFolder(), m_fileDelete);
    const QString copy = FileOps::targetIn(tempFolder(), m_fileDelete);
    if (!copy.isEmpty())
        FileOps::remove(copy);
    if (!log.isEmpty())
        FileOps::remove(log);
}

void GamesWindow::cmdDeleteClick()
{
    const QString file = selectedFile();
    if (file.isEmpty()) {
        context().prompter().message(QStringLiteral("Select a Game to delete c('.'C)"),
                                     QStringLiteral("Hold your horses!"), Prompter::Buttons::Ok,
                                     Prompter::Icon::Information);
        return;
    }
    if (context().prompter().message(QStringLiteral("Are you sure you want to delete ") + file + QLatin1Char('?'),
                                     QStringLiteral("Delete?"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    const GameFileActions::Outcome outcome = GameFileActions::deleteGame(gamesRoot(), m_selectedFolder, file);
    outcome.notice.show(context().prompter());
    if (outcome.changed)
        reloadGamesWindow();
}

void GamesWindow::cmdTransferClick(TransferMode mode)
{
    if (selectedFile().isEmpty()) {
        const QString what = mode == TransferMode::Copy ? QStringLiteral("Copy") : QStringLiteral("move");
        context().prompter().message(QStringLiteral("Select A Recorded Game to ") + what + QStringLiteral(". c('.'C)"),
                                     QStringLiteral("Denied! xD"), Prompter::Buttons::Ok, Prompter::Icon::None);
        return;
    }
    m_transferMode = mode;
    hide();
    context().showWindow(WindowNames::GamesTransfer);
}

void GamesWindow::cmdCreateClick()
{
    if (GameFolderActions::create(context().prompter(), gamesRoot()) == GameFolderActions::Result::Changed)
        reloadGamesWindow();
}

void GamesWindow::mnuDeleteFolderClick()
{
    // No folder picked means the Games folder itself, as for Go.
    if (GameFolderActions::remove(context().prompter(), gamesRoot(), pickedFolder()) ==
        GameFolderActions::Result::Changed)
        reloadGamesWindow();
}

void GamesWindow::playClick(ReplayStarter::Command command)
{
    using Command = ReplayStarter::Command;
    const QString file = selectedFile();
    const QString title = command == Command::Play       ? QStringLiteral("Play Game")
                          : command == Command::PlayFrom ? QStringLiteral("Play from")
                                                         : QStringLiteral("Read log");
    if (file.isEmpty()) {
        context().prompter().message(QStringLiteral("Select a Game to play c('.'C)"),
                                     QStringLiteral("Hold your horses!"), Prompter::Buttons::Ok,
                                     Prompter::Icon::Information);
        return;
    }
    QString time;
    if (command == Command::PlayFrom) {
        const QString typed = context().prompter().input(
            QStringLiteral("From what time of the game should it play? Type the time as m:ss or h:mm:ss."), title);
        if (typed.trimmed().isEmpty())
            return;
        time = ReplayStarter::checkedTime(typed);
        if (time.isEmpty()) {
            context().prompter().message(
                QStringLiteral("'%1' is not a time of the game. Type it as minutes and seconds (m:ss, such as 2:05) "
                               "or hours, minutes and seconds (h:mm:ss, such as 1:02:05). c('.'C)")
                    .arg(typed.trimmed()),
                title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
            return;
        }
    }
    const QString folderPath = GamesTree::folderPath(gamesRoot(), m_selectedFolder);
    const QString replay = PathCase::join(folderPath, file);
    m_replays->start(context().install(), command, replay, time,
                     [this, command, title, folderPath, file](Launcher::Result result) {
                         if (result != Launcher::Result::Started) {
                             context().prompter().message(
                                 GameStarter::failureText(result, GameStarter::fileName(GameStarter::Program::Game)),
                                 title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
                             return;
                         }
                         if (command == Command::ReadLog)
                             m_details->waitForLog(folderPath, file);
                     });
}

QList<int> GamesWindow::shownSourceRows() const
{
    QList<int> rows;
    rows.reserve(m_search->shownCount());
    for (int shown = 0; shown < m_search->shownCount(); ++shown)
        rows << m_search->sourceRow(shown);
    return rows;
}

void GamesWindow::exportZipClick()
{
    Prompter& prompter = context().prompter();
    const QString file = selectedFile();
    QList<GamesZipExport::Game> games;
    if (!file.isEmpty())
        games << GamesZipExport::Game{m_selectedFolder, file};
    const int shown = m_search->shownCount();
    // With one game picked among several shown, the user says which is meant.
    if (shown > 1 && !file.isEmpty() &&
        prompter.message(QStringLiteral("Export only the selected game, %1?\n\nNo exports all %2 games the grid "
                                        "shows.")
                             .arg(file)
                             .arg(shown),
                         kExportTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        games.clear();
    if (games.isEmpty()) {
        for (const int row : shownSourceRows())
            games << GamesZipExport::Game{m_model->folder(row), m_model->fileName(row)};
    }
    if (games.isEmpty()) {
        prompter.message(QStringLiteral("There is no game to export: the grid shows none. c('.'C)"), kExportTitle,
                         Prompter::Buttons::Ok, Prompter::Icon::Information);
        return;
    }
    const QString suggested =
        games.size() == 1 ? QFileInfo(games.first().file).completeBaseName() : QStringLiteral("Recorded games");
    QString archive = prompter.saveFile(kExportTitle, qtFileFilter(QStringLiteral("Zip archives|*.zip")),
                                        QDir::home().filePath(suggested + QStringLiteral(".zip")));
    if (archive.isEmpty())
        return;
    archive = GamesZipExport::withZipExtension(archive);
    if (QFileInfo::exists(archive) &&
        prompter.message(QDir::toNativeSeparators(archive) +
                             QStringLiteral(" already exists. Do you want to replace it?"),
                         kExportTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;

    // Many games make a big archive: it is written off the window's thread,
    // and one export runs at a time.
    m_mnuExportZip->setEnabled(false);
    setCursor(Qt::BusyCursor);
    m_zipWork->run<GamesZipExport::Result>(
        [root = gamesRoot(), games, archive](const std::function<bool()>&) {
            return GamesZipExport::write(root, games, archive);
        },
        [this, archive](const GamesZipExport::Result& result) {
            m_mnuExportZip->setEnabled(true);
            unsetCursor();
            if (!result.written) {
                context().prompter().message(QStringLiteral("The zip archive %1 was not written: %2 =(")
                                                 .arg(QDir::toNativeSeparators(archive), result.error),
                                             kExportTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
                return;
            }
            const QString gameCount =
                result.games == 1 ? QStringLiteral("1 game") : QStringLiteral("%1 games").arg(result.games);
            const QString logs =
                result.logs == 1 ? QStringLiteral("1 log") : QStringLiteral("%1 logs").arg(result.logs);
            context().prompter().message(QStringLiteral("%1 and %2 were exported to %3. <(^.^)>")
                                             .arg(gameCount, logs, QDir::toNativeSeparators(archive)),
                                         kExportTitle, Prompter::Buttons::Ok, Prompter::Icon::Information);
        });
});
}
