// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips/core/ClipCommand.h"

#include "clips/core/ClipMaker.h"
#include "games/core/GameLog.h"
#include "installs/core/InstallChoice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// The largest log read for the best turn.
constexpr qint64 kMaxLogBytes = 16 * 1024 * 1024;

int refuse(QTextStream& err, const QString& message)
{
    err << "quillane: " << message << "\n";
    err.flush();
    return ClipCommand::BadArguments;
}

// The request the arguments describe, or "" with `problem` set.
bool requestFrom(const ClipCommand::Arguments& arguments, ClipRequest& request, QString& problem)
{
    request.replayPath = QFileInfo(arguments.replay).absoluteFilePath();
    request.outPath = QFileInfo(arguments.out).absoluteFilePath();
    if (arguments.out.isEmpty()) {
        problem = QStringLiteral("--make-clip needs --out FILE (.mp4, .webm or .gif).");
        return false;
    }
    if (!arguments.fps.isEmpty()) {
        bool ok = false;
        request.fps = arguments.fps.toInt(&ok);
        if (!ok)
            request.fps = 0;
    }
    if (!arguments.size.isEmpty()) {
        const auto size = ClipRequest::parseSize(arguments.size);
        if (!size) {
            problem = QStringLiteral("The size %1 is not WxH from %2x%2 to %3x%4.")
                          .arg(arguments.size)
                          .arg(ClipRequest::minSide)
                          .arg(ClipRequest::maxWidth)
                          .arg(ClipRequest::maxHeight);
            return false;
        }
        request.width = size->first;
        request.height = size->second;
    }
    if (!QFileInfo(request.replayPath).isFile()) {
        problem = QStringLiteral("The replay %1 does not exist.").arg(arguments.replay);
        return false;
    }
    if (arguments.bestTurn) {
        const QString logPath = GameLogParser::logPathFor(request.replayPath);
        QFile file(logPath);
        std::optional<BestTurn::Range> range;
        if (!logPath.isEmpty() && QFileInfo(logPath).isFile() && file.open(QIODevice::ReadOnly))
            range = BestTurn::find(GameLogParser::parse(file.read(kMaxLogBytes)));
        if (!range) {
            problem = QStringLiteral("--best-turn needs the replay's log with its turns beside it (%1).")
                          .arg(QFileInfo(logPath).fileName());
            return false;
        }
        request.from = range->from;
        request.to = range->to;
    } else {
        request.from = ClipRequest::parseTime(arguments.from);
        request.to = ClipRequest::parseTime(arguments.to);
        if (request.from < 0 || request.to < 0) {
            problem = QStringLiteral("--from and --to need times as m:ss or h:mm:ss, with hundredths if wanted "
                                     "(1:05.50).");
            return false;
        }
    }
    problem = request.problem();
    return problem.isEmpty();
}

} // namespace

int ClipCommand::run(const Arguments& arguments, const FinderSetup& finder, const QSettings& settings, QTextStream& err)
{
    ClipRequest request;
    QString problem;
    if (!requestFrom(arguments, request, problem))
        return refuse(err, problem);

    GameInstall install;
    if (!arguments.userFolder.isEmpty()) {
        if (!QFileInfo(arguments.userFolder).isDir())
            return refuse(err, QStringLiteral("The User folder %1 does not exist.").arg(arguments.userFolder));
        install = GameInstall::make(GameInstall::Kind::Folder, QFileInfo(arguments.userFolder).absoluteFilePath());
    } else {
        const InstallChoice::Outcome outcome =
            InstallChoice::decide(InstallChoice::withRemembered(finder, settings), settings);
        if (!outcome.install.isValid()) {
            err << "quillane: "
                << (outcome.offered.isEmpty()
                        ? QStringLiteral("No copy of Worms Armageddon was found; name its User folder with "
                                         "--user-folder.")
                        : QStringLiteral("Several copies of Worms Armageddon were found; name the User folder of "
                                         "one with --user-folder."))
                << "\n";
            err.flush();
            return NotMade;
        }
        install = outcome.install;
    }

    ProcessLauncher launcher;
    ClipMaker maker(launcher);
    // Nobody to ask: files of another export stay.
    maker.setConsent([](const QString&, int) { return false; });
    QEventLoop loop;
    int status = NotMade;
    QElapsedTimer sinceReport;
    QObject::connect(&maker, &ClipMaker::progress, &loop, [&](ClipMaker::Stage stage, int done, int total) {
        if (sinceReport.isValid() && !sinceReport.hasExpired(500) && done != total)
            return;
        sinceReport.start();
        err << (stage == ClipMaker::Stage::Frames ? "Frames received: " : "Encoding: ") << done << " of " << total
            << "\n";
        err.flush();
    });
    QObject::connect(&maker, &ClipMaker::finished, &loop, [&](const QString& path) {
        err << "Clip made: " << QDir::toNativeSeparators(path) << "\n";
        status = Made;
        loop.quit();
    });
    QObject::connect(&maker, &ClipMaker::failed, &loop, [&](const QString& message) {
        err << "quillane: " << message << "\n";
        loop.quit();
    });
    maker.start(install, request);
    loop.exec();
    err.flush();
    return status;
}
