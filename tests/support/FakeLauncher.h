// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Launcher.h"

#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <optional>

// Records every start. By default a start succeeds exactly when its program
// exists (a file, or one of `programs`), as the real launcher does; `force`
// sets an outcome. The system's programs are `programs`: by default only wine.
class FakeLauncher : public Launcher {
public:
    Result start(const LaunchRequest& request) override
    {
        requests << request;
        if (onStart)
            onStart(request);
        const bool throughWine =
            request.program == programs.value(QStringLiteral("wine")) && !request.arguments.isEmpty();
        started << (throughWine ? request.arguments.first() : request.program);
        if (forced)
            return *forced;
        const bool known = programs.values().contains(request.program) || QFileInfo(request.program).isFile();
        return known ? Result::Started : Result::NotFound;
    }
    QString findProgram(const QString& name) const override { return programs.value(name); }
    // Recorded like start(); when that start succeeds, the program really
    // runs if it is a file (a fake game of the tests).
    QProcess* startWatched(const LaunchRequest& request, QObject* parent, Result* result = nullptr) override
    {
        const Result outcome = start(request);
        if (outcome != Result::Started) {
            if (result)
                *result = outcome;
            return nullptr;
        }
        return Launcher::startWatched(request, parent, result);
    }
    void force(Result r) { forced = r; }
    // Plays the started program's part, such as a game that writes a file.
    std::function<void(const LaunchRequest&)> onStart;

    QMap<QString, QString> programs{{QStringLiteral("wine"), QStringLiteral("/usr/bin/wine")}};
    QList<LaunchRequest> requests;
    // The file each start ran: the Windows program handed to wine, or else the program.
    QStringList started;
    std::optional<Result> forced;
};
