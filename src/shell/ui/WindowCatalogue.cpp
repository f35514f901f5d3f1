#include "shell/ui/WindowCatalogue.h"

#include "common/ui/WindowNames.h"
#include "maps/ui/MapsWindow.h"
#include "programs/ui/ProgramsDataWindow.h"
#include "programs/ui/ProgramsWindow.h"
#include "shell/ui/Application.h"

void registerManagerWindows(Application& app)
{
    // A main menu entry whose window is not registered does nothing.
    app.registerWindow(WindowNames::Maps, [](AppContext& c) { return new MapsWindow(c); });

    // The programs catalogue: "My Proggies" opens the catalogue through the
    // hidden data window first, and stays in the menu when it cannot.
    app.registerWindow(WindowNames::ProgramsData, [](AppContext& c) { return new ProgramsDataWindow(c); });
    app.registerWindow(
        WindowNames::Programs, [](AppContext& c) { return new ProgramsWindow(c); }, prepareProgramsCatalogue);
}
