// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

// Services of the desktop: web addresses and folder windows.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens `folder` in the desktop's file manager.
    virtual bool openFolder(const QString& folder) = 0;
};

class SystemDesktop : public Desktop {
public:
    bool openUrl(const QUrl& url) override;
    bool openFolder(const QString& folder) override;
};
