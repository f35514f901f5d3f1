#include "common/core/Launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

Launcher::Result ProcessLauncher::start(const LaunchRequest& request)
{
    if (request.program.isEmpty())
        return Result::NotFound;
    QString program = request.program;
    if (!program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char('\\'))) {
        program = findProgram(program);
        if (program.isEmpty())
            return Result::NotFound;
    }
    const QFileInfo info(program);
    if (!info.isFile())
        return Result::NotFound;

    QProcess process;
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
    return process.startDetached() ? Result::Started : Result::Failed;
}

QString ProcessLauncher::findProgram(const QString& name) const
{
    return QStandardPaths::findExecutable(name);
}
