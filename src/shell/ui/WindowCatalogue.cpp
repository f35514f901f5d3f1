#include "shell/ui/WindowCatalogue.h"

#include "common/ui/WindowNames.h"
#include "shell/ui/Application.h"
#include "sounds/ui/SoundBankWindow.h"

void registerManagerWindows(Application& app)
{
    // A main menu entry whose window is not registered does nothing.
    app.registerWindow(WindowNames::Sounds, [](AppContext& c) { return new SoundBankWindow(c); });
}
