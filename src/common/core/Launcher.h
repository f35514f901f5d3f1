// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class QObject;
class QProcess;

// One program start: what to run, with which arguments, in which working
// folder and with which variables added to the environment.
struct LaunchRequest {
    QString program; // a file, or a bare name looked up on the PATH
    QStringList arguments;
    QString workingFolder;              // "" inherits the program's own
    QMap<QString, QString> environment; // added to (or replacing in) the inherited one

    bool operator==(const LaunchRequest& other) const
    {
        return program == other.program && arguments == other.arguments && workingFolder == other.workingFolder &&
               environment == other.environment;
    }
};

// Starts programs as independent processes that the program never waits for
// or watches (but for startWatched()), and says which programs this system has.
class Launcher {
public:
    enum class Result {
        Started,
        NotFound, // the file does not exist (or is not a file)
        NoWine,   // a Windows program on a system without `wine` on the PATH
        Failed,   // the system refused to start it
        NoSteam,  // a Steam copy of the game on a system without Steam
    };

    virtual ~Launcher() = default;

    // Start the request detached, with a normal window.
    virtual Result start(const LaunchRequest& request) = 0;

    // The full path of the program `name` on the PATH, or "" when there is none.
    virtual QString findProgram(const QString& name) const = 0;

    // Starts the request as a child process owned by `parent`, for work that
    // waits for the program's end or may have to end it (the game making the
    // frames of a clip); nullptr when it did not start, with the reason in
    // `result` when given.
    virtual QProcess* startWatched(const LaunchRequest& request, QObject* parent, Result* result = nullptr);

    static bool succeeded(Result r) { return r == Result::Started; }
};

// The real launcher, over QProcess.
class ProcessLauncher : public Launcher {
public:
    Result start(const LaunchRequest& request) override;
    QString findProgram(const QString& name) const override;
};
