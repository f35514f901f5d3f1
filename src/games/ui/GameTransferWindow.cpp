// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameTransferWindow.h"

#include "common/core/Colors.h"
#include "common/core/PathContainment.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/ElidedLineView.h"
#include "common/ui/FileNavBox.h"
#include "common/ui/HoverGroup.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "games/core/GameFileActions.h"
#include "games/ui/GameFolderActions.h"
#include "games/ui/GameTransferLayout.h"
#include "games/ui/GamesWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// The navigator lists the folders of Games under these names.
const QString parentEntry = QStringLiteral("..");

} // namespace

QColor GameTransferWindow::linkColour()
{
    return bgrColor(0xC0FFC0);
}

QColor GameTransferWindow::hoverColour()
{
    return bgrColor(0xFFFF00);
}

GameTransferWindow::GameTransferWindow(AppContext& context)
    : AppWindow(context)
    , m_linkHighlight(new HoverGroup(linkColour(), hoverColour(), this))
{
    setWindowTitle(QStringLiteral("Transfer Window"));
    setBackground(this, Qt::white);
    setMouseTracking(true);
    setFixedSize(GameTransferLayout::size);

    auto* main = new ClickLabel(QStringLiteral("Select Folder"), this);
    main->setObjectName(QStringLiteral("lblMain"));
    main->setFont(designFont(QStringLiteral("Verdana"), 10, true));
    main->setGeometry(GameTransferLayout::caption);
    connect(main, &ClickLabel::mouseMoved, m_linkHighlight, &HoverGroup::clear);
    m_lblMain = main;

    m_folderNavigator = new FileNavBox(this);
    m_folderNavigator->setObjectName(QStringLiteral("FileNavBox1"));
    m_folderNavigator->setGeometry(GameTransferLayout::navigator);
    connect(m_folderNavigator, &FileNavBox::MouseMove, m_linkHighlight, &HoverGroup::clear);
    // A long Games path keeps its end in view, with the whole path as tooltip.
    if (auto* pathBox = m_folderNavigator->findChild<QComboBox*>(); pathBox && pathBox->lineEdit())
        new ElidedLineView(pathBox->lineEdit(), Qt::ElideLeft);

    m_imgMapAuthor = new QLabel(this);
    m_imgMapAuthor->setObjectName(QStringLiteral("imgMapAuthor"));
    m_imgMapAuthor->setAlignment(Qt::AlignCenter);
    m_imgMapAuthor->setGeometry(GameTransferLayout::picture);

    auto link = [this](const char* name, const QString& caption, const QRect& geometry) {
        return m_linkHighlight->addButton(this, QLatin1String(name), caption, geometry);
    };
    m_lblCreate = link("lblCreate", QStringLiteral("Create Folder"), GameTransferLayout::createFolder);
    m_lblRemove = link("lblRemove", QStringLiteral("Remove Folder"), GameTransferLayout::removeFolder);
    connect(m_lblCreate, &ClickLabel::clicked, this, &GameTransferWindow::lblCreateClick);
    connect(m_lblRemove, &ClickLabel::clicked, this, &GameTransferWindow::lblRemoveClick);

    m_lblTransfers = new QLabel(QStringLiteral("TRANSFERRING..."), this);
    m_lblTransfers->setObjectName(QStringLiteral("lblTransfers"));
    m_lblTransfers->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    m_lblTransfers->setAlignment(Qt::AlignCenter);
    m_lblTransfers->setGeometry(GameTransferLayout::transferring);
    m_lblTransfers->hide();

    m_cmdMove = new QPushButton(QStringLiteral("T R A N S F E R  F I L E c('.'C)"), this);
    m_cmdMove->setObjectName(QStringLiteral("cmdMove"));
    m_cmdMove->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    m_cmdMove->setGeometry(GameTransferLayout::transfer);
    connect(m_cmdMove, &QPushButton::clicked, this, &GameTransferWindow::cmdMoveClick);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setGeometry(GameTransferLayout::cancel);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    setEscapeAction([this] { m_cmdCancel->click(); });
}

void GameTransferWindow::formLoad()
{
    m_folderNavigator->setDirectoryIndicator(QString());
    m_folderNavigator->setBorderColor(bgrColor(0xFFFFC0));
    m_folderNavigator->setForeColor(bgrColor(0x0080FF));
    showOwnPicture(m_imgMapAuthor, context().paths(), QStringLiteral("smirk.bmp"));
    if (const GamesWindow* games = gamesWindow())
        m_file = games->selectedFile();
    setWindowTitle(QStringLiteral("Moving ") + m_file + QStringLiteral(" To:"));
    refreshNavigator();
}

GamesWindow* GameTransferWindow::gamesWindow() const
{
    return qobject_cast<GamesWindow*>(context().existingWindow(WindowNames::Games));
}

QString GameTransferWindow::gamesRoot() const
{
    return context().paths().gamesFolder();
}

void GameTransferWindow::refreshNavigator()
{
    m_folderNavigator->setPath(gamesRoot() + QLatin1Char('/'));
    m_folderNavigator->refresh();
}

bool GameTransferWindow::pickedFolder(QString* folder, const QString& title)
{
    // The path box lets the user list another folder; only the folders of
    // Games can be picked.
    if (!FileOps::sameFile(m_folderNavigator->path(), gamesRoot())) {
        context().prompter().message(QStringLiteral("Please pick one of the folders of your Games folder. c('.'C)"),
                                     title, Prompter::Buttons::Ok, Prompter::Icon::Information);
        refreshNavigator();
        return false;
    }
    QString entry = m_folderNavigator->listIndex() < 0 ? QString() : m_folderNavigator->selectedFile();
    while (entry.endsWith(QLatin1Char('/')))
        entry.chop(1);
    if (entry.isEmpty()) {
        context().prompter().message(QStringLiteral("Select a folder first. c('.'C)"), title, Prompter::Buttons::Ok,
                                     Prompter::Icon::Information);
        return false;
    }
    *folder = entry == parentEntry ? QString() : entry;
    return true;
}

void GameTransferWindow::cmdMoveClick()
{
    GamesWindow* games = gamesWindow();
    if (games)
        m_file = games->selectedFile();
    QString folder;
    if (!pickedFolder(&folder, QStringLiteral("Denied! xD")))
        return;
    m_lblTransfers->show();
    GameFileActions::Transfer transfer;
    transfer.file = m_file;
    transfer.fromFolder = games ? games->selectedFolder() : QString();
    transfer.toFolder = folder;
    transfer.move = games && games->transferMode() == GamesWindow::TransferMode::Move;
    const GameFileActions::Outcome outcome =
        GameFileActions::transfer(gamesRoot(), transfer, context().paths().tempGamesFolder());
    outcome.notice.show(context().prompter());
    m_lblTransfers->hide();
    if (!outcome.changed)
        return;
    // Both windows close; the loading window brings the games window back
    // built afresh. Closing the games window closes this one too.
    context().reload(WindowNames::Games);
    context().unloadWindow(WindowNames::Games);
    if (context().existingWindow(WindowNames::GamesTransfer) == this)
        close();
}

void GameTransferWindow::lblCreateClick()
{
    folderActionDone(GameFolderActions::create(context().prompter(), gamesRoot()));
}

void GameTransferWindow::lblRemoveClick()
{
    const QString title = QStringLiteral("Remove Folder");
    QString folder;
    if (!pickedFolder(&folder, title))
        return;
    folderActionDone(GameFolderActions::remove(context().prompter(), gamesRoot(), folder));
}

void GameTransferWindow::folderActionDone(GameFolderActions::Result result)
{
    // The navigator keeps the user's pick unless something was tried.
    if (result == GameFolderActions::Result::NotDone)
        return;
    m_foldersChanged = m_foldersChanged || result == GameFolderActions::Result::Changed;
    refreshNavigator();
}

void GameTransferWindow::mouseMoveEvent(QMouseEvent* event)
{
    m_linkHighlight->clear();
    AppWindow::mouseMoveEvent(event);
}

bool GameTransferWindow::formUnload()
{
    // During a hand-over the loading window brings the games window back.
    if (context().reloadPending(WindowNames::Games))
        return true;
    if (GamesWindow* games = gamesWindow()) {
        // Folders made or removed here show in the games window at once.
        if (m_foldersChanged)
            games->fillAllFolders();
        games->show();
    }
    return true;
}
