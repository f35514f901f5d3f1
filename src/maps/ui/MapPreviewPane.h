// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "maps/core/MapCheck.h"

#include <QImage>
#include <QObject>
#include <QString>

class MapInspector;
class MapPreviewLoader;
class MapSettingsStrip;
class QLabel;
class QWidget;
class UserPaths;

// The selected map's name over its preview, drawn off the window's thread,
// with the strip of its settings from the map check. A map that cannot be
// drawn shows the black picture and "No Map Selected!"; one refused as too
// large to preview shows the black picture and says so instead.
class MapPreviewPane : public QObject {
    Q_OBJECT
public:
    MapPreviewPane(const UserPaths& paths, QWidget* window);

    // Shows the map `file` under `displayName`.
    void showMap(const QString& file, const QString& displayName);
    // Shows that no map is selected.
    void showNone();
    // Stops drawing and checking.
    void cancel();
    // True while the preview is being drawn or the map checked.
    bool busy() const;

private:
    void previewFinished(const QString& file, const QImage& picture, bool tooLarge);
    void showNoMap();
    void showSettings(const QStringList& files, const QList<MapCheck::Report>& reports);

    const UserPaths& m_paths;
    QLabel* m_lblMapName;
    QLabel* m_picPreview;
    MapSettingsStrip* m_settingsStrip;
    MapPreviewLoader* m_preview;
    MapInspector* m_inspector;
    QString m_file;
};
