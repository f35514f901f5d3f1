// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Desktop.h"

#include <QStringList>
#include <QUrl>

// Records the addresses and folders the program asks the desktop to open.
class FakeDesktop : public Desktop {
public:
    bool openUrl(const QUrl& url) override
    {
        urls << url;
        return true;
    }
    bool openFolder(const QString& folder) override
    {
        folders << folder;
        return true;
    }

    QList<QUrl> urls;
    QStringList folders;
};
