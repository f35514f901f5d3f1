// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/Launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// Sets `process` up for `request`; false when its program is not found.
bool prepare(QProcess& process, const LaunchRequest& request, const Launcher& launcher)
{
    if (request.program.isEmpty())
        return false;
    QString program = request.program;
    if (!program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char('\\'))) {
        program = launcher.findProgram(program);
        if (program.isEmpty())
            return false;
    }
    const QFileInfo info(program);
    if (!info.isFile())
        return false;

    process.setProgram(info.absoluteFilePath());
    process.setArguments(request.arguments);
    // An empty working folder lets the new process inherit ours, as a plain
    // process start does.
    process.setWorkingDirectory(request.workingFolder);
    if (!request.environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (auto it = request.environment.cbegin(); it != request.environment.cend(); ++it)
            environment.insert(it.key(), it.value());
        process.setProcessEnvironment(environment);
    }
    return true;
}

} // namespace

QProcess* Launcher::startWatched(const LaunchRequest& request, QObject* parent, Result* result)
{
    auto* process = new QProcess(parent);
    Result outcome = Result::Started;
    if (!prepare(*process, request, *this)) {
        outcome = Result::NotFound;
    } else {
        // Its output is not read: it goes where ours goes.
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start();
        if (!process->waitForStarted())
            outcome = Result::Failed;
    }
    if (result)
        *result = outcome;
    if (outcome != Result::Started) {
        delete process;
        return nullptr;
    }
    return process;
}

Launcher::Result ProcessLauncher::start(const LaunchRequest& request)
{
    QProcess process;
    if (!prepare(process, request, *this))
        return Result::NotFound;
    return process.startDetached() ? Result::Started : Result::Failed;
}

QString ProcessLauncher::findProgram(const QString& name) const
{
    return QStandardPaths::findExecutable(name);
}
