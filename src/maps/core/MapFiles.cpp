// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapFiles.h"

#include "common/core/FileSystem.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/PathContainment.h"
#include "common/core/SafeFile.h"
#include "maps/core/MapNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace MapFiles {

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

Result failure(const QString& message)
{
    return Result{false, message};
}

} // namespace

QStringList maps(const QString& folder)
{
    return PathCase::files(folder, {QStringLiteral("*.png")}, PathCase::Order::IgnoreCase);
}

QString destinationIn(const QString& folder, const QString& name, QString* error)
{
    const QString existing = PathCase::findEntry(folder, name);
    return FileOps::targetIn(folder, existing.isEmpty() ? name : existing, error);
}

Result createFolder(const QString& parent, const QString& name)
{
    const NameRules::Problem problem = NameRules::check(name);
    if (problem != NameRules::Problem::None)
        return failure(NameRules::describe(problem, name));
    const QString existing = PathCase::findEntry(parent, name);
    if (!existing.isEmpty())
        return failure(QStringLiteral("There is already a folder or file called ") + quoted(existing) +
                       QStringLiteral(" here."));
    const QString made = FileOps::targetIn(parent, name);
    if (made.isEmpty())
        return failure(FileOps::outsideMessage(name));
    if (!FileOps::fileSystem().makeFolder(made))
        return failure(QStringLiteral("The folder ") + quoted(name) + QStringLiteral(" could not be created."));
    return Result{};
}

bool deleteFolder(const QString& parent, const QString& name)
{
    if (name.isEmpty())
        return false;
    const QString folder = FileOps::targetIn(parent, name);
    return !folder.isEmpty() && FileOps::removeFolderAndFiles(folder);
}

Result deleteMap(const QString& folder, const QString& map)
{
    if (map.isEmpty())
        return failure(noMapSelectedMessage());
    const QString path = FileOps::targetIn(folder, map);
    if (path.isEmpty())
        return failure(FileOps::outsideMessage(map));
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return failure(QStringLiteral("The map ") + quoted(map) + QStringLiteral(" is no longer there."));
    if (!info.isFile() || !FileOps::remove(path))
        return failure(QStringLiteral("The map ") + quoted(map) +
                       QStringLiteral(" could not be deleted. It may be in use or write-protected."));
    return Result{};
}

RenamePlan planRename(const QString& folder, const QString& map, const QString& typedName)
{
    RenamePlan plan;
    const QString target = MapNames::fileNameFor(typedName);
    NameRules::Problem problem = NameRules::check(typedName);
    if (problem == NameRules::Problem::None)
        problem = NameRules::check(target);
    if (problem != NameRules::Problem::None) {
        plan.message = NameRules::describe(problem, typedName);
        return plan;
    }
    plan.source = FileOps::targetIn(folder, map);
    const QString existing = PathCase::findEntry(folder, target);
    const QString destination = FileOps::targetIn(folder, existing.isEmpty() ? target : existing);
    if (plan.source.isEmpty() || destination.isEmpty()) {
        plan.message = FileOps::outsideMessage(plan.source.isEmpty() ? map : typedName);
        return plan;
    }
    if (existing.isEmpty()) {
        plan.kind = RenamePlan::Kind::Rename;
        plan.destination = destination;
    } else if (existing == map || FileOps::sameFile(plan.source, destination)) {
        plan.kind = map == target ? RenamePlan::Kind::Unchanged : RenamePlan::Kind::ChangeCase;
        plan.destination = FileOps::targetIn(folder, target);
    } else {
        plan.kind = RenamePlan::Kind::Replace;
        plan.destination = destination;
        plan.message = replaceQuestion(existing);
    }
    return plan;
}

bool executeRename(const RenamePlan& plan)
{
    switch (plan.kind) {
    case RenamePlan::Kind::BadName:
        return false;
    case RenamePlan::Kind::Unchanged:
        return true;
    case RenamePlan::Kind::ChangeCase: {
        // Through a name of its own, so that a file system that ignores case
        // does not take the new name for the old file.
        const QString step = plan.source + QStringLiteral(".renaming");
        if (QFileInfo::exists(step) || !FileOps::rename(plan.source, step))
            return false;
        if (FileOps::rename(step, plan.destination))
            return true;
        FileOps::rename(step, plan.source);
        return false;
    }
    case RenamePlan::Kind::Replace:
    case RenamePlan::Kind::Rename:
        return FileOps::moveReplacing(plan.source, plan.destination);
    }
    return false;
}

QStringList importFiles(const QStringList& sources, const QString& folder,
                        const std::function<bool(int done, int total)>& progress)
{
    QStringList copied;
    const int total = int(sources.size());
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total))
            return copied;
        const QFileInfo info(sources.at(i));
        if (!info.isFile())
            continue;
        const QString destination = destinationIn(folder, info.fileName());
        if (!destination.isEmpty() && FileOps::copyReplacing(sources.at(i), destination))
            copied << destination;
    }
    if (progress)
        progress(total, total);
    return copied;
}

MoveResult moveMap(const QString& source, const QString& folder)
{
    MoveResult result;
    const QString name = QFileInfo(source).fileName();
    QString error;
    const QString destination = destinationIn(folder, name, &error);
    if (!destination.isEmpty() && FileOps::sameFile(source, destination)) {
        result.status = MoveResult::Status::AlreadyThere;
        result.message = quoted(name) + QStringLiteral(" is already in that folder.");
        return result;
    }
    if (!QFileInfo(folder).isDir())
        error = QStringLiteral("the folder is no longer there");
    else if (destination.isEmpty())
        ; // refused: `error` tells why
    else if (FileOps::moveReplacing(source, destination, &error))
        error.clear();
    if (error.isEmpty()) {
        result.status = MoveResult::Status::Moved;
        return result;
    }
    result.message =
        QStringLiteral("The map ") + quoted(name) + QStringLiteral(" could not be moved: ") + error + QLatin1Char('.');
    return result;
}

bool ensureMapsRoot(const QString& mapsRoot)
{
    return QFileInfo(mapsRoot).isDir() || FileOps::makePath(mapsRoot);
}

QString noMapSelectedMessage()
{
    return QStringLiteral("Please select a map first.");
}

QString noFolderSelectedMessage()
{
    return QStringLiteral("Please select a folder first.");
}

QString replaceQuestion(const QString& existingName)
{
    return QStringLiteral("There is already a map called ") + quoted(existingName) +
           QStringLiteral(" in this folder. Do you want to replace it?");
}

} // namespace MapFiles
