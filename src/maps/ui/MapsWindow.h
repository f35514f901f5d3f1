#pragma once

#include "common/core/UnshownNames.h"
#include "common/ui/AppWindow.h"
#include "maps/core/MapCheck.h"
#include "maps/core/MapDrag.h"
#include "maps/core/MapFolder.h"

#include <QImage>

class ClickLabel;
class MapInspector;
class MapListWidget;
class MapPictures;
class MapPreviewLoader;
class MapSettingsStrip;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;

// The map manager: the maps of one folder of SavedLevels at a time with its
// sub-folders, a preview of the selected map, folder and map operations, the
// import of files dropped from the desktop, and the transfer station that
// moves the selected map into another folder.
class MapsWindow : public AppWindow {
    Q_OBJECT
public:
    explicit MapsWindow(AppContext& context, QWidget* parent = nullptr);

    void formLoad() override;

    // Fills the folder list and the map list for the current map folder from
    // the disk, selects the first map and draws its preview.
    void refreshMapView();

    // The folder the map side shows and the one the transfer side shows,
    // relative to SavedLevels ("/" or "/Caverns/Big").
    QString currentMapFolder() const { return m_mapFolder.relative(); }
    QString currentTransferFolder() const { return m_transferFolder.relative(); }
    // True while the preview of the selected map is being drawn, its settings
    // read, or the maps of a drop checked.
    bool previewPending() const;
    // Thumbnails of the shown folder not yet in the pictures view.
    int thumbnailsPending() const;

    // The web addresses behind the two download sites.
    static QString mapDatabaseAddress();
    static QString mapMakingAddress();

    // Messages of the transfer station.
    static QString highlightFolderMessage();
    static QString selectFolderMessage();

protected:
    bool formUnload() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum EntryKind { ParentEntry = 1, FolderEntry = 2 };

    void buildControls();
    QString mapsRoot() const;
    QString mapFolderPath() const;

    void fillTransferFolders();
    void fillFolderList(QListWidget* list, MapFolder& folder, bool mapSide);
    void mapSelected();
    void showMapPreview();
    void previewFinished(const QString& file, const QImage& picture);
    void showNoMap();
    void showSettings(const QStringList& files, const QList<MapCheck::Report>& reports);
    void checkImported(const QStringList& sources, const QString& folder);
    void tellImportProblems(const QStringList& files, const QList<MapCheck::Report>& reports);

    void folderPickDoubleClicked(QListWidgetItem* item);
    void transferDoubleClicked(QListWidgetItem* item);
    void newFolder();
    void deleteFolder();
    // The selected map's file name; "" after telling the user that none is.
    QString selectedMap();
    void deleteMap();
    void renameMap();
    void mapListDropped(const MapDrag::Drag& drag);
    void transferDropped(const MapDrag::Drag& drag);
    void showTransferComplete();
    void warn(const QString& text);

    static MapDrag::Entry entryOf(const QListWidgetItem* item, bool atRoot);

    MapFolder m_mapFolder;
    MapFolder m_transferFolder;
    UnshownNamesNotice m_unshown; // names of listed folders that cannot be shown

    QLabel* m_lblMapName = nullptr;
    QLabel* m_picPreview = nullptr;
    QLabel* m_foldersCaption = nullptr;
    QListWidget* m_lstFolderPick = nullptr;
    QLabel* m_lblViewing = nullptr;
    MapListWidget* m_mapList = nullptr;
    QLabel* m_imgArmy = nullptr;
    QLabel* m_lblDesc = nullptr;
    QLabel* m_transferCaption = nullptr;
    QLabel* m_lblTransferComplete = nullptr;
    MapListWidget* m_lstFolderTransfer = nullptr;
    QGroupBox* m_mapButtons = nullptr;
    QGroupBox* m_helpChoices = nullptr;
    QGroupBox* m_downloadSites = nullptr;
    QCheckBox* m_chkHowToTransfer = nullptr;
    QCheckBox* m_chkDownloadSites = nullptr;
    ClickLabel* m_lblWMDB = nullptr;
    ClickLabel* m_lblOxbel = nullptr;
    QTimer* m_noticeTimer = nullptr;
    MapPreviewLoader* m_preview = nullptr;
    MapSettingsStrip* m_settingsStrip = nullptr;
    QPushButton* m_cmdPictures = nullptr;
    MapPictures* m_pictures = nullptr;
    MapInspector* m_selectedInspector = nullptr;
    MapInspector* m_importInspector = nullptr;
};
