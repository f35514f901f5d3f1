// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "installs/core/GameInstall.h"

#include <QList>
#include <QWidget>

class Prompter;
class QLabel;
class QListWidget;
class QPushButton;

// The small window that asks which copy of the game to open: one row per copy
// found (the kind in words and its User folder), then "Other folder…", which
// asks for a folder through the Prompter. With no copy found it says where it
// looked. Enter or a double click takes the selected row; Escape, Cancel or
// closing the window gives up.
class InstallChooser : public QWidget {
    Q_OBJECT
public:
    // `placesLooked` is shown when `installs` is empty; `home` is shortened to
    // "~" in the kinds' words; `current` (the copy open now, if any) is listed
    // marked and selected, and the folder picker starts in its game folder.
    InstallChooser(const QList<GameInstall>& installs, const QString& placesLooked, const QString& home,
                   Prompter& prompter, const GameInstall& current = GameInstall(), QWidget* parent = nullptr);

    static QString otherFolderCaption();
    // Follows the kind of the copy that is open now.
    static QString openNowMark();

Q_SIGNALS:
    void chosen(const GameInstall& install);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void takeSelected();
    void chooseOtherFolder();
    void finish(const GameInstall& install);

    QList<GameInstall> m_installs;
    QString m_home;
    QString m_startFolder;
    Prompter& m_prompter;
    bool m_done = false;
    QLabel* m_heading;
    QListWidget* m_list;
    QPushButton* m_open;
    QPushButton* m_cancel;
};
