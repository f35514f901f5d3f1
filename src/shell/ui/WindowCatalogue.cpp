#include "shell/ui/WindowCatalogue.h"

#include "common/ui/WindowNames.h"
#include "maps/ui/MapsWindow.h"
#include "shell/ui/Application.h"

void registerManagerWindows(Application& app)
{
    // A main menu entry whose window is not registered does nothing.
    app.registerWindow(WindowNames::Maps, [](AppContext& c) { return new MapsWindow(c); });
}
