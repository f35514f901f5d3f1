// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Timer intervals in milliseconds. The program runs with these values; tests
// shorten the long ones so that nothing waits for seconds.
struct Intervals {
    int splash = 3000;           // splash window until the main menu comes
    int shutdownEnd = 1000;      // "Good Bye...." until the process ends
    int reopenGames = 1;         // loading window: reopen the games window
    int unloadPrograms = 300;    // loading window: unload the programs window
    int reopenPrograms = 2;      // loading window: recreate the programs window
    int deferredFill = 1;        // a window's deferred first fill
    int tempDeleteRetry = 20000; // retry deleting the viewed game's temporary copy
    int notice = 3000;           // "Transfer Complete!" notice
    int statusTick = 200;        // recorder status poll
    int logWait = 60000;         // how long the game is given to write a replay's log
    int logPoll = 500;           // how often the replay's folder is looked at meanwhile
};
