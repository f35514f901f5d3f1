// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Application;

// Registers the windows of the managers (games, maps, programs, sounds, schemes) with
// the application, each under its window name, with the preparation its main
// menu entry runs before opening it.
void registerManagerWindows(Application& app);
