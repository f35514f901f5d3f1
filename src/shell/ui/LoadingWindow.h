// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/AppWindow.h"

class QLabel;
class QTimer;

// The small window shown for a moment while the games window or the programs
// window is rebuilt from scratch (a hand-over).
class LoadingWindow : public AppWindow {
    Q_OBJECT
public:
    explicit LoadingWindow(AppContext& context);

    void formLoad() override;

    // Brings the window `windowName` back afresh. The games window is
    // reopened a moment later (its caller closes it); any other window is
    // unloaded, then created and shown anew.
    void startReload(const QString& windowName);
    bool reloadPending(const QString& windowName) const;

protected:
    bool formUnload() override;

private:
    void reopenTimeout();
    void unloadTimeout();
    void showAfreshTimeout();

    QLabel* m_armyPicture;
    // Reopening: one tick shows the window again.
    QTimer* m_reopenTimer;
    QString m_reopenWindow;
    // Rebuilding: the first tick unloads the window, the second shows it anew.
    QTimer* m_unloadTimer;
    QTimer* m_showAfreshTimer;
    QString m_rebuildWindow;
};
