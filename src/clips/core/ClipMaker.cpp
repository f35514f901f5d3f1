// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips/core/ClipMaker.h"

#include "clips/core/CaptureJob.h"
#include "common/core/FileSystem.h"
#include "common/core/PathCase.h"
#include "common/core/PathContainment.h"
#include "common/core/SafeFile.h"
#include "common/core/WindowsPath.h"
#include "installs/core/GameStarter.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QTimer>

ClipMaker::ClipMaker(Launcher& launcher, QObject* parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_lookup(new WindowsPathLookup(this))
{
}

ClipMaker::~ClipMaker()
{
    if (m_cancel)
        *m_cancel = true;
    if (m_thread)
        joinJob();
    else if (!m_pendingFolder.isEmpty())
        FileOps::removeFolderAndFiles(m_pendingFolder);
}

void ClipMaker::setTimeouts(int firstFrameMs, int nextFrameMs, int settleMs)
{
    m_firstFrameMs = firstFrameMs;
    m_nextFrameMs = nextFrameMs;
    m_settleMs = settleMs;
}

QString ClipMaker::markerName()
{
    return QStringLiteral(".quillane-clip");
}

QStringList ClipMaker::gameArguments(const QString& windowsPath, const ClipRequest& request)
{
    return {QStringLiteral("/getvideo"),       windowsPath,
            QString::number(request.fps),      ClipRequest::gameTime(request.from),
            ClipRequest::gameTime(request.to), QString::number(request.width),
            QString::number(request.height),   QStringLiteral("/quiet")};
}

QString ClipMaker::captureFolder(const QString& userFolder, const QString& replayPath)
{
    QString name = QFileInfo(replayPath).fileName();
    if (name.endsWith(QLatin1String(".WAgame"), Qt::CaseInsensitive))
        name.chop(7);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return QString();
    const QString capture = PathCase::resolve(userFolder, QStringLiteral("Capture"));
    if (FileOps::targetIn(capture, name).isEmpty())
        return QString();
    return PathCase::resolve(capture, name);
}

void ClipMaker::failLater(const QString& message)
{
    m_running = false;
    QTimer::singleShot(0, this, [this, message] { Q_EMIT failed(message); });
}

bool ClipMaker::prepareFolder(const QString& folder, QString* error)
{
    const QDir dir(folder);
    if (dir.exists()) {
        const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
        const bool ours = files.contains(markerName());
        if (!files.isEmpty() && !ours && !(m_consent && m_consent(folder, int(files.size())))) {
            *error = QStringLiteral("The clip was not made: the folder %1 holds files of another export.")
                         .arg(QDir::toNativeSeparators(folder));
            return false;
        }
        for (const QString& file : files) {
            if (!FileOps::remove(dir.filePath(file))) {
                *error = QStringLiteral("Cannot empty the folder %1.").arg(QDir::toNativeSeparators(folder));
                return false;
            }
        }
    } else if (!FileOps::makePath(folder)) {
        *error = QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!FileOps::writeReplacing(dir.filePath(markerName()), QByteArray(), error))
        return false;
    return true;
}

void ClipMaker::start(const GameInstall& install, const ClipRequest& request)
{
    if (m_running)
        return;
    m_running = true;
    const QString problem = request.problem();
    if (!problem.isEmpty())
        return failLater(problem);
    if (!QFileInfo(request.replayPath).isFile())
        return failLater(QStringLiteral("The replay %1 does not exist.").arg(request.replayPath));
    const QString folder = captureFolder(install.userFolder, request.replayPath);
    if (folder.isEmpty())
        return failLater(QStringLiteral("The game cannot make frames for a replay named %1.")
                             .arg(QFileInfo(request.replayPath).fileName()));
    QString error;
    if (!prepareFolder(folder, &error))
        return failLater(error);

    const QString prefix =
        install.winePrefix.isEmpty() ? WinePrefix::containing(install.gameFolder) : install.winePrefix;
    m_pendingFolder = folder;
    const int generation = ++m_generation;
    QPointer<ClipMaker> self(this);
    m_lookup->find(request.replayPath, prefix,
                   [self, generation, install, request, folder](const QString& windowsPath) {
                       if (self && self->m_generation == generation && self->m_running)
                           self->launch(install, request, folder, windowsPath);
                   });
}

void ClipMaker::launch(const GameInstall& install, const ClipRequest& request, const QString& folder,
                       const QString& windowsPath)
{
    m_pendingFolder.clear();
    const GameStarter::Plan plan =
        GameStarter(m_launcher).planGame(install, GameStarter::Program::Game, gameArguments(windowsPath, request));
    if (!plan.ready()) {
        FileOps::removeFolderAndFiles(folder);
        return failLater(GameStarter::failureText(plan.problem, GameStarter::fileName(GameStarter::Program::Game)));
    }
    CaptureJob::Setup setup;
    setup.request = request;
    setup.game = plan.request;
    setup.handOff = install.kind == GameInstall::Kind::Steam;
    setup.folder = folder;
    setup.firstFrameMs = m_firstFrameMs;
    setup.nextFrameMs = m_nextFrameMs;
    setup.settleMs = m_settleMs;
    m_cancel = std::make_shared<std::atomic_bool>(false);
    m_job = new CaptureJob(m_launcher, setup, m_cancel);
    m_thread = new QThread;
    m_job->moveToThread(m_thread);
    connect(m_job, &CaptureJob::progress, this,
            [this](int stage, int done, int total) { Q_EMIT progress(Stage(stage), done, total); });
    connect(m_job, &CaptureJob::finished, this, [this](const QString& path) {
        ended();
        Q_EMIT finished(path);
    });
    connect(m_job, &CaptureJob::failed, this, [this](const QString& message) {
        ended();
        Q_EMIT failed(message);
    });
    connect(m_job, &CaptureJob::cancelled, this, [this] {
        ended();
        Q_EMIT cancelled();
    });
    m_thread->start();
    QMetaObject::invokeMethod(m_job, &CaptureJob::run);
}

void ClipMaker::cancel()
{
    if (!m_running)
        return;
    if (m_cancel) {
        *m_cancel = true;
        return;
    }
    // Not started yet: the Windows path is still being looked up.
    m_running = false;
    FileOps::removeFolderAndFiles(m_pendingFolder);
    m_pendingFolder.clear();
    QTimer::singleShot(0, this, [this] { Q_EMIT cancelled(); });
}

void ClipMaker::joinJob()
{
    // The job ends the game and deletes the frames on its own thread, which
    // then stops.
    QThread* thread = m_thread;
    QMetaObject::invokeMethod(m_job, [job = m_job, thread] {
        delete job;
        thread->quit();
    });
    thread->wait();
    delete thread;
    m_job = nullptr;
    m_thread = nullptr;
}

void ClipMaker::ended()
{
    joinJob();
    m_cancel.reset();
    m_running = false;
}
