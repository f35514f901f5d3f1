// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The games window's settings in the per-user settings store. Only this class
// touches that store for the games manager.
class GamesSettings {
public:
    // The format of the Date column (0-29, see GameDateFormatter); 0 when none
    // is stored or the stored value is not one of the formats.
    static int dateFormat();
    static void setDateFormat(int formatIndex);
};
