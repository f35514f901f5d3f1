// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/SpeechBank.h"

#include "common/core/PathCase.h"
#include "common/core/ZipReader.h"
#include "common/core/ZipWriter.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/core/SpeechSounds.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Sorts the archive's entries into the speech sounds an import takes (the
// first entry for each sound) and the rest; `taken` receives the entry index
// of each sound taken.
SpeechBank::Contents classify(const ZipReader& reader, const QString& archive, QList<int>* taken)
{
    SpeechBank::Contents contents;
    QSet<QString> tops;
    for (int i = 0; i < reader.entries().size(); ++i) {
        const ZipReader::Entry& entry = reader.entries().at(i);
        tops.insert(entry.name.section(QLatin1Char('/'), 0, 0));
        if (entry.isFolder)
            continue;
        const QString sound = SpeechSounds::soundOfFile(entry.name.section(QLatin1Char('/'), -1));
        const QString file = SpeechSounds::fileName(sound);
        if (sound.isEmpty() || contents.sounds.contains(file)) {
            contents.others.append(entry.name);
        } else {
            contents.sounds.append(file);
            if (taken)
                taken->append(i);
        }
    }
    const bool oneFolder = tops.size() == 1 && reader.entries().size() > 1;
    contents.suggestedName = oneFolder ? *tops.begin() : QFileInfo(archive).completeBaseName();
    return contents;
}

} // namespace

SpeechBank::SpeechBank(const SchemeStore& schemes)
    : m_schemes(schemes)
{
}

bool SpeechBank::exportScheme(const QString& scheme, const QString& archive, Contents* contents, QString* error,
                              const Progress& progress) const
{
    Contents done;
    ZipWriter writer(archive);
    for (const QString& file : m_schemes.soundBytes(scheme)) {
        const QString sound = SpeechSounds::soundOfFile(file);
        const QString name = SpeechSounds::fileName(sound);
        if (sound.isEmpty() || done.sounds.contains(name)) {
            done.others.append(file);
            continue;
        }
        if (!writer.addFile(scheme + QLatin1Char('/') + name, PathCase::join(m_schemes.schemeFolder(scheme), file)))
            return fail(error, writer.errorString());
        done.sounds.append(name);
    }
    if (contents)
        *contents = done;
    if (done.sounds.isEmpty())
        return fail(error, QStringLiteral("The scheme ") + scheme + QStringLiteral(" has no speech sounds to export."));
    if (progress) {
        const int total = int(done.sounds.size());
        writer.setProgress([&progress, total](double written) { return progress(qRound(written * total), total); });
    }
    if (!writer.commit())
        return fail(error, writer.wasCancelled() ? QString() : writer.errorString());
    return true;
}

bool SpeechBank::inspect(const QString& archive, Contents* contents, QString* error) const
{
    ZipReader reader(archive);
    if (!reader.open())
        return fail(error, reader.errorString());
    *contents = classify(reader, archive, nullptr);
    if (contents->sounds.isEmpty())
        return fail(error, QDir::toNativeSeparators(archive) +
                               QStringLiteral(" holds no speech sounds (.wav files named after the game's sounds, "
                                              "such as Hello.wav)."));
    return true;
}

bool SpeechBank::importAs(const QString& archive, const QString& name, Contents* contents, QString* error,
                          const Progress& progress) const
{
    QString problem;
    if (m_schemes.checkNewName(name, &problem) != SchemeStore::Created::Ok)
        return fail(error, problem);
    ZipReader reader(archive);
    if (!reader.open())
        return fail(error, reader.errorString());
    QList<int> taken;
    *contents = classify(reader, archive, &taken);
    if (taken.isEmpty())
        return fail(error, QDir::toNativeSeparators(archive) + QStringLiteral(" holds no speech sounds."));

    // A leading dot keeps the half-made folder out of the scheme list.
    QTemporaryDir unpacked(m_schemes.speechFolder() + QStringLiteral("/.import-XXXXXX"));
    if (!unpacked.isValid())
        return fail(error, QStringLiteral("No folder can be made in the Speech folder (") + unpacked.errorString() +
                               QLatin1Char(')'));
    const int total = int(taken.size());
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total))
            return fail(error, QString()); // the half-made folder goes with `unpacked`
        if (!reader.extract(taken.at(i), unpacked.filePath(contents->sounds.at(i))))
            return fail(error, reader.errorString());
    }
    if (progress && !progress(total, total))
        return fail(error, QString());
    // The name is checked again: a scheme may have been made meanwhile.
    if (m_schemes.checkNewName(name, &problem) != SchemeStore::Created::Ok)
        return fail(error, problem);
    if (!QDir().rename(unpacked.path(), m_schemes.speechFolder() + QLatin1Char('/') + name))
        return fail(error, QStringLiteral("The folder for the scheme ") + name + QStringLiteral(" could not be made."));
    unpacked.setAutoRemove(false);
    return true;
}
