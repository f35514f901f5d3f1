// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clips/core/ClipRequest.h"
#include "installs/core/GameInstall.h"

#include <QDialog>
#include <QString>
#include <optional>
#include <utility>

class AppContext;
class ClipMaker;
class Desktop;
class GameLogLoader;
class Launcher;
class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
struct GameLog;
struct GameLogTurn;

// Make Clip: a time range of one replay made into an MP4, WebM or GIF by the
// game of `install`. The dialog is not modal: the clip is made while the
// window behind it stays usable, with a progress bar and Cancel.
class ClipDialog : public QDialog {
    Q_OBJECT
public:
    ClipDialog(Prompter& prompter, Desktop& desktop, Launcher& launcher, const GameInstall& install,
               const QString& replayPath, QWidget* parent = nullptr);
    ~ClipDialog() override;

    // The dialog of `parent` for `replayPath`, shown: the one already open
    // when it is making a clip (any replay), else a new one. No replay: the
    // user is told to pick one, and nullptr.
    static ClipDialog* open(AppContext& context, const QString& replayPath, QWidget* parent);

    ClipMaker& maker() { return *m_maker; }
    QString replayPath() const { return m_replayPath; }
    bool isMaking() const;

public Q_SLOTS:
    // Sets the range to this turn of the replay's log.
    void useTurn(const GameLogTurn& turn);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void logLoaded(const GameLog& log);
    void noTurns(const QString& why);
    void bestTurnClick();
    void makeClick();
    void cancelClick();
    void setRange(qint64 from, qint64 to);
    // The request the fields describe, without its output file; "" problem when it can be made.
    QString readFields(ClipRequest& request) const;
    void running(bool on);
    void ended(const QString& status);

    Prompter& m_prompter;
    Desktop& m_desktop;
    GameInstall m_install;
    QString m_replayPath;
    ClipMaker* m_maker;
    GameLogLoader* m_loader;
    std::optional<std::pair<qint64, qint64>> m_best;
    QString m_madePath;
    bool m_closeWhenDone = false;

    QLineEdit* m_start;
    QLineEdit* m_end;
    QPushButton* m_bestTurn;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QSpinBox* m_fps;
    QComboBox* m_format;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_make;
    QPushButton* m_cancel;
    QPushButton* m_showInFolder;
};
