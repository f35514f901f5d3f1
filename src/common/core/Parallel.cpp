// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/Parallel.h"

#include <QThread>

#include <system_error>
#include <thread>

namespace Parallel {

void both(const std::function<void()>& here, const std::function<void()>& beside)
{
    std::thread helper;
    if (QThread::idealThreadCount() > 1) {
        try {
            helper = std::thread(beside);
        } catch (const std::system_error&) {
            // No second thread to be had: this one does both.
        }
    }
    here();
    if (helper.joinable())
        helper.join();
    else
        beside();
}

} // namespace Parallel
