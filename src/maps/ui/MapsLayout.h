// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Twips.h"

#include <QRect>
#include <QSize>

// Where the window's controls lie, in twips as the form was drawn unless
// said otherwise. The two frames at the bottom and the height of the three
// lists follow the window's height (resizeEvent()).
namespace MapsLayout {
using Twips::px;
using Twips::rect;

constexpr QSize startSize(px(11655), px(7890));

// The map's name over its preview.
constexpr QRect mapName = rect(0, 0, 11655, 375);
constexpr QRect preview = rect(0, 360, 11655, 3975);

// The captions over the lists; "Transfer Complete!" covers the transfer
// station's while it shows. The folder viewed may take the whole width of
// the map list for its name. The Pictures button sits over the army picture,
// whose room the pictures take, clear of every caption.
constexpr QRect foldersCaption = rect(0, 4440, 1695, 255);
constexpr QRect viewingCaption = rect(1920, 4440, 3495, 255);
constexpr QRect transferCaption = rect(9600, 4440, 1935, 255);
constexpr QRect transferComplete = transferCaption;
constexpr QRect picturesButton = rect(5520, 4425, 1215, 270);

// The folders, the maps, the army picture (the help text over part of it)
// and the transfer station.
constexpr QRect folderPick = rect(0, 4680, 1935, 2175);
constexpr QRect mapList = rect(1920, 4680, 3495, 2175);
constexpr QRect army = rect(5520, 4680, 3930, 2955);
constexpr QRect transferHelp = rect(7680, 4680, 1935, 2415);
constexpr QRect transferList = rect(9600, 4680, 1935, 2175);

// The folder and map buttons; the buttons in pixels within their frame.
constexpr QRect mapButtons = rect(0, 6960, 4935, 735);
constexpr QRect newFolderButton(4, 3, 158, 21);
constexpr QRect deleteFolderButton(4, 25, 158, 21);
constexpr QRect renameMapButton(167, 3, 158, 21);
constexpr QRect deleteMapButton(167, 25, 158, 21);

// The download sites (over the army picture when shown), their links in
// pixels across the frame.
constexpr QRect downloadSites = rect(5520, 6840, 4095, 855);
constexpr QRect siteLink(int top)
{
    return QRect(8, top, downloadSites.width() - 16, 16);
}
constexpr QRect mapDatabaseLink = siteLink(18);
constexpr QRect mapMakingLink = siteLink(36);

// The check boxes that show the help text and the sites, in pixels within
// their frame.
constexpr QRect helpChoices = rect(9600, 6840, 1935, 975);
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
} // namespace MapsLayout
