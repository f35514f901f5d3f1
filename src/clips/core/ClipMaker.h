// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clips/core/ClipRequest.h"
#include "common/core/Launcher.h"
#include "installs/core/GameInstall.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class CaptureJob;
class QThread;
class WindowsPathLookup;

// Makes a clip of a replay: the game, started the way its install needs, is
// asked for the frames of the range (it writes them as PNG files into
// User/Capture/<replay name>/ and quits), and each frame is encoded as soon as
// the game has gone on to the next one, off the calling thread. The capture
// folder is cleared first and its frames are deleted whatever the outcome.
//
// One clip at a time: start(), then progress() until exactly one of
// finished(), failed() or cancelled().
class ClipMaker : public QObject {
    Q_OBJECT
public:
    enum class Stage {
        Frames,   // frames received of frames expected
        Encoding, // after the game: frames encoded of frames received
    };
    Q_ENUM(Stage)

    // Asked before the files of a capture folder that this program did not
    // make are deleted: true to delete them and go on.
    using Consent = std::function<bool(const QString& folder, int files)>;

    explicit ClipMaker(Launcher& launcher, QObject* parent = nullptr);
    ~ClipMaker() override;

    void setConsent(Consent consent) { m_consent = std::move(consent); }
    // How long the game may take for its first frame, and for each next one;
    // and, for a game whose end cannot be seen (started through Steam), how
    // long the last frame must stay the last before it is taken.
    void setTimeouts(int firstFrameMs, int nextFrameMs, int settleMs = 2000);
    // The lookup of the replay's Windows path; tests point it at their own `winepath`.
    WindowsPathLookup& pathLookup() { return *m_lookup; }

    // Starts a clip of `request` with the game of `install`. Problems found at
    // once (the request, the capture folder, the game's start) come as
    // failed() after this returns.
    void start(const GameInstall& install, const ClipRequest& request);
    // Ends the game, drops the clip and deletes the frames; cancelled() follows.
    void cancel();
    bool isRunning() const { return m_running; }

    // The game's arguments for the frames of `request` from the replay `windowsPath`.
    static QStringList gameArguments(const QString& windowsPath, const ClipRequest& request);
    // The folder the game writes the frames of `replayPath` into: an existing
    // one whatever its letter case; "" for a replay name that cannot be one.
    static QString captureFolder(const QString& userFolder, const QString& replayPath);
    // The file in a capture folder that says this program made its files.
    static QString markerName();

Q_SIGNALS:
    void progress(ClipMaker::Stage stage, int done, int total);
    void finished(const QString& path);
    void failed(const QString& message);
    void cancelled();

private:
    void failLater(const QString& message);
    bool prepareFolder(const QString& folder, QString* error);
    void launch(const GameInstall& install, const ClipRequest& request, const QString& folder,
                const QString& windowsPath);
    void ended();
    void joinJob();

    Launcher& m_launcher;
    WindowsPathLookup* m_lookup;
    Consent m_consent;
    int m_firstFrameMs = 60000;
    int m_nextFrameMs = 30000;
    int m_settleMs = 2000;
    bool m_running = false;
    int m_generation = 0;
    QString m_pendingFolder; // prepared, while the game is not started yet
    std::shared_ptr<std::atomic_bool> m_cancel;
    QThread* m_thread = nullptr;
    CaptureJob* m_job = nullptr;
};
