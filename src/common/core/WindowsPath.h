// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

// How the game, a Windows program, names a file of this system.
namespace WindowsPath {

// Wine's Z: drive, which stands for the root of the file system:
// "/home/a/b.WAgame" -> "Z:\home\a\b.WAgame". A path that is a Windows path
// already only gets backslashes.
QString zDrive(const QString& path);

// True for "C:\..." and "\\server\...": what `winepath -w` answers.
bool looksLikeWindowsPath(const QString& text);

} // namespace WindowsPath

// Asks Wine's own `winepath -w`, run in the game's Wine prefix, for the
// Windows path of a file, in the background; without `winepath` on the PATH,
// or when it fails or takes too long, the Z: drive rule answers. On Windows
// the path itself is the answer.
class WindowsPathLookup : public QObject {
    Q_OBJECT
public:
    explicit WindowsPathLookup(QObject* parent = nullptr);

    // Calls `done` once with the Windows path of the absolute `path`; at once
    // when no program has to be asked.
    void find(const QString& path, const QString& winePrefix, std::function<void(const QString&)> done);

    // Where `winepath` is looked up; tests replace it. "" when not found.
    void setWinepathLocator(std::function<QString()> locate) { m_locate = std::move(locate); }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

private:
    std::function<QString()> m_locate;
    int m_timeoutMs = 15000;
};
