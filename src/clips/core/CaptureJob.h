// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clips/core/ClipEncoder.h"
#include "clips/core/ClipRequest.h"
#include "common/core/Launcher.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <atomic>
#include <memory>

class QProcess;
class QTimer;

// The part of a clip that runs on its own thread: starts the game, watches
// the capture folder and encodes each frame once the game has gone on to the
// next one (or ended), so that a frame is never read half-written. Ends with
// exactly one of finished(), failed() or cancelled(), after the game has been
// ended and every frame deleted.
class CaptureJob : public QObject {
    Q_OBJECT
public:
    struct Setup {
        ClipRequest request;
        LaunchRequest game;
        // The started program only hands the start on (Steam): its end says
        // nothing about the game's.
        bool handOff = false;
        QString folder; // the capture folder
        int firstFrameMs = 60000;
        int nextFrameMs = 30000;
        // How long the last expected frame must stay alone before it is
        // taken, when the game's end cannot be seen.
        int settleMs = 2000;
    };

    CaptureJob(Launcher& launcher, Setup setup, std::shared_ptr<std::atomic_bool> cancel);
    ~CaptureJob() override;

    // Runs on the job's thread.
    void run();

    static QString frameName(int index);

Q_SIGNALS:
    void progress(int stage, int done, int total);
    void finished(const QString& path);
    void failed(const QString& message);
    void cancelled();

private:
    void tick();
    bool takeFrame(int index);
    void finishClip();
    void stop(); // ends the game and deletes the frames
    // The processes of a game Steam started for this clip (on Linux).
    QList<qint64> handedOffGames() const;
    void endHandedOffGame();
    void fail(const QString& message);
    bool exists(int index) const;

    Launcher& m_launcher;
    Setup m_setup;
    std::shared_ptr<std::atomic_bool> m_cancel;
    ClipEncoder m_encoder;
    QProcess* m_game = nullptr;
    QTimer* m_poll = nullptr;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceFrame;  // since a new frame was last seen
    QElapsedTimer m_sinceSearch; // since the game Steam started was last looked for
    bool m_gameEnded = false;
    bool m_done = false;
    bool m_made = false;
    int m_next = 0; // the next frame to encode
    int m_seen = 0; // frames seen in the folder
    int m_expected = 1;
};
