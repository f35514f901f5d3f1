// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips/core/CaptureJob.h"

#include "common/core/FileSystem.h"
#include "common/core/PathContainment.h"
#include "common/core/PlatformFiles.h"
#include "common/core/SafeFile.h"
#include "installs/core/GameStarter.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

constexpr int kPollMs = 40;

QString seconds(int milliseconds)
{
    return QString::number(milliseconds / 1000.0);
}

} // namespace

CaptureJob::CaptureJob(Launcher& launcher, Setup setup, std::shared_ptr<std::atomic_bool> cancel)
    : m_launcher(launcher)
    , m_setup(std::move(setup))
    , m_cancel(std::move(cancel))
    , m_expected(m_setup.request.expectedFrames())
{
}

CaptureJob::~CaptureJob()
{
    stop();
}

QString CaptureJob::frameName(int index)
{
    return QStringLiteral("video_%1.png").arg(index, 6, 10, QLatin1Char('0'));
}

bool CaptureJob::exists(int index) const
{
    return QFileInfo(m_setup.folder + QLatin1Char('/') + frameName(index)).isFile();
}

void CaptureJob::run()
{
    const ClipRequest& request = m_setup.request;
    if (!m_encoder.open(request.outPath, *ClipRequest::formatFor(request.outPath), request.width, request.height,
                        request.fps)) {
        fail(m_encoder.errorString() + QLatin1Char('.'));
        return;
    }
    Launcher::Result result = Launcher::Result::Failed;
    if (m_setup.handOff) {
        // Steam's command only passes the start on (or starts Steam itself,
        // which must not be ended with the clip).
        result = m_launcher.start(m_setup.game);
    } else {
        m_game = m_launcher.startWatched(m_setup.game, this, &result);
        if (m_game)
            connect(m_game, &QProcess::finished, this, [this] { m_gameEnded = true; });
    }
    if (result != Launcher::Result::Started) {
        fail(GameStarter::failureText(result, GameStarter::fileName(GameStarter::Program::Game)));
        return;
    }
    m_sinceStart.start();
    m_sinceFrame.start();
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &CaptureJob::tick);
    m_poll->start(kPollMs);
    Q_EMIT progress(0, 0, m_expected);
}

void CaptureJob::tick()
{
    if (m_done)
        return;
    if (*m_cancel) {
        stop();
        Q_EMIT cancelled();
        return;
    }
    // Seen before the look for new frames: a frame that appears later is
    // taken on the next tick, with the game's end known for sure.
    const bool ended = m_gameEnded;
    const int seenBefore = m_seen;
    while (exists(m_seen))
        ++m_seen;
    if (m_seen > seenBefore) {
        m_sinceFrame.start();
        Q_EMIT progress(0, m_seen, qMax(m_expected, m_seen));
    }
    // A game Steam started has ended once its frames have stopped coming and
    // it has made them all, or it can no longer be found.
    bool settled = false;
    if (m_setup.handOff && m_seen > 0 && m_sinceFrame.hasExpired(m_setup.settleMs) &&
        (!m_sinceSearch.isValid() || m_sinceSearch.hasExpired(m_setup.settleMs))) {
        m_sinceSearch.start();
        settled = m_seen >= m_expected || handedOffGames().isEmpty();
        // What it wrote before it went.
        while (settled && exists(m_seen))
            ++m_seen;
    }
    const bool last = ended || settled;
    // Checked right after a look at the folder, so that the time spent
    // encoding never counts as the game's.
    if (!last && m_seen == 0 && m_sinceStart.hasExpired(m_setup.firstFrameMs)) {
        fail(QStringLiteral("The game made no frame within %1 seconds.").arg(seconds(m_setup.firstFrameMs)));
        return;
    }
    if (!last && m_seen > 0 && m_sinceFrame.hasExpired(m_setup.nextFrameMs)) {
        fail(QStringLiteral("The game stopped making frames: no new frame for %1 seconds after frame %2 of %3.")
                 .arg(seconds(m_setup.nextFrameMs))
                 .arg(m_seen)
                 .arg(m_expected));
        return;
    }
    // A frame is whole once the game has started the next one or has ended.
    const int ready = last ? m_seen : m_seen - 1;
    if (last && m_next < ready)
        Q_EMIT progress(1, m_next, ready);
    const int encodedBefore = m_next;
    while (m_next < ready) {
        if (*m_cancel)
            return tick();
        if (!takeFrame(m_next))
            return;
        ++m_next;
        if (last)
            Q_EMIT progress(1, m_next, ready);
    }
    // The game's silence is counted from here on: while frames were being
    // encoded, its end may not have been heard yet.
    if (m_next > encodedBefore && !last)
        m_sinceFrame.start();
    if (last) {
        if (m_seen == 0)
            fail(QStringLiteral("The game made no frames: it ended without writing any. The replay may be shorter "
                                "than the start of the clip, or the game could not play it."));
        else
            finishClip();
        return;
    }
}

bool CaptureJob::takeFrame(int index)
{
    const QString path = m_setup.folder + QLatin1Char('/') + frameName(index);
    // Only a plain file (a link is followed) is read, and only up to the cap.
    QFile file(path);
    QByteArray png;
    if (QFileInfo(path).isFile() && file.size() <= ClipEncoder::maxPngBytes && file.open(QIODevice::ReadOnly))
        png = file.read(ClipEncoder::maxPngBytes + 1);
    file.close();
    if (!m_encoder.addPng(png)) {
        fail(m_encoder.errorString() + QLatin1Char('.'));
        return false;
    }
    FileOps::remove(path);
    return true;
}

void CaptureJob::finishClip()
{
    if (!m_encoder.finish()) {
        fail(m_encoder.errorString() + QLatin1Char('.'));
        return;
    }
    m_made = true;
    stop();
    Q_EMIT finished(m_setup.request.outPath);
}

void CaptureJob::fail(const QString& message)
{
    stop();
    Q_EMIT failed(message);
}

void CaptureJob::stop()
{
    if (m_done)
        return;
    m_done = true;
    delete m_poll;
    m_poll = nullptr;
    if (m_game) {
        m_game->disconnect(this);
        if (m_game->state() != QProcess::NotRunning) {
            m_game->kill();
            m_game->waitForFinished(5000);
        }
        delete m_game;
        m_game = nullptr;
    }
    if (m_setup.handOff && !m_made)
        endHandedOffGame();
    m_encoder.cancel();
    FileOps::removeFolderAndFiles(m_setup.folder);
}

QList<qint64> CaptureJob::handedOffGames() const
{
    QList<qint64> games;
    // The game Steam started is found by its command line: the frame export
    // of this very replay, but not Steam's own command that passed it on.
    const int at = int(m_setup.game.arguments.indexOf(QStringLiteral("/getvideo")));
    if (at < 0 || at + 1 >= m_setup.game.arguments.size())
        return games;
    const QByteArray replay = m_setup.game.arguments.at(at + 1).toLocal8Bit();
    // Wine may give the Windows command line as one argument or as many.
    for (const auto& [pid, command] : PlatformFiles::processCommandLines()) {
        if (command.contains("/getvideo") && command.contains(replay) && !command.contains("-applaunch"))
            games << pid;
    }
    return games;
}

void CaptureJob::endHandedOffGame()
{
    for (const qint64 pid : handedOffGames())
        PlatformFiles::killProcess(pid);
}
