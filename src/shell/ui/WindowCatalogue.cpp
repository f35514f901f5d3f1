#include "shell/ui/WindowCatalogue.h"

#include "common/ui/WindowNames.h"
#include "games/ui/GameTransferWindow.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/Application.h"

void registerManagerWindows(Application& app)
{
    // A main menu entry whose window is not registered does nothing.
    app.registerWindow(WindowNames::Games, [](AppContext& c) { return new GamesWindow(c); });
    app.registerWindow(WindowNames::GamesTransfer, [](AppContext& c) { return new GameTransferWindow(c); });
}
