#include "shell/ui/WindowCatalogue.h"

#include "common/ui/WindowNames.h"
#include "shell/ui/Application.h"

void registerManagerWindows(Application& app)
{
    // A main menu entry whose window is not registered does nothing.
    (void)app;
}
