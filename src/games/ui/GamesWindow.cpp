// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GamesWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/LatestOnly.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/HoverGroup.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "games/core/GameDateFormatter.h"
#include "games/core/GameFileActions.h"
#include "games/core/GamePlayAction.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesSettings.h"
#include "games/core/GamesTableModel.h"
#include "games/core/ViewedGameCopy.h"
#include "games/ui/ClipDialog.h"
#include "games/ui/GameControlPanel.h"
#include "games/ui/GameDetailsPanel.h"
#include "games/ui/GameFolderActions.h"
#include "games/ui/GameFolderPick.h"
#include "games/ui/GameLogWords.h"
#include "games/ui/GameReplayPanel.h"
#include "games/ui/GameSearchRow.h"
#include "games/ui/GameSelectionView.h"
#include "games/ui/GameSortLabels.h"
#include "games/ui/GameWaitingPanel.h"
#include "games/ui/GameZipExportAction.h"
#include "games/ui/GamesLayout.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTableView>

#include <memory>

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
    , m_fill(new LatestOnly(1, this))
    , m_unshown(context.prompter())
    , m_buttonHighlight(new HoverGroup(buttonColour(), hoverColour(), this))
    , m_search(new GamesSearchModel(m_model, this))
    , m_logWords(new GameLogWords(m_search, this))
    , m_play(new GamePlayAction(context.prompter(), context.launcher(), this))
    , m_viewed(new ViewedGameCopy(context.prompter(), context.desktop(), context.intervals().tempDeleteRetry, this))
{
    setWindowTitle(QLatin1Char('"') + AppInfo::title() + QStringLiteral("\" - My Recorded Games c('.'C)"));
    setEscapeAction([this] { close(); }); // as closing the window: back to the main menu
    setBackground(this, Qt::white);
    setMouseTracking(true);
    m_nextAscending.fill(true);
    // The folders are read while the window is built and shown.
    fillAllFolders();

    buildMenus();
    buildControlPanel();
    buildGrid();
    m_details = new GameDetailsPanel(context.prompter(), context.intervals(), this);
    connect(m_details, &GameDetailsPanel::readLogRequested, this,
            [this] { playClick(ReplayStarter::Command::ReadLog); });
    connect(m_play, &GamePlayAction::logRequested, m_details, &GameDetailsPanel::waitForLog);
    m_details->replayPanel()->attach(context, m_mnuFile);
    connect(m_details->replayPanel(), &GameReplayPanel::gameMapRequested, this,
            [this] { playClick(ReplayStarter::Command::GetMap); });
    connect(m_details, &GameDetailsPanel::makeClipRequested, this, &GamesWindow::makeClipClick);

    // The waiting panel covers the window until the first fill ends.
    m_waitingPanel = new GameWaitingPanel(this);

    setMinimumSize(GamesLayout::minimumSize);
    resize(GamesLayout::startSize);
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
    QAction* exportZip =
        addAction(m_mnuFile, "mnuExportZip", QStringLiteral("Export to Zip\u2026"), [this] { exportZipClick(); });
    m_zipExport = new GameZipExportAction(context().prompter(), exportZip, this);
    addAction(m_mnuFile, "mnuMakeClip", QStringLiteral("Make Clip\u2026"), [this] { makeClipClick(); });
    m_mnuFolder = m_menuBar->addMenu(QStringLiteral("Folder"));
    m_mnuFolder->setObjectName(QStringLiteral("mnuFolder"));
    addAction(m_mnuFolder, "mnuCreate", QStringLiteral("Create Folder"), [this] { cmdCreateClick(); });
    addAction(m_mnuFolder, "mnuDeleteFolder", QStringLiteral("Delete Folder"), [this] { mnuDeleteFolderClick(); });
}

void GamesWindow::buildControlPanel()
{
    m_controlPanel = new GameControlPanel(m_buttonHighlight, this);
    connect(m_controlPanel, &GameControlPanel::buttonClicked, this, [this](GameControlPanel::Button button) {
        using Button = GameControlPanel::Button;
        switch (button) {
        case Button::View:
            return cmdViewClick();
        case Button::Delete:
            return cmdDeleteClick();
        case Button::Move:
            return cmdTransferClick(TransferMode::Move);
        case Button::Copy:
            return cmdTransferClick(TransferMode::Copy);
        case Button::Create:
            return cmdCreateClick();
        case Button::Reset:
            return reloadGamesWindow();
        }
    });

    m_folderPick = new GameFolderPick(m_buttonHighlight, this);
    connect(m_folderPick, &GameFolderPick::menuRequested, this,
            [this](const QPoint& globalPos) { m_mnuFolder->popup(globalPos); });
    connect(m_folderPick, &GameFolderPick::goClicked, this, &GamesWindow::fillOneFolder);

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setAlignment(Qt::AlignCenter);
    m_imgArmy->setGeometry(GamesLayout::army);
    m_imgArmy->setMouseTracking(true);
    m_imgArmy->installEventFilter(this);

    auto* formatLabel = new QLabel(QStringLiteral("Date format"), this);
    formatLabel->setGeometry(GamesLayout::dateCaption);
    m_dateChooser = new QComboBox(this);
    m_dateChooser->setObjectName(QStringLiteral("List1"));
    m_dateChooser->setGeometry(GamesLayout::dateChooser);
    m_dateChooser->setToolTip(QStringLiteral("How the Date column shows the dates"));
    m_dateChooser->view()->setMinimumWidth(GamesLayout::dateListWidth);
    m_selectionView = new GameSelectionView(this);

    m_warning = new QLabel(
        QStringLiteral("Warning: If you rename any of your game files, they will not appear correctly in the grid."),
        this);
    m_warning->setObjectName(QStringLiteral("lblWarning"));
    m_warning->setWordWrap(true);
    m_warning->setFont(designFont(QStringLiteral("Verdana"), 6));
    m_warning->setGeometry(GamesLayout::warning);
}

void GamesWindow::buildGrid()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setModel(m_search);
    m_searchRow = new GameSearchRow(m_search, m_grid, this);
    connect(m_searchRow, &GameSearchRow::searched, this, &GamesWindow::searched);
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
        header->resizeSection(c, Twips::px(GamesTableModel::widthTwips(c)));
    m_grid->setColumnHidden(GamesTableModel::FileColumn, true);
    connect(header, &QHeaderView::sectionClicked, this, &GamesWindow::sortColumn);
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

    m_sortLabels = new GameSortLabels(m_grid, m_buttonHighlight, this);
    connect(m_sortLabels, &GameSortLabels::sortRequested, this, &GamesWindow::sortColumn);
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
}

QString GamesWindow::gamesRoot() const
{
    return context().paths().gamesFolder();
}

QString GamesWindow::tempFolder() const
{
    return context().paths().tempGamesFolder();
}

void GamesWindow::fillAllFolders()
{
    // "Default" stands for Games itself, every other entry is a user folder,
    // in the order the folder navigator lists them.
    using Read = std::pair<QList<GameFolderFiles>, GamesTableModel::Fill>;
    const QString root = gamesRoot();
    m_fill->run<std::shared_ptr<Read>>(
        [root](const std::function<bool()>&) {
            QList<GameFolderFiles> folders = GamesTree::walk(root);
            return std::make_shared<Read>(folders, GamesTableModel::read(folders));
        },
        [this, root](const std::shared_ptr<Read>& read) {
            QStringList userFolders;
            for (qsizetype i = 1; i < read->first.size(); ++i)
                userFolders << read->first.at(i).folder;
            m_folderPick->setFolders(GamesTree::defaultFolderName(), userFolders);
            showGames(std::move(read->second), read->first);
            // Games and folders whose names cannot be shown are there all the same.
            for (const GameFolderFiles& folder : std::as_const(read->first))
                m_unshown.tell(GamesTree::folderPath(root, folder.folder), folder.unshown);
        });
}

void GamesWindow::fillOneFolder()
{
    m_fill->cancel();
    const QList<GameFolderFiles> folder{GamesTree::listFolder(gamesRoot(), m_folderPick->picked())};
    showGames(GamesTableModel::read(folder), folder);
}

void GamesWindow::showGames(GamesTableModel::Fill&& games, const QList<GameFolderFiles>& folders)
{
    m_model->setGames(std::move(games));
    m_logWords->start(gamesRoot(), folders);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    clearSelection();
    m_waitingPanel->hide();
    Q_EMIT filled();
}

void GamesWindow::clearSelection()
{
    m_grid->selectionModel()->clear();
    showSelection({});
}

void GamesWindow::searched()
{
    // A game the search hides is no longer selected, so that no file
    // operation acts on a game the user cannot see.
    const QModelIndex current = m_grid->selectionModel()->currentIndex();
    if (current.isValid()) {
        rowChosen(current.row());
        m_grid->scrollTo(current);
    } else {
        clearSelection();
    }
}

void GamesWindow::rowChosen(int shownRow)
{
    const int row = m_search->sourceRow(shownRow);
    if (row < 0 || row >= m_model->rowCount()) {
        showSelection({});
        return;
    }
    showSelection({m_model->folder(row), m_model->fileName(row)},
                  m_model->text(row, GamesTableModel::FolderColumn) + QLatin1Char('\\'));
}

void GamesWindow::showSelection(const GameSelection& game, const QString& folderText)
{
    m_selection = game;
    m_selectionView->show(game, folderText);
    m_details->showGame(GamesTree::folderPath(gamesRoot(), game.folder), game.file);
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
    m_sortLabels->sorted(column, ascending);
    const QModelIndex current = m_grid->selectionModel()->currentIndex();
    if (current.isValid())
        m_grid->scrollTo(current);
}

void GamesWindow::dateFormatChosen(int index)
{
    if (index < 0)
        return;
    m_model->setDateFormat(index);
    GamesSettings::setDateFormat(index);
}

void GamesWindow::resizeEvent(QResizeEvent* event)
{
    AppWindow::resizeEvent(event);
    m_menuBar->setGeometry(0, 0, width(), m_menuBar->sizeHint().height());
    const QRect grid = GamesLayout::grid(size());
    m_grid->setGeometry(grid);
    m_details->setGeometry(GamesLayout::details(grid));
    m_waitingPanel->cover();
    m_sortLabels->place();
    m_searchRow->box()->setGeometry(GamesLayout::search(size()));
    m_searchRow->count()->setGeometry(GamesLayout::searchCount(m_searchRow->box()->geometry()));
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
    if (event->type() == QEvent::MouseMove && (grid || watched == m_imgArmy)) {
        m_buttonHighlight->clear();
    } else if (event->type() == QEvent::MouseButtonPress && grid) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            // A right-button press picks the row under the mouse and pops up
            // the menu for it.
            const QModelIndex index = m_grid->indexAt(mouse->position().toPoint());
            if (index.isValid())
                m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                     QItemSelectionModel::Rows);
            m_mnuFile->popup(mouse->globalPosition().toPoint());
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
    m_viewed->stop();
    context().refreshTempGamesList();
    context().returnToMainMenu(WindowNames::Games);
    return true;
}

void GamesWindow::cmdViewClick()
{
    m_viewed->view(gamesRoot(), m_selection, tempFolder());
}

void GamesWindow::cmdDeleteClick()
{
    const QString file = m_selection.file;
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
    const GameFileActions::Outcome outcome = GameFileActions::deleteGame(gamesRoot(), m_selection.folder, file);
    outcome.notice.show(context().prompter());
    if (outcome.changed)
        reloadGamesWindow();
}

void GamesWindow::cmdTransferClick(TransferMode mode)
{
    if (m_selection.isEmpty()) {
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
    if (GameFolderActions::remove(context().prompter(), gamesRoot(), m_folderPick->picked()) ==
        GameFolderActions::Result::Changed)
        reloadGamesWindow();
}

void GamesWindow::playClick(ReplayStarter::Command command)
{
    m_play->play(command, context().install(), GamesTree::folderPath(gamesRoot(), m_selection.folder), m_selection);
}

void GamesWindow::exportZipClick()
{
    m_zipExport->run(gamesRoot(), m_selection, m_search->shownCount(), [this] {
        QList<GamesZipExport::Game> games;
        for (int shown = 0; shown < m_search->shownCount(); ++shown) {
            const int row = m_search->sourceRow(shown);
            games << GamesZipExport::Game{m_model->folder(row), m_model->fileName(row)};
        }
        return games;
    });
}

void GamesWindow::makeClipClick()
{
    const QString folder = GamesTree::folderPath(gamesRoot(), m_selection.folder);
    ClipDialog* dialog = ClipDialog::open(
        context(), m_selection.file.isEmpty() ? QString() : QDir(folder).filePath(m_selection.file), this);
    // A turn chosen in the log's table is the stretch first offered.
    if (const GameLogTurn* turn = m_details->selectedTurn(); dialog && turn && !dialog->isMaking())
        dialog->useTurn(*turn);
}
