// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The map manager's settings in the per-user settings store. Only this class
// touches that store for the map manager.
class MapsSettings {
public:
    // Whether the maps are shown as pictures rather than as a list of names;
    // false when nothing is stored.
    static bool picturesView();
    static void setPicturesView(bool pictures);
};
