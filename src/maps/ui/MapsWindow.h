// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/UnshownNames.h"
#include "common/ui/AppWindow.h"
#include "maps/core/MapDrag.h"

class MapFolderList;
class MapHelpPanel;
class MapImportController;
class MapListWidget;
class MapPictures;
class MapPreviewPane;
class QGroupBox;
class QLabel;
class QListWidget;
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
    QString currentMapFolder() const;
    QString currentTransferFolder() const;
    // True while the preview of the selected map is being drawn, its settings
    // read, or the files of a drop copied or its maps checked.
    bool previewPending() const;
    // Thumbnails of the shown folder not yet in the pictures view.
    int thumbnailsPending() const;

protected:
    bool formUnload() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    QString mapsRoot() const;
    QString mapFolderPath() const;

    void fillTransferFolders();
    void mapSelected();

    void newFolder();
    void deleteFolder();
    // The selected map's file name; "" after telling the user that none is.
    QString selectedMap();
    void deleteMap();
    void renameMap();
    void showTransferComplete();
    void warn(const QString& text);

    UnshownNamesNotice m_unshown; // names of listed folders that cannot be shown

    MapPreviewPane* m_previewPane = nullptr;
    QLabel* m_foldersCaption = nullptr;
    MapFolderList* m_mapSide = nullptr;
    QLabel* m_lblViewing = nullptr;
    MapListWidget* m_mapList = nullptr;
    QLabel* m_imgArmy = nullptr;
    QLabel* m_transferCaption = nullptr;
    QLabel* m_lblTransferComplete = nullptr;
    MapListWidget* m_lstFolderTransfer = nullptr;
    MapFolderList* m_transferSide = nullptr;
    QGroupBox* m_mapButtons = nullptr;
    MapHelpPanel* m_help = nullptr;
    QTimer* m_noticeTimer = nullptr;
    QPushButton* m_cmdPictures = nullptr;
    MapPictures* m_pictures = nullptr;
    MapImportController* m_import = nullptr;
};
