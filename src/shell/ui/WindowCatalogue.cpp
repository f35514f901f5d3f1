// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/WindowCatalogue.h"

#include "common/ui/WindowNames.h"
#include "games/ui/GameTransferWindow.h"
#include "games/ui/GamesWindow.h"
#include "maps/ui/MapsWindow.h"
#include "programs/ui/ProgramsWindow.h"
#include "schemes/ui/SchemesWindow.h"
#include "shell/ui/Application.h"
#include "sounds/ui/SoundBankWindow.h"

void registerManagerWindows(Application& app)
{
    // A main menu entry whose window is not registered does nothing.
    app.registerWindow(WindowNames::Games, [](AppContext& c) { return new GamesWindow(c); });
    app.registerWindow(WindowNames::GamesTransfer, [](AppContext& c) { return new GameTransferWindow(c); });
    app.registerWindow(WindowNames::Maps, [](AppContext& c) { return new MapsWindow(c); });

    // The programs catalogue: "My Proggies" opens the application's catalogue
    // first, and stays in the menu when it cannot.
    app.registerWindow(
        WindowNames::Programs, [&app](AppContext& c) { return new ProgramsWindow(c, app.catalogue()); },
        [&app](AppContext& c) { return prepareProgramsCatalogue(c, app.catalogue()); });

    // The sound bank editor.
    app.registerWindow(WindowNames::Sounds, [&app](AppContext& c) { return new SoundBankWindow(c, app.soundKit()); });

    // The game schemes.
    app.registerWindow(WindowNames::Schemes, [](AppContext& c) { return new SchemesWindow(c); });
}
