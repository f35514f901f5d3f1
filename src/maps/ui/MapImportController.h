// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "maps/core/MapCheck.h"
#include "maps/core/MapDrag.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class LatestOnly;
class MapFolderList;
class MapInspector;
class Prompter;
class QWidget;

// What drops on the map manager's lists do: files from outside are copied
// into the map folder or the highlighted transfer folder and then checked
// against the game's rules (the findings in one message); a map dragged onto
// the transfer station moves into the highlighted folder.
//
// The files of a drop are copied off the window's thread, with the count of
// maps done shown and Cancel, which keeps the files copied so far and leaves
// the rest; a drop made meanwhile waits for the one before it.
class MapImportController : public QObject {
    Q_OBJECT
public:
    // `window` shows the progress of the copying.
    MapImportController(Prompter& prompter, std::function<QString()> mapsRoot, QWidget* window);

    // A drop on the map list, whose folder is `mapFolder`.
    void droppedOnMaps(const MapDrag::Drag& drag, const QString& mapFolder);
    // A drop on the transfer station's list.
    void droppedOnTransfer(const MapDrag::Drag& drag, const MapFolderList& transfer);
    // True while the files of a drop are being copied or its maps checked.
    bool busy() const;

    static QString highlightFolderMessage();
    static QString selectFolderMessage();

Q_SIGNALS:
    // Files came into or left the maps folders.
    void mapsChanged();
    // A map was moved to the transfer folder.
    void mapMoved();

private:
    struct Drop {
        QStringList files;
        QString folder;
    };
    void importInto(const QStringList& files, const QString& folder);
    void importNext();
    void tellProblems(const QStringList& files, const QList<MapCheck::Report>& reports);
    void warn(const QString& text);

    Prompter& m_prompter;
    std::function<QString()> m_mapsRoot;
    QWidget* m_window;
    MapInspector* m_inspector;
    LatestOnly* m_copying;
    QList<Drop> m_drops; // waiting to be copied
    bool m_importing = false;
};
