#include "maps/ui/MapsWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Desktop.h"
#include "common/core/FolderListing.h"
#include "common/core/Intervals.h"
#include "common/core/Pictures.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/WindowNames.h"
#include "maps/core/MapFiles.h"
#include "maps/core/MapInspector.h"
#include "maps/core/MapNames.h"
#include "maps/core/MapPreview.h"
#include "maps/core/MapThumbnails.h"
#include "maps/ui/MapListWidget.h"
#include "maps/ui/MapPictures.h"
#include "maps/ui/MapSettingsStrip.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel (15 is odd: no twips lie halfway).
constexpr int px(int twips)
{
    constexpr int half = kTwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((half - twips) / kTwipsPerPixel);
}

constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Where the window's controls lie, in twips as the form was drawn unless
// said otherwise. The two frames at the bottom and the height of the three
// lists follow the window's height (resizeEvent()).
namespace Layout {
constexpr QSize startSize(px(11655), px(7890));

// The map's name over its preview.
constexpr QRect mapName = twips(0, 0, 11655, 375);
constexpr QRect preview = twips(0, 360, 11655, 3975);

// The captions over the lists; "Transfer Complete!" covers the transfer
// station's while it shows.
constexpr QRect foldersCaption = twips(0, 4440, 1695, 255);
constexpr QRect viewingCaption = twips(1920, 4440, 2175, 255);
constexpr QRect transferCaption = twips(9600, 4440, 1935, 255);
constexpr QRect transferComplete = transferCaption;
constexpr QRect picturesButton = twips(4200, 4425, 1215, 270);

// The folders, the maps, the army picture (the help text over part of it)
// and the transfer station.
constexpr QRect folderPick = twips(0, 4680, 1935, 2175);
constexpr QRect mapList = twips(1920, 4680, 3495, 2175);
constexpr QRect army = twips(5520, 4680, 3930, 2955);
constexpr QRect transferHelp = twips(7680, 4680, 1935, 2415);
constexpr QRect transferList = twips(9600, 4680, 1935, 2175);

// The folder and map buttons; the buttons in pixels within their frame.
constexpr QRect mapButtons = twips(0, 6960, 4935, 735);
constexpr QRect newFolderButton(4, 3, 158, 21);
constexpr QRect deleteFolderButton(4, 25, 158, 21);
constexpr QRect renameMapButton(167, 3, 158, 21);
constexpr QRect deleteMapButton(167, 25, 158, 21);

// The download sites (over the army picture when shown), their links in
// pixels across the frame.
constexpr QRect downloadSites = twips(5520, 6840, 4095, 855);
constexpr QRect siteLink(int top)
{
    return QRect(8, top, downloadSites.width() - 16, 16);
}
constexpr QRect mapDatabaseLink = siteLink(18);
constexpr QRect mapMakingLink = siteLink(36);

// The check boxes that show the help text and the sites, in pixels within
// their frame.
constexpr QRect helpChoices = twips(9600, 6840, 1935, 975);
constexpr QRect helpChoice(int top)
{
    return QRect(6, top, helpChoices.width() - 8, 20);
}
constexpr QRect howToTransferChoice = helpChoice(4);
constexpr QRect downloadSitesChoice = helpChoice(26);

// Along the window's height: the frames at the bottom start 800 twips above
// its bottom edge, and the lists end 5600 twips short of its height.
constexpr int framesAboveBottom = 800;
constexpr int listsShorterThanWindow = 5600;
} // namespace Layout

const QColor kWindowBack = bgrColor(0x00FFFFFF);
const QColor kCaptionText = bgrColor(0x00000000);
const QColor kLinkText = bgrColor(0x00C00000);

void colourList(QListWidget* list, int r, int g, int b, int tr, int tg, int tb)
{
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(r, g, b));
    palette.setColor(QPalette::Text, QColor(tr, tg, tb));
    list->setPalette(palette);
}

QString transferHelp()
{
    return QStringLiteral(
        "TRANSFER STATION: If you would like to transfer a map to a different folder, simply highlight the folder "
        "you'd like the map to transfer to from this box, then click and drag the map to the box!     You can also "
        "transfer external pngs to here!");
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
    resize(Layout::startSize);
    buildControls();

    m_preview = new MapPreviewLoader(this);
    connect(m_preview, &MapPreviewLoader::finished, this, &MapsWindow::previewFinished);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, m_lblTransferComplete, &QWidget::hide);
    m_selectedInspector = new MapInspector(true, this);
    connect(m_selectedInspector, &MapInspector::inspected, this, &MapsWindow::showSettings);
    m_importInspector = new MapInspector(false, this);
    connect(m_importInspector, &MapInspector::inspected, this, &MapsWindow::tellImportProblems);
}

void MapsWindow::buildControls()
{
    m_lblMapName = new QLabel(this);
    m_lblMapName->setObjectName(QStringLiteral("lblMapName"));
    m_lblMapName->setGeometry(Layout::mapName);
    m_lblMapName->setFont(designFont(QStringLiteral("Verdana"), 12, true));
    m_lblMapName->setAlignment(Qt::AlignCenter);

    m_picPreview = new QLabel(this);
    m_picPreview->setObjectName(QStringLiteral("picPreview"));
    m_picPreview->setGeometry(Layout::preview);
    m_picPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackground(m_picPreview, Qt::black);

    m_settingsStrip = new MapSettingsStrip(m_picPreview);

    const QFont captionFont = designFont(QStringLiteral("Verdana"), 8, true);
    auto caption = [&](const char* name, const QString& text, const QRect& where) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(where);
        label->setFont(captionFont);
        setForeground(label, kCaptionText);
        return label;
    };
    m_foldersCaption = caption("Label1", QStringLiteral("My Folders"), Layout::foldersCaption);
    m_lblViewing = caption("lblViewing", QStringLiteral("Viewing: Root Folder"), Layout::viewingCaption);
    m_transferCaption = caption("Label2", QStringLiteral("Transfer Station"), Layout::transferCaption);
    m_lblTransferComplete =
        caption("lblTransferComplete", QStringLiteral("Transfer Complete!"), Layout::transferComplete);
    setBackground(m_lblTransferComplete, kWindowBack); // covers the title while it shows
    setForeground(m_lblTransferComplete, QColor(0, 128, 0));
    m_lblTransferComplete->setVisible(false);

    m_cmdPictures = new QPushButton(QStringLiteral("Pictures"), this);
    m_cmdPictures->setObjectName(QStringLiteral("cmdPictures"));
    m_cmdPictures->setAccessibleName(QStringLiteral("Pictures"));
    m_cmdPictures->setToolTip(QStringLiteral("Show the maps as pictures"));
    m_cmdPictures->setGeometry(Layout::picturesButton);

    m_lstFolderPick = new QListWidget(this);
    m_lstFolderPick->setObjectName(QStringLiteral("lstFolderPick"));
    m_lstFolderPick->setGeometry(Layout::folderPick);
    colourList(m_lstFolderPick, 192, 255, 255, 255, 128, 0);
    connect(m_lstFolderPick, &QListWidget::itemDoubleClicked, this, &MapsWindow::folderPickDoubleClicked);

    m_mapList = new MapListWidget(MapDrag::Target::MapList, this);
    m_mapList->setObjectName(QStringLiteral("List1"));
    m_mapList->setGeometry(Layout::mapList);
    colourList(m_mapList, 192, 192, 255, 255, 255, 255);
    m_mapList->setMapsRoot([this] { return mapsRoot(); });
    m_mapList->setDragData([this]() -> QMimeData* {
        const QListWidgetItem* item = m_mapList->currentItem();
        return item ? MapDrag::mimeFor(m_mapFolder.itemPath(mapsRoot(), item->text())) : nullptr;
    });
    connect(m_mapList, &QListWidget::currentRowChanged, this, &MapsWindow::mapSelected);
    connect(m_mapList, &MapListWidget::reselected, this, &MapsWindow::mapSelected);
    connect(m_mapList, &MapListWidget::dropped, this, &MapsWindow::mapListDropped);

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setGeometry(Layout::army);
    m_imgArmy->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pictures = new MapPictures(m_mapList, m_cmdPictures, m_imgArmy, this);

    m_lblDesc = new QLabel(transferHelp(), this);
    m_lblDesc->setObjectName(QStringLiteral("lblDesc"));
    m_lblDesc->setGeometry(Layout::transferHelp);
    m_lblDesc->setWordWrap(true);
    m_lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDesc->setFont(designFont(QStringLiteral("Verdana"), 7));
    m_lblDesc->setMargin(2);
    setBackground(m_lblDesc, bgrColor(0x00C0FFFF));
    m_lblDesc->setVisible(false);

    m_lstFolderTransfer = new MapListWidget(MapDrag::Target::TransferList, this);
    m_lstFolderTransfer->setObjectName(QStringLiteral("lstFolderTransfer"));
    m_lstFolderTransfer->setGeometry(Layout::transferList);
    colourList(m_lstFolderTransfer, 128, 0, 0, 255, 128, 0);
    m_lstFolderTransfer->setMapsRoot([this] { return mapsRoot(); });
    connect(m_lstFolderTransfer, &QListWidget::itemDoubleClicked, this, &MapsWindow::transferDoubleClicked);
    connect(m_lstFolderTransfer, &MapListWidget::dropped, this, &MapsWindow::transferDropped);

    // Folder and map operations.
    m_mapButtons = new QGroupBox(this);
    m_mapButtons->setObjectName(QStringLiteral("Frame1"));
    m_mapButtons->setGeometry(Layout::mapButtons);
    auto button = [&](const char* name, const QString& text, const QRect& where, void (MapsWindow::*handler)()) {
        auto* b = new QPushButton(text, m_mapButtons);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(where);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    button("cmdNewFolder", QStringLiteral("New Folder"), Layout::newFolderButton, &MapsWindow::newFolder);
    button("cmdDeleteFolder", QStringLiteral("Delete Folder"), Layout::deleteFolderButton, &MapsWindow::deleteFolder);
    button("cmdRenameMap", QStringLiteral("Rename Map"), Layout::renameMapButton, &MapsWindow::renameMap);
    button("cmdDeleteMap", QStringLiteral("Delete Map"), Layout::deleteMapButton, &MapsWindow::deleteMap);

    // The download sites.
    m_downloadSites = new QGroupBox(QStringLiteral("Map Download Sites"), this);
    m_downloadSites->setObjectName(QStringLiteral("Frame3"));
    m_downloadSites->setGeometry(Layout::downloadSites);
    setBackground(m_downloadSites, kWindowBack);
    auto site = [&](const char* name, const QString& text, const QRect& where, const QString& address) {
        auto* label = new ClickLabel(text, m_downloadSites);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(where);
        label->setForeColor(kLinkText);
        label->setCursor(Qt::PointingHandCursor);
        QFont font = label->font();
        font.setUnderline(true);
        label->setFont(font);
        connect(label, &ClickLabel::clicked, this, [this, address] { context().desktop().openUrl(QUrl(address)); });
        return label;
    };
    m_lblWMDB =
        site("lblWMDB", QStringLiteral("Worms Map Database 'WMDB'"), Layout::mapDatabaseLink, mapDatabaseAddress());
    m_lblOxbel =
        site("lblOxbel", QStringLiteral("Worms Knowledge Base 'Oxbel'"), Layout::mapMakingLink, mapMakingAddress());
    m_downloadSites->setVisible(false);

    // The two check boxes that show the help text and the sites.
    m_helpChoices = new QGroupBox(this);
    m_helpChoices->setObjectName(QStringLiteral("Frame2"));
    m_helpChoices->setGeometry(Layout::helpChoices);
    m_chkHowToTransfer = new QCheckBox(QStringLiteral("How to Transfer"), m_helpChoices);
    m_chkHowToTransfer->setObjectName(QStringLiteral("Check1"));
    m_chkHowToTransfer->setGeometry(Layout::howToTransferChoice);
    m_chkDownloadSites = new QCheckBox(QStringLiteral("Map Download Sites"), m_helpChoices);
    m_chkDownloadSites->setObjectName(QStringLiteral("Check2"));
    m_chkDownloadSites->setGeometry(Layout::downloadSitesChoice);
    for (QCheckBox* check : {m_chkHowToTransfer, m_chkDownloadSites})
        check->setFont(designFont(QStringLiteral("Verdana"), 7));
    connect(m_chkHowToTransfer, &QCheckBox::toggled, m_lblDesc, &QWidget::setVisible);
    connect(m_chkDownloadSites, &QCheckBox::toggled, m_downloadSites, &QWidget::setVisible);

    // Help and sites lie over the army picture when they show.
    m_lblDesc->raise();
    m_downloadSites->raise();
    m_lblTransferComplete->raise();
}

QString MapsWindow::mapDatabaseAddress()
{
    return QStringLiteral("https://www.wmdb.org/");
}

QString MapsWindow::mapMakingAddress()
{
    return QStringLiteral("https://worms2d.info/Colour_map");
}

QString MapsWindow::highlightFolderMessage()
{
    return QStringLiteral("Please highlight a folder");
}

QString MapsWindow::selectFolderMessage()
{
    return QStringLiteral("Please select a folder");
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
    m_preview->cancel();
    m_selectedInspector->cancel();
    m_pictures->cancel();
    context().returnToMainMenu(WindowNames::Maps);
    return true;
}

void MapsWindow::resizeEvent(QResizeEvent* event)
{
    AppWindow::resizeEvent(event);
    // Frames stay at the bottom and the three lists take the height between.
    const int height = event->size().height() * kTwipsPerPixel;
    const int frameTop = height - Layout::framesAboveBottom;
    if (frameTop >= 0) {
        m_mapButtons->move(m_mapButtons->x(), px(frameTop));
        m_helpChoices->move(m_helpChoices->x(), px(frameTop));
    }
    const int listHeight = height - Layout::listsShorterThanWindow;
    if (listHeight >= 0) {
        for (QListWidget* list :
             {m_lstFolderPick, static_cast<QListWidget*>(m_mapList), static_cast<QListWidget*>(m_lstFolderTransfer)})
            list->resize(list->width(), px(listHeight));
    }
}

QString MapsWindow::mapsRoot() const
{
    return context().paths().mapsFolder();
}

QString MapsWindow::mapFolderPath() const
{
    return m_mapFolder.path(mapsRoot());
}

bool MapsWindow::previewPending() const
{
    return m_preview->busy() || m_selectedInspector->busy() || m_importInspector->busy();
}

int MapsWindow::thumbnailsPending() const
{
    return m_pictures->pending();
}

// Lists the sub-folders of `folder` as the folder navigator does: the parent
// entry first (left out at the maps root on the map side), then the folders.
void MapsWindow::fillFolderList(QListWidget* list, MapFolder& folder, bool mapSide)
{
    const QString root = mapsRoot();
    // A folder removed behind the window's back: show the nearest one left.
    while (!folder.isRoot() && !QFileInfo(folder.path(root)).isDir())
        folder.goUp();

    const QStringList entries = FolderListing::list(folder.path(root), QString()).entries;
    list->clear();
    const auto side = mapSide ? MapNames::Side::Maps : MapNames::Side::Transfer;
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries.at(i);
        const bool parent = i == 0 && entry == QLatin1String("..");
        if (parent && mapSide && folder.isRoot())
            continue; // the root's list shows only its sub-folders
        auto* item = new QListWidgetItem(parent ? MapNames::parentEntryText(side, folder.isRoot()) : entry, list);
        item->setData(Qt::UserRole, parent ? ParentEntry : FolderEntry);
    }
}

void MapsWindow::refreshMapView()
{
    fillFolderList(m_lstFolderPick, m_mapFolder, true);
    m_lblViewing->setText(m_mapFolder.viewingCaption());
    // Below the root the parent entry starts out highlighted.
    if (!m_mapFolder.isRoot() && m_lstFolderPick->count() > 0)
        m_lstFolderPick->setCurrentRow(0);

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
    fillFolderList(m_lstFolderTransfer, m_transferFolder, false);
    if (m_lstFolderTransfer->count() > 0)
        m_lstFolderTransfer->setCurrentRow(0);
    m_unshown.check(m_transferFolder.path(mapsRoot()));
}

void MapsWindow::mapSelected()
{
    if (const QListWidgetItem* item = m_mapList->currentItem())
        m_lblMapName->setText(MapNames::displayName(item->text()));
    showMapPreview();
}

void MapsWindow::showMapPreview()
{
    const QListWidgetItem* item = m_mapList->currentItem();
    if (!item) {
        m_preview->cancel();
        m_selectedInspector->cancel();
        showNoMap();
        m_settingsStrip->clear();
        return;
    }
    m_selectedInspector->request({m_mapFolder.itemPath(mapsRoot(), item->text())});
    const qreal ratio = m_picPreview->devicePixelRatioF();
    const QSize box = m_picPreview->contentsRect().size();
    m_preview->request(m_mapFolder.itemPath(mapsRoot(), item->text()),
                       QSize(qRound(box.width() * ratio), qRound(box.height() * ratio)));
}

// A map that cannot be shown keeps the settings strip: the check of the same
// file, which comes on its own and in either order, says what is wrong with it.
void MapsWindow::previewFinished(const QString& file, const QImage& picture)
{
    Q_UNUSED(file)
    if (picture.isNull()) {
        showNoMap();
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(m_picPreview->devicePixelRatioF());
    m_picPreview->setPixmap(pixmap);
}

void MapsWindow::showNoMap()
{
    const QImage black = Pictures::userOrBuiltIn(context().paths(), QStringLiteral("black.bmp"));
    m_picPreview->setPixmap(QPixmap::fromImage(
        black.scaled(m_picPreview->contentsRect().size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    m_lblMapName->setText(QStringLiteral("No Map Selected!"));
}

void MapsWindow::showSettings(const QStringList& files, const QList<MapCheck::Report>& reports)
{
    const QListWidgetItem* item = m_mapList->currentItem();
    if (!item || reports.isEmpty() || files.first() != m_mapFolder.itemPath(mapsRoot(), item->text()) ||
        !reports.first().readable) {
        m_settingsStrip->clear();
        return;
    }
    m_settingsStrip->showReport(reports.first());
}

// Checks the maps among the files a drop brought into `folder` against the
// game's rules; the findings come in one message (tellImportProblems).
void MapsWindow::checkImported(const QStringList& sources, const QString& folder)
{
    QStringList landed;
    for (const QString& source : sources) {
        const QString name = QFileInfo(source).fileName();
        const QString destination = MapFiles::destinationIn(folder, name);
        if (name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) && QFileInfo(destination).isFile())
            landed << destination;
    }
    if (!landed.isEmpty())
        m_importInspector->request(landed);
}

void MapsWindow::tellImportProblems(const QStringList& files, const QList<MapCheck::Report>& reports)
{
    const QString message = MapCheck::problemsMessage(files, reports);
    if (!message.isEmpty())
        warn(message);
}

void MapsWindow::folderPickDoubleClicked(QListWidgetItem* item)
{
    if (!item)
        return;
    // The root's list has no parent entry: "<<Back" always leads up.
    if (item->data(Qt::UserRole).toInt() == ParentEntry) {
        m_mapFolder.goUp();
    } else {
        m_mapFolder.enter(mapsRoot(), item->text());
    }
    refreshMapView();
}

void MapsWindow::transferDoubleClicked(QListWidgetItem* item)
{
    if (!item)
        return;
    if (item->data(Qt::UserRole).toInt() == ParentEntry) {
        if (m_transferFolder.isRoot())
            return; // "[Root]"
        m_transferFolder.goUp();
    } else {
        m_transferFolder.enter(mapsRoot(), item->text());
    }
    fillTransferFolders();
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
    const QList<QListWidgetItem*> selected = m_lstFolderPick->selectedItems();
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
    if (item->data(Qt::UserRole).toInt() == FolderEntry)
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

MapDrag::Entry MapsWindow::entryOf(const QListWidgetItem* item, bool atRoot)
{
    if (!item || !item->isSelected())
        return MapDrag::Entry::None;
    if (item->data(Qt::UserRole).toInt() == FolderEntry)
        return MapDrag::Entry::Folder;
    return atRoot ? MapDrag::Entry::Root : MapDrag::Entry::Parent;
}

void MapsWindow::mapListDropped(const MapDrag::Drag& drag)
{
    if (MapDrag::decide(MapDrag::Target::MapList, drag.kind, MapDrag::Entry::None) !=
        MapDrag::Action::CopyIntoMapFolder)
        return;
    MapFiles::ensureMapsRoot(mapsRoot());
    MapFiles::importFiles(drag.files, mapFolderPath());
    refreshMapView();
    checkImported(drag.files, mapFolderPath());
}

void MapsWindow::transferDropped(const MapDrag::Drag& drag)
{
    const QListWidgetItem* item = m_lstFolderTransfer->currentItem();
    const MapDrag::Entry entry = entryOf(item, m_transferFolder.isRoot());
    const QString root = mapsRoot();
    switch (MapDrag::decide(MapDrag::Target::TransferList, drag.kind, entry)) {
    case MapDrag::Action::Ignore:
    case MapDrag::Action::CopyIntoMapFolder:
        return;
    case MapDrag::Action::AskToHighlight:
        context().prompter().message(highlightFolderMessage(), QStringLiteral("Transfer"), Prompter::Buttons::Ok,
                                     Prompter::Icon::Information);
        return;
    case MapDrag::Action::AskToSelect:
        context().prompter().message(selectFolderMessage(), AppInfo::title(), Prompter::Buttons::Ok,
                                     Prompter::Icon::Information);
        return;
    case MapDrag::Action::CopyIntoTarget: {
        MapFiles::ensureMapsRoot(root);
        const QString folder =
            entry == MapDrag::Entry::Root ? m_transferFolder.path(root) : m_transferFolder.itemPath(root, item->text());
        MapFiles::importFiles(drag.files, folder);
        refreshMapView();
        checkImported(drag.files, folder);
        return;
    }
    case MapDrag::Action::MoveMap: {
        const QString target = entry == MapDrag::Entry::Root ? root : m_transferFolder.itemPath(root, item->text());
        const MapFiles::MoveResult result = MapFiles::moveMap(drag.mapPath, target);
        refreshMapView();
        if (result.status == MapFiles::MoveResult::Status::Moved)
            showTransferComplete();
        else if (result.status == MapFiles::MoveResult::Status::AlreadyThere)
            context().prompter().message(result.message, AppInfo::title(), Prompter::Buttons::Ok,
                                         Prompter::Icon::Information);
        else
            warn(result.message);
        return;
    }
    }
}

void MapsWindow::showTransferComplete()
{
    m_lblTransferComplete->show();
    m_noticeTimer->start(context().intervals().notice);
}
