// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/WindowsPath.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace WindowsPath {

QString zDrive(const QString& path)
{
    if (looksLikeWindowsPath(path))
        return path;
    QString windows = QDir::cleanPath(path);
    windows.replace(u'/', u'\\');
    if (looksLikeWindowsPath(windows))
        return windows;
    return QStringLiteral("Z:") + (windows.startsWith(u'\\') ? windows : u'\\' + windows);
}

bool looksLikeWindowsPath(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^(?:[A-Za-z]:\\\\|\\\\\\\\[^\\\\])"));
    return shape.match(text).hasMatch() && !text.contains(u'\n');
}

} // namespace WindowsPath

WindowsPathLookup::WindowsPathLookup(QObject* parent)
    : QObject(parent)
    , m_locate([] { return QStandardPaths::findExecutable(QStringLiteral("winepath")); })
{
}

void WindowsPathLookup::find(const QString& path, const QString& winePrefix, std::function<void(const QString&)> done)
{
#ifdef Q_OS_WIN
    done(QDir::toNativeSeparators(path));
    return;
#endif
    const QString winepath = m_locate ? m_locate() : QString();
    if (winepath.isEmpty()) {
        done(WindowsPath::zDrive(path));
        return;
    }
    auto* process = new QProcess(this);
    auto* timer = new QTimer(process);
    auto answered = std::make_shared<bool>(false);
    // Answers once, with winepath's answer when it is a Windows path.
    auto answer = [process, path, done, answered](bool finished) {
        if (*answered)
            return;
        *answered = true;
        QString windows;
        if (finished && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0)
            windows = QString::fromLocal8Bit(process->readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
        if (!WindowsPath::looksLikeWindowsPath(windows))
            windows = WindowsPath::zDrive(path);
        process->disconnect();
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(1000);
        }
        process->deleteLater();
        done(windows);
    };
    connect(process, &QProcess::finished, this, [answer] { answer(true); });
    connect(process, &QProcess::errorOccurred, this, [answer](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            answer(false);
    });
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [answer] { answer(false); });

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!winePrefix.isEmpty())
        env.insert(QStringLiteral("WINEPREFIX"), winePrefix);
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    timer->start(m_timeoutMs);
    process->start(winepath, {QStringLiteral("-w"), path});
}
