// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Splitting one piece of work (already off the GUI thread) across two cores.
namespace Parallel {

// Runs `beside` on a helper thread while this thread runs `here`, and
// returns once both have ended. With one core, or no thread to be had, this
// thread runs both in turn. The two must not touch the same data unguarded.
void both(const std::function<void()>& here, const std::function<void()>& beside);

} // namespace Parallel
