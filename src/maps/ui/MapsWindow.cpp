// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapsWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/Pictures.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "maps/core/MapFiles.h"
#include "maps/core/MapNames.h"
#include "maps/core/MapThumbnails.h"
#include "maps/ui/MapFolderList.h"
#include "maps/ui/MapHelpPanel.h"
#include "maps/ui/MapImportController.h"
#include "maps/ui/MapListWidget.h"
#include "maps/ui/MapPictures.h"
#include "maps/ui/MapPreviewPane.h"
#include "maps/ui/MapsLayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

namespace {

const QColor kWindowBack = bgrColor(0x00FFFFFF);
const QColor kCaptionText = bgrColor(0x00000000);

void colourList(QListWidget* list, int r, int g, int b, int tr, int tg, int tb)
{
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(r, g, b));
    palette.setColor(QPalette::Text, QColor(tr, tg, tb));
    list->setPalette(palette);
}

} // namespace

MapsWindow::MapsWindow(AppContext& context, QWidget* parent)
    : AppWindow(context, parent)
    , m_unshown(context.prompter())
{
    setWindowTitle(QStringLiteral("The Quillane - My Map Manager c('.'C)"));
    setEscapeAction([this] { close(); }); // as closing the window: back to the main menu
    setFont(designFont(QStringLiteral("Verdana"), 8));
    setBackground(this, kWindowBack);
    resize(MapsLayout::startSize);
    buildControls();

    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, m_lblTransferComplete, &QWidget::hide);
    m_import = new MapImportController(
        context.prompter(), [this] { return mapsRoot(); }, this);
    connect(m_import, &MapImportController::mapsChanged, this, &MapsWindow::refreshMapView);
    connect(m_import, &MapImportController::mapMoved, this, &MapsWindow::showTransferComplete);
    connect(m_mapList, &MapListWidget::dropped, this,
            [this](const MapDrag::Drag& drag) { m_import->droppedOnMaps(drag, mapFolderPath()); });
    connect(m_lstFolderTransfer, &MapListWidget::dropped, this,
            [this](const MapDrag::Drag& drag) { m_import->droppedOnTransfer(drag, *m_transferSide); });
}

void MapsWindow::buildControls()
{
    m_previewPane = new MapPreviewPane(context().paths(), this);

    const QFont captionFont = designFont(QStringLiteral("Verdana"), 8, true);
    auto caption = [&](const char* name, const QString& text, const QRect& where) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(where);
        label->setFont(captionFont);
        setForeground(label, kCaptionText);
        return label;
    };
    m_foldersCaption = caption("Label1", QStringLiteral("My Folders"), MapsLayout::foldersCaption);
    m_lblViewing = caption("lblViewing", QStringLiteral("Viewing: Root Folder"), MapsLayout::viewingCaption);
    m_transferCaption = caption("Label2", QStringLiteral("Transfer Station"), MapsLayout::transferCaption);
    m_lblTransferComplete =
        caption("lblTransferComplete", QStringLiteral("Transfer Complete!"), MapsLayout::transferComplete);
    setBackground(m_lblTransferComplete, kWindowBack); // covers the title while it shows
    setForeground(m_lblTransferComplete, QColor(0, 128, 0));
    m_lblTransferComplete->setVisible(false);

    m_cmdPictures = new QPushButton(QStringLiteral("Pictures"), this);
    m_cmdPictures->setObjectName(QStringLiteral("cmdPictures"));
    m_cmdPictures->setAccessibleName(QStringLiteral("Pictures"));
    m_cmdPictures->setToolTip(QStringLiteral("Show the maps as pictures"));
    m_cmdPictures->setGeometry(MapsLayout::picturesButton);

    auto* folderPick = new QListWidget(this);
    folderPick->setObjectName(QStringLiteral("lstFolderPick"));
    folderPick->setGeometry(MapsLayout::folderPick);
    colourList(folderPick, 192, 255, 255, 255, 128, 0);
    m_mapSide = new MapFolderList(
        folderPick, MapNames::Side::Maps, [this] { return mapsRoot(); }, this);
    connect(m_mapSide, &MapFolderList::folderChanged, this, &MapsWindow::refreshMapView);

    m_mapList = new MapListWidget(MapDrag::Target::MapList, this);
    m_mapList->setObjectName(QStringLiteral("List1"));
    m_mapList->setGeometry(MapsLayout::mapList);
    colourList(m_mapList, 192, 192, 255, 255, 255, 255);
    m_mapList->setMapsRoot([this] { return mapsRoot(); });
    m_mapList->setDragData([this]() -> QMimeData* {
        const QListWidgetItem* item = m_mapList->currentItem();
        return item ? MapDrag::mimeFor(m_mapSide->folder().itemPath(mapsRoot(), item->text())) : nullptr;
    });
    connect(m_mapList, &QListWidget::currentRowChanged, this, &MapsWindow::mapSelected);
    connect(m_mapList, &MapListWidget::reselected, this, &MapsWindow::mapSelected);

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setGeometry(MapsLayout::army);
    m_imgArmy->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pictures = new MapPictures(m_mapList, m_cmdPictures, m_imgArmy, this);

    m_lstFolderTransfer = new MapListWidget(MapDrag::Target::TransferList, this);
    m_lstFolderTransfer->setObjectName(QStringLiteral("lstFolderTransfer"));
    m_lstFolderTransfer->setGeometry(MapsLayout::transferList);
    colourList(m_lstFolderTransfer, 128, 0, 0, 255, 128, 0);
    m_lstFolderTransfer->setMapsRoot([this] { return mapsRoot(); });
    m_transferSide = new MapFolderList(
        m_lstFolderTransfer, MapNames::Side::Transfer, [this] { return mapsRoot(); }, this);
    connect(m_transferSide, &MapFolderList::folderChanged, this, &MapsWindow::fillTransferFolders);

    // Folder and map operations.
    m_mapButtons = new QGroupBox(this);
    m_mapButtons->setObjectName(QStringLiteral("Frame1"));
    m_mapButtons->setGeometry(MapsLayout::mapButtons);
    auto button = [&](const char* name, const QString& text, const QRect& where, void (MapsWindow::*handler)()) {
        auto* b = new QPushButton(text, m_mapButtons);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(where);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    button("cmdNewFolder", QStringLiteral("New Folder"), MapsLayout::newFolderButton, &MapsWindow::newFolder);
    button("cmdDeleteFolder", QStringLiteral("Delete Folder"), MapsLayout::deleteFolderButton,
           &MapsWindow::deleteFolder);
    button("cmdRenameMap", QStringLiteral("Rename Map"), MapsLayout::renameMapButton, &MapsWindow::renameMap);
    button("cmdDeleteMap", QStringLiteral("Delete Map"), MapsLayout::deleteMapButton, &MapsWindow::deleteMap);

    m_help = new MapHelpPanel(context().desktop(), this);
    m_lblTransferComplete->raise();
}

void MapsWindow::formLoad()
{
    m_imgArmy->setPixmap(QPixmap::fromImage(Pictures::userOrBuiltIn(context().paths(), QStringLiteral("army.bmp"))));
    m_pictures->setUnreadablePicture(Pictures::userOrBuiltIn(context().paths(), QStringLiteral("black.bmp"))
                                         .scaled(MapThumbnails::fitted(QSize(1920, 696), MapThumbnails::Size::Normal)));
    m_pictures->restore();
    refreshMapView();
    fillTransferFolders();
}

bool MapsWindow::formUnload()
{
    m_previewPane->cancel();
    m_pictures->cancel();
    context().returnToMainMenu(WindowNames::Maps);
    return true;
}

void MapsWindow::resizeEvent(QResizeEvent* event)
{
    AppWindow::resizeEvent(event);
    // Frames stay at the bottom and the three lists take the height between.
    const int height = event->size().height() * Twips::perPixel;
    const int frameTop = height - MapsLayout::framesAboveBottom;
    if (frameTop >= 0) {
        m_mapButtons->move(m_mapButtons->x(), Twips::px(frameTop));
        m_help->moveChoicesTo(Twips::px(frameTop));
    }
    const int listHeight = height - MapsLayout::listsShorterThanWindow;
    if (listHeight >= 0) {
        for (QListWidget* list :
             {m_mapSide->list(), static_cast<QListWidget*>(m_mapList), static_cast<QListWidget*>(m_lstFolderTransfer)})
            list->resize(list->width(), Twips::px(listHeight));
    }
}

QString MapsWindow::mapsRoot() const
{
    return context().paths().mapsFolder();
}

QString MapsWindow::mapFolderPath() const
{
    return m_mapSide->path();
}

QString MapsWindow::currentMapFolder() const
{
    return m_mapSide->folder().relative();
}

QString MapsWindow::currentTransferFolder() const
{
    return m_transferSide->folder().relative();
}

bool MapsWindow::previewPending() const
{
    return m_previewPane->busy() || m_import->busy();
}

int MapsWindow::thumbnailsPending() const
{
    return m_pictures->pending();
}

void MapsWindow::refreshMapView()
{
    m_mapSide->fill();
    m_lblViewing->setText(m_mapSide->folder().viewingCaption());

    {
        const QSignalBlocker blocker(m_mapList);
        m_mapList->clear();
        m_mapList->addItems(MapFiles::maps(mapFolderPath()));
        if (m_mapList->count() > 0)
            m_mapList->setCurrentRow(0);
    }
    m_pictures->refilled(mapFolderPath());
    mapSelected();
    // Maps and folders whose names cannot be shown are there all the same.
    m_unshown.check(mapFolderPath());
}

void MapsWindow::fillTransferFolders()
{
    m_transferSide->fill();
    m_unshown.check(m_transferSide->path());
}

void MapsWindow::mapSelected()
{
    if (const QListWidgetItem* item = m_mapList->currentItem())
        m_previewPane->showMap(m_mapSide->folder().itemPath(mapsRoot(), item->text()),
                               MapNames::displayName(item->text()));
    else
        m_previewPane->showNone();
}

void MapsWindow::warn(const QString& text)
{
    context().prompter().message(text, AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

void MapsWindow::newFolder()
{
    const QString name = context().prompter().input(QStringLiteral("What would you like to name the new folder?"),
                                                    QStringLiteral("Create New Folder"), QString());
    if (name.isEmpty())
        return;
    MapFiles::ensureMapsRoot(mapsRoot());
    const MapFiles::Result result = MapFiles::createFolder(mapFolderPath(), name);
    if (!result.ok)
        warn(result.message);
    refreshMapView();
    fillTransferFolders();
}

void MapsWindow::deleteFolder()
{
    const QList<QListWidgetItem*> selected = m_mapSide->list()->selectedItems();
    if (selected.isEmpty()) {
        context().prompter().tell(MapFiles::noFolderSelectedMessage());
        return;
    }
    const QListWidgetItem* item = selected.first();
    const QString name = item->text();
    if (context().prompter().message(QStringLiteral("Are you sure you want to delete the '") + name +
                                         QStringLiteral("' folder and all of it's contents?"),
                                     QStringLiteral("Delete Folder?"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    // The parent entry names no folder of its own: nothing to delete.
    if (MapFolderList::isFolder(item))
        MapFiles::deleteFolder(mapFolderPath(), name);
    refreshMapView();
    fillTransferFolders();
}

QString MapsWindow::selectedMap()
{
    const QListWidgetItem* item = m_mapList->currentItem();
    if (!item)
        context().prompter().tell(MapFiles::noMapSelectedMessage());
    return item ? item->text() : QString();
}

void MapsWindow::deleteMap()
{
    const QString map = selectedMap();
    if (map.isEmpty())
        return;
    if (context().prompter().message(QStringLiteral("Are you sure you want to delete ") + map + QLatin1Char('?'),
                                     QStringLiteral("Delete?"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    const MapFiles::Result result = MapFiles::deleteMap(mapFolderPath(), map);
    if (!result.ok)
        warn(result.message);
    refreshMapView();
}

void MapsWindow::renameMap()
{
    const QString map = selectedMap();
    if (map.isEmpty())
        return;
    const QString answer = context().prompter().input(QStringLiteral("What would you like to rename the map?"),
                                                      QStringLiteral("Rename Map"), MapNames::renameDefault(map));
    if (answer.isEmpty())
        return;
    const MapFiles::RenamePlan plan = MapFiles::planRename(mapFolderPath(), map, answer);
    if (plan.kind == MapFiles::RenamePlan::Kind::BadName) {
        warn(plan.message);
        return;
    }
    if (plan.kind == MapFiles::RenamePlan::Kind::Replace &&
        context().prompter().message(plan.message, QStringLiteral("Rename Map"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    // A rename stops at its first failure, silently, with the map as it was.
    if (!MapFiles::executeRename(plan))
        return;
    refreshMapView();
}

void MapsWindow::showTransferComplete()
{
    m_lblTransferComplete->show();
    m_noticeTimer->start(context().intervals().notice);
}
