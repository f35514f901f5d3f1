// SPDX-License-Identifier: GPL-3.0-or-later
#include "schemes/core/SchemeFiles.h"

#include "common/core/FileSystem.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/PathContainment.h"
#include "common/core/SafeFile.h"
#include "common/core/ZipReader.h"
#include "common/core/ZipWriter.h"
#include "schemes/core/Scheme.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString kExtension = QStringLiteral(".wsc");

QString quoted(const QString& name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

bool isSchemeName(const QString& name)
{
    return name.endsWith(kExtension, Qt::CaseInsensitive);
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Why the bytes are not taken as a scheme; "" when the game reads them.
QString refusal(const QByteArray& bytes)
{
    const Scheme scheme = SchemeReader::read(bytes);
    return scheme.readable() ? QString() : scheme.problems.value(0);
}

// Writes a checked scheme under its own file name `name` into `folder`.
void take(const QString& name, const QByteArray& bytes, const QString& folder, SchemeFiles::ImportReport* report)
{
    const NameRules::Problem problem = NameRules::check(name);
    if (problem != NameRules::Problem::None) {
        report->refused << name + QStringLiteral(": ") + NameRules::describe(problem, name);
        return;
    }
    const QString existing = PathCase::findEntry(folder, name);
    QString why;
    const QString destination = FileOps::targetIn(folder, existing.isEmpty() ? name : existing, &why);
    if (destination.isEmpty()) {
        report->refused << name + QStringLiteral(": ") + FileOps::outsideMessage(name);
        return;
    }
    if (!FileOps::writeReplacing(destination, bytes, &why)) {
        report->refused << name + QStringLiteral(": ") + why;
        return;
    }
    report->taken << QFileInfo(destination).fileName();
}

void importArchive(const QString& archive, const QString& folder, SchemeFiles::ImportReport* report)
{
    const QString archiveName = QFileInfo(archive).fileName();
    ZipReader reader(archive, ZipReader::Limits{200, 200 * SchemeReader::maxFileSize});
    if (!reader.open()) {
        report->refused << archiveName + QStringLiteral(": ") + reader.errorString();
        return;
    }
    QTemporaryDir unpacked;
    if (!unpacked.isValid()) {
        report->refused << archiveName + QStringLiteral(": no temporary folder: ") + unpacked.errorString();
        return;
    }
    const QList<ZipReader::Entry>& entries = reader.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const ZipReader::Entry& entry = entries[i];
        if (entry.isFolder)
            continue;
        const QString name = entry.name.section(QLatin1Char('/'), -1);
        if (!isSchemeName(name)) {
            report->refused << entry.name + QStringLiteral(": not a scheme file (.wsc)");
            continue;
        }
        if (entry.size > SchemeReader::maxFileSize) {
            report->refused << entry.name + QStringLiteral(": larger than any game scheme");
            continue;
        }
        const QString scratch = unpacked.filePath(QString::number(i));
        QByteArray bytes;
        QString error;
        if (!reader.extract(i, scratch) || !SchemeReader::readFile(scratch, &bytes, &error)) {
            report->refused << entry.name + QStringLiteral(": ") + (error.isEmpty() ? reader.errorString() : error);
            continue;
        }
        const QString why = refusal(bytes);
        if (!why.isEmpty()) {
            report->refused << entry.name + QStringLiteral(": ") + why;
            continue;
        }
        take(name, bytes, folder, report);
    }
}

} // namespace

namespace SchemeFiles {

QString folderIn(const QString& userFolder)
{
    return PathCase::resolve(userFolder, QStringLiteral("Schemes"));
}

bool ensureFolder(const QString& folder)
{
    return QFileInfo(folder).isDir() || QDir().mkpath(folder);
}

QStringList schemes(const QString& folder)
{
    return PathCase::files(folder, {QStringLiteral("*.wsc")});
}

QString displayName(const QString& fileName)
{
    return isSchemeName(fileName) ? fileName.chopped(kExtension.size()) : fileName;
}

QString fileNameFor(const QString& name)
{
    return isSchemeName(name) ? name : name + kExtension;
}

NamePlan planName(const QString& folder, const QString& scheme, const QString& typedName)
{
    NamePlan plan;
    const QString target = fileNameFor(typedName);
    NameRules::Problem problem = NameRules::check(typedName);
    if (problem == NameRules::Problem::None)
        problem = NameRules::check(target);
    if (problem != NameRules::Problem::None) {
        plan.message = NameRules::describe(problem, typedName);
        return plan;
    }
    plan.source = scheme.isEmpty() ? QString() : FileOps::targetIn(folder, scheme);
    const QString existing = PathCase::findEntry(folder, target);
    const QString destination = FileOps::targetIn(folder, existing.isEmpty() ? target : existing);
    if ((!scheme.isEmpty() && plan.source.isEmpty()) || destination.isEmpty()) {
        plan.message = FileOps::outsideMessage(destination.isEmpty() ? typedName : scheme);
        return plan;
    }
    plan.destination = destination;
    if (existing.isEmpty()) {
        plan.kind = NamePlan::Kind::Write;
    } else if (!scheme.isEmpty() && (existing == scheme || FileOps::sameFile(plan.source, destination))) {
        plan.kind = scheme == target ? NamePlan::Kind::Unchanged : NamePlan::Kind::ChangeCase;
        plan.destination = FileOps::targetIn(folder, target);
    } else {
        plan.kind = NamePlan::Kind::Replace;
        plan.message = replaceQuestion(displayName(existing));
    }
    return plan;
}

bool rename(const NamePlan& plan, QString* error)
{
    switch (plan.kind) {
    case NamePlan::Kind::BadName:
        return fail(error, plan.message);
    case NamePlan::Kind::Unchanged:
        return true;
    case NamePlan::Kind::ChangeCase: {
        // Through a name of its own, so that a file system that ignores case
        // does not take the new name for the old file.
        const QString step = plan.source + QStringLiteral(".renaming");
        if (QFileInfo::exists(step) || !FileOps::rename(plan.source, step))
            return fail(error, QStringLiteral("The scheme could not be renamed."));
        if (FileOps::rename(step, plan.destination))
            return true;
        FileOps::rename(step, plan.source);
        return fail(error, QStringLiteral("The scheme could not be renamed."));
    }
    case NamePlan::Kind::Replace:
    case NamePlan::Kind::Write:
        return FileOps::moveReplacing(plan.source, plan.destination, error);
    }
    return false;
}

bool copy(const NamePlan& plan, QString* error, const QByteArray* bytes)
{
    switch (plan.kind) {
    case NamePlan::Kind::BadName:
        return fail(error, plan.message);
    case NamePlan::Kind::Unchanged:
    case NamePlan::Kind::ChangeCase:
        return fail(error, QStringLiteral("A copy needs a name other than the scheme's own."));
    case NamePlan::Kind::Replace:
    case NamePlan::Kind::Write:
        return bytes ? FileOps::writeReplacing(plan.destination, *bytes, error)
                     : FileOps::copyReplacing(plan.source, plan.destination, error);
    }
    return false;
}

bool remove(const QString& folder, const QString& scheme, QString* error)
{
    const QString path = FileOps::targetIn(folder, scheme);
    if (path.isEmpty())
        return fail(error, FileOps::outsideMessage(scheme));
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return fail(error, QStringLiteral("The scheme ") + quoted(displayName(scheme)) +
                               QStringLiteral(" is no longer there."));
    if (!FileOps::remove(path))
        return fail(error, QStringLiteral("The scheme ") + quoted(displayName(scheme)) +
                               QStringLiteral(" could not be deleted."));
    return true;
}

QString ImportReport::message() const
{
    if (refused.isEmpty())
        return {};
    return QStringLiteral("These files were not taken:\n\n- ") + refused.join(QStringLiteral("\n- "));
}

ImportReport importFiles(const QStringList& sources, const QString& folder)
{
    ImportReport report;
    for (const QString& source : sources) {
        const QString name = QFileInfo(source).fileName();
        if (name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)) {
            importArchive(source, folder, &report);
            continue;
        }
        if (!isSchemeName(name)) {
            report.refused << name + QStringLiteral(": not a scheme file (.wsc) or a zip archive of them");
            continue;
        }
        QByteArray bytes;
        QString error;
        if (!SchemeReader::readFile(source, &bytes, &error)) {
            report.refused << name + QStringLiteral(": ") + error;
            continue;
        }
        const QString why = refusal(bytes);
        if (!why.isEmpty()) {
            report.refused << name + QStringLiteral(": ") + why;
            continue;
        }
        take(name, bytes, folder, &report);
    }
    return report;
}

bool exportZip(const QString& folder, const QStringList& names, const QString& archive, QString* error,
               const std::function<bool(int done, int total)>& progress)
{
    if (names.isEmpty())
        return fail(error, noSchemeSelectedMessage());
    ZipWriter zip(archive);
    for (const QString& name : names) {
        const QString source = FileOps::targetIn(folder, name);
        if (source.isEmpty() || !QFileInfo(source).isFile())
            return fail(error, QStringLiteral("The scheme ") + quoted(displayName(name)) +
                                   QStringLiteral(" is no longer there, so nothing was exported."));
        if (!zip.addFile(name, source))
            return fail(error, QStringLiteral("%1 cannot go into a zip archive: %2").arg(name, zip.errorString()));
    }
    if (progress) {
        const int total = int(names.size());
        zip.setProgress([&progress, total](double written) { return progress(qRound(written * total), total); });
    }
    if (!zip.commit())
        return fail(error, zip.wasCancelled() ? QString() : zip.errorString());
    return true;
}

QString noSchemeSelectedMessage()
{
    return QStringLiteral("Please select a scheme first.");
}

QString replaceQuestion(const QString& existingName)
{
    return QStringLiteral("There is already a scheme called ") + quoted(existingName) +
           QStringLiteral(" in this folder. Do you want to replace it?");
}

} // namespace SchemeFiles
