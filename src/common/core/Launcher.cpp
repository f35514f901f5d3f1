#include "common/core/Launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ProcessLauncher::ProcessLauncher()
    : m_locateWine([] { return QStandardPaths::findExecutable(QStringLiteral("wine")); })
{
}

Launcher::Result ProcessLauncher::start(const QString& programFile)
{
    const QFileInfo info(programFile);
    if (programFile.isEmpty() || !info.isFile())
        return Result::NotFound;

    QString program = info.absoluteFilePath();
    QStringList arguments;
#ifndef Q_OS_WIN
    if (info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0) {
        const QString wine = m_locateWine ? m_locateWine() : QString();
        if (wine.isEmpty())
            return Result::NoWine;
        arguments << program;
        program = wine;
    }
#endif
    // An empty working folder lets the new process inherit ours, as a plain
    // process start does.
    return QProcess::startDetached(program, arguments, QString()) ? Result::Started : Result::Failed;
}
