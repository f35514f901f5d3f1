// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replays/core/ReplayReader.h"

#include <QImage>
#include <QWidget>

class AppContext;
class LatestOnly;
class QMenu;
class Prompter;
class QLabel;
class QPushButton;

// What the selected replay holds in its first chunks: the map it was played
// on (the colour map as a small picture, other maps in words), when it
// started and the scheme's main settings. The replay is read off the GUI
// thread; selecting another game supersedes the reading. Its map and scheme
// can be saved among the user's own maps and schemes.
class GameReplayPanel : public QWidget {
    Q_OBJECT
public:
    explicit GameReplayPanel(Prompter& prompter, QWidget* parent = nullptr);

    // Where saved maps and schemes go: SavedLevels and Schemes.
    void setFolders(const QString& mapsFolder, const QString& schemesFolder);
    // Saves into the user's folders of `context`, adds "Save Map to My Maps"
    // and "Save Scheme to My Schemes" to `fileMenu`, and shows a stored
    // scheme in the schemes window.
    void attach(AppContext& context, QMenu* fileMenu);
    // The replay to show; "" for none.
    void showReplay(const QString& path);

    bool canSaveMap() const;
    bool canSaveScheme() const;
    void saveMap();
    void saveScheme();

Q_SIGNALS:
    // "Scheme…" was pressed: show the stored scheme under `title`.
    void schemeRequested(const QByteArray& scheme, const QString& title);
    // The user chose to let the game itself write the map into SavedLevels.
    void gameMapRequested();
    // What can be saved changed.
    void savingChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Read {
        ReplayInfo info;
        QString error;
        QImage thumbnail;
    };
    void showRead(const Read& read);
    void updateButtons();
    void save(const QString& folder, const QString& fileName, const QByteArray& bytes, const QString& title);

    Prompter& m_prompter;
    LatestOnly* m_reader;
    QString m_mapsFolder;
    QString m_schemesFolder;
    QString m_path;
    bool m_known = false;
    ReplayInfo m_info;

    QLabel* m_map;
    QLabel* m_facts;
    QPushButton* m_scheme;
    QPushButton* m_saveMap;
    QPushButton* m_saveScheme;
};
